// TUnZip: typing the archive on assignment, choosing the reading mode, and extracting each listed entry.
#include "archive/read/UnZip.h"

#include "archive/Messages.h"
#include "archive/io/Streams32.h"
#include "archive/names/EntryNames.h"
#include "archive/pipeline/Cores.h"

namespace archive {

void TUnZip::SetArchiveFile(const std::string& value) {
    TZipCommon::SetArchiveFile(value);
    FLocation = {};
    FArchiveComment.clear();
    FArcType = atNA;
    if (!platform::FileExists(FArchiveFile)) {
        FArchiveFile.clear();
        return;
    }
    TFileStream32 file(FArchiveFile, platform::fmOpenRead | platform::fmShareDenyWrite);
    if (!file.Valid())
        return;
    FLocation = ClassifyArchive(file);
    FArcType = FLocation.ArcType;
    if (FArcType != atNA)
        FArchiveComment = ReadArchiveComment(file, FLocation);
}

void TUnZip::ProcessArchive() {
    if (FArcType == atNA)
        return;
    std::vector<TUnBaseHeaderObj> list;
    if (FLocation.LocalWalk()) {
        if (OnCorruptZipHeader) {
            bool cancel = true;
            OnCorruptZipHeader(this, FLocation.State, cancel);
            if (cancel)
                return;
        }
        list = CollectByLocalWalk();
    } else {
        list = CollectByDirectory();
    }
    StartInflatingAhead(list);
    for (size_t i = 0; i < list.size(); ++i) {
        if (Cancel())
            break;
        Context().BeginListed(i);
        try {
            ExtractListed(list[i]);
        } catch (...) {
            // One entry's failure never ends the run.
        }
    }
}

// With a second core, the small deflated entries are inflated on another thread while this one writes
// files. Entries whose directory says they are something else are left out.
void TUnZip::StartInflatingAhead(const std::vector<TUnBaseHeaderObj>& list) {
    if (!MayStartThread(Workers))
        return;
    std::vector<TInflateAhead::TItem> items(list.size());
    for (size_t i = 0; i < list.size(); ++i) {
        const TUnBaseHeaderObj& item = list[i];
        const bool deflated =
            !item.HasCentral || (item.Central.Method == kMethodDeflate && !(item.Central.Flags & kFlagEncrypted));
        if (deflated && TInflateAhead::Takes(item.UncompressedSize))
            items[i] = {item.LocalHeaderOffset, item.CompressedSize, item.UncompressedSize};
    }
    Context().InflateAhead(FArchiveFile, std::move(items));
}

void TUnZip::ExtractListed(const TUnBaseHeaderObj& item) {
    auto local = TLocalHeader::Parse(ReadBytesAt(Archive(), item.LocalHeaderOffset, kLocalHeaderSize));
    if (!local)
        return;
    const TStoredName stored = ReadStoredName(Archive(), local->NameLength, local->ExtraLength);
    const TExtraInfo extra = WalkExtraField(stored.Extra, *local);
    TEntryInfo entry;
    entry.Flags = item.HasCentral ? item.Central.Flags : local->Flags;
    entry.Method = item.HasCentral ? item.Central.Method : local->Method;
    entry.CompressedSize = item.CompressedSize;
    entry.UncompressedSize = item.UncompressedSize;
    const std::optional<std::string> name = EntryNameFor(stored.Raw, entry.Flags, TranslateOemChar);
    // Another entry's header at this offset: its bytes are not this entry's, whatever the sizes say.
    if (!name || (item.HasCentral && *name != item.Name)) {
        ReportError(item.HasCentral ? item.Name : stored.Raw, "local header names " + name.value_or(stored.Raw),
                    kMsgBadOffsetToLocalHeader);
        return;
    }
    entry.Name = *name;
    entry.StoredName = stored.Raw;
    entry.ExternalAttributes = item.ExternalAttributes;
    entry.DateTime = local->DateTime;
    entry.ExpectedCrc = item.HasCentral ? local->Crc32 : item.Crc32;
    // Entries written with a data descriptor leave the local CRC at 0; the directory has the real one.
    if (local->Crc32 == 0 && item.HasCentral && item.Central.CompressedSize != 0)
        entry.ExpectedCrc = item.Central.Crc32;
    if (entry.Method == kMethodAes && extra.Aes.Present)
        entry.Method = extra.Aes.Method;
    ExtractEntry(entry);
}

}  // namespace archive
