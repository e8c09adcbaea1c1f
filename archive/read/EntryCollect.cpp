// Collecting the entries to extract: the central directory scan with its offset correction, and the local-header walk.
#include "archive/Messages.h"
#include "archive/names/EntryNames.h"
#include "archive/read/NameRegister.h"
#include "archive/read/UnZip.h"

namespace archive {

namespace {
constexpr size_t kCentralNameLengthAt = 28;  // file name length in a central header
}  // namespace

bool TUnZip::LocalHeaderAt(int64_t position) {
    return TLocalHeader::Parse(ReadBytesAt(Archive(), position, kLocalHeaderSize)).has_value();
}

int64_t TUnZip::SearchOffsetCorrection(int64_t stored) {
    const auto bytes = ReadBytesAt(Archive(), stored + 1, kSearchWindow);
    for (size_t k = 0; k + 4 <= bytes.size(); ++k) {
        if (GetU32(bytes, k) != kLocalHeaderSig)
            continue;
        const int64_t hit = stored + 1 + static_cast<int64_t>(k);
        return LocalHeaderAt(hit) ? hit - stored : 0;
    }
    return 0;
}

std::optional<std::string> TUnZip::NameOf(const TStoredName& stored, uint16_t flags) {
    std::optional<std::string> name = EntryNameFor(stored.Raw, flags, TranslateOemChar);
    if (!name)
        ReportError(stored.Raw, "UTF-8 name without a form in the system code page", kMsgErrorOpeningFile);
    return name;
}

std::vector<TUnBaseHeaderObj> TUnZip::CollectByDirectory() {
    std::vector<TUnBaseHeaderObj> list;
    if (FLocation.EndRecord.ThisDisk < FLocation.EndRecord.DirectoryDisk)
        return list;
    TNameRegister names;
    int64_t position = FLocation.Position;
    int64_t correction = 0;
    uint64_t headers = 0;
    while (!Cancel()) {
        auto central = TCentralHeader::Parse(ReadBytesAt(Archive(), position, kCentralHeaderSize));
        if (!central)
            break;
        const bool first = headers++ == 0;
        const TStoredName stored = ReadStoredName(Archive(), central->NameLength, central->ExtraLength);
        const TExtraInfo extra = WalkExtraField(stored.Extra, *central);
        position += static_cast<int64_t>(central->RecordLength());
        const std::optional<std::string> name = NameOf(stored, central->Flags);
        if (!name || !SelectEntry(*name))
            continue;
        const int64_t storedOffset =
            static_cast<int64_t>(Size48(central->LocalHeaderOffset, extra.High.Offset)) + FLocation.StartOffset;
        bool found = LocalHeaderAt(storedOffset + correction);
        // Bytes in front of the archive that its offsets do not count: looked for at the directory's first
        // header only, then applied to every entry.
        if (!found && first) {
            correction = SearchOffsetCorrection(storedOffset);
            found = correction > 0 && LocalHeaderAt(storedOffset + correction);
        }
        if (!found) {
            ReportError(*name, "", kMsgBadOffsetToLocalHeader);
            continue;
        }
        if (const std::string clash = names.Clash(*name, stored.Cut); !clash.empty()) {
            ReportError(*name, clash, kMsgErrorOpeningFile);
            continue;
        }
        TUnBaseHeaderObj item;
        item.Name = *name;
        item.ExternalAttributes = central->ExternalAttributes;
        item.DiskNumber = central->DiskNumberStart;
        item.LocalHeaderOffset = storedOffset + correction;
        item.HasCentral = true;
        item.Central = *central;
        item.Central.LocalHeaderOffset = static_cast<uint32_t>(item.LocalHeaderOffset);
        item.CompressedSize = Size48(central->CompressedSize, extra.High.Compressed);
        item.UncompressedSize = Size48(central->UncompressedSize, extra.High.Uncompressed);
        FTotalUncompressed += item.UncompressedSize;
        FMaxDateTime = std::max(FMaxDateTime, central->DateTime);
        list.push_back(item);
    }
    ReportShortDirectory(headers, position);
    return list;
}

// The end record says how many headers the directory holds; a scan that ended early lost the rest.
void TUnZip::ReportShortDirectory(uint64_t headers, int64_t stoppedAt) {
    const TEndRecord& end = FLocation.EndRecord;
    const bool zip64Count = (FLocation.State & lfZip64EndRecord) && end.TotalEntries == UINT16_MAX;
    if (Cancel() || zip64Count || end.ThisDisk != end.DirectoryDisk || headers >= end.TotalEntries)
        return;
    // The header that stopped the scan may still hold its name.
    const auto fixed = ReadBytesAt(Archive(), stoppedAt, kCentralHeaderSize);
    const uint16_t nameLength = GetU16(fixed, kCentralNameLengthAt);
    std::string name;
    if (fixed.size() == kCentralHeaderSize && nameLength > 0 && nameLength <= kMaxNameLength) {
        const auto raw = ReadBytesAt(Archive(), stoppedAt + static_cast<int64_t>(kCentralHeaderSize), nameLength);
        name = ConvertEntryName(std::string(raw.begin(), raw.end()), TranslateOemChar);
    }
    ReportError(
        name,
        "central directory holds " + std::to_string(headers) + " of " + std::to_string(end.TotalEntries) + " entries",
        kMsgBadOffsetToLocalHeader);
}

// A walk that ends at the directory has seen every entry; one that ends anywhere else (a download cut
// short) may have lost the entries after that point.
void TUnZip::ReportCutWalk(int64_t stoppedAt) {
    const uint32_t next = GetU32(ReadBytesAt(Archive(), stoppedAt, kSplitMarkerSize), 0);
    if (next == kCentralHeaderSig || next == kEndRecordSig || next == kWideEndRecordSig || next == kZip64EndRecordSig)
        return;
    ReportError("", "archive ends before its central directory", kMsgBadOffsetToLocalHeader);
}

std::vector<TUnBaseHeaderObj> TUnZip::CollectByLocalWalk() {
    std::vector<TUnBaseHeaderObj> list;
    TNameRegister names;
    int64_t position = FLocation.Position;
    if (GetU32(ReadBytesAt(Archive(), position, kSplitMarkerSize), 0) == kSplitMarkerSig)
        position += static_cast<int64_t>(kSplitMarkerSize);
    while (!Cancel()) {
        auto local = TLocalHeader::Parse(ReadBytesAt(Archive(), position, kLocalHeaderSize));
        if (!local) {
            ReportCutWalk(position);
            break;
        }
        const TStoredName stored = ReadStoredName(Archive(), local->NameLength, local->ExtraLength);
        const TExtraInfo extra = WalkExtraField(stored.Extra, *local);
        const int64_t dataStart =
            position + static_cast<int64_t>(kLocalHeaderSize + local->NameLength + local->ExtraLength);
        TUnBaseHeaderObj item;
        item.LocalHeaderOffset = position;
        item.CompressedSize = Size48(local->CompressedSize, extra.High.Compressed);
        item.UncompressedSize = Size48(local->UncompressedSize, extra.High.Uncompressed);
        item.Crc32 = local->Crc32;
        const std::optional<std::string> name = NameOf(stored, local->Flags);
        // Sizes in a descriptor: the data must be measured, or nothing after this entry can be found.
        int64_t next = dataStart + static_cast<int64_t>(item.CompressedSize);
        if (local->Flags & kFlagDataDescriptor) {
            const std::optional<int64_t> end = MeasureDescribed(*local, dataStart, item, name.value_or(stored.Raw));
            if (!end)
                break;
            next = *end;
        }
        if (name && !name->empty() && SelectEntry(*name)) {
            if (const std::string clash = names.Clash(*name, stored.Cut); !clash.empty()) {
                ReportError(*name, clash, kMsgErrorOpeningFile);
            } else {
                FTotalUncompressed += item.UncompressedSize;
                FMaxDateTime = std::max(FMaxDateTime, local->DateTime);
                list.push_back(item);
            }
        }
        position = next;
    }
    return list;
}

}  // namespace archive
