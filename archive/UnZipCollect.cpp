// Collecting the entries to extract: the central directory scan with its offset correction, and the local-header walk.
#include "archive/Messages.h"
#include "archive/UnZip.h"

namespace archive {

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

std::vector<TUnBaseHeaderObj> TUnZip::CollectByDirectory() {
    std::vector<TUnBaseHeaderObj> list;
    if (FLocation.EndRecord.ThisDisk < FLocation.EndRecord.DirectoryDisk)
        return list;
    int64_t position = FLocation.Position;
    int64_t correction = 0;
    bool searched = false;
    while (!Cancel()) {
        auto central = TCentralHeader::Parse(ReadBytesAt(Archive(), position, kCentralHeaderSize));
        if (!central)
            break;
        const TStoredName stored = ReadStoredName(Archive(), central->NameLength, central->ExtraLength);
        const TExtraInfo extra = WalkExtraField(stored.Extra, *central);
        const std::string name = ConvertEntryName(stored.Raw, TranslateOemChar);
        position += static_cast<int64_t>(central->RecordLength());
        if (!SelectEntry(name))
            continue;
        const int64_t storedOffset =
            static_cast<int64_t>(Size48(central->LocalHeaderOffset, extra.High.Offset)) + FLocation.StartOffset;
        bool found = LocalHeaderAt(storedOffset + correction);
        // Bytes in front of the archive that its offsets do not count: found once, applied to every entry.
        if (!found && !searched) {
            searched = true;
            correction = SearchOffsetCorrection(storedOffset);
            found = correction > 0 && LocalHeaderAt(storedOffset + correction);
        }
        if (!found) {
            ReportError(name, "", kMsgBadOffsetToLocalHeader);
            continue;
        }
        TUnBaseHeaderObj item;
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
    return list;
}

std::vector<TUnBaseHeaderObj> TUnZip::CollectByLocalWalk() {
    std::vector<TUnBaseHeaderObj> list;
    int64_t position = FLocation.Position;
    if (GetU32(ReadBytesAt(Archive(), position, kSplitMarkerSize), 0) == kSplitMarkerSig)
        position += static_cast<int64_t>(kSplitMarkerSize);
    while (!Cancel()) {
        auto local = TLocalHeader::Parse(ReadBytesAt(Archive(), position, kLocalHeaderSize));
        if (!local)
            break;
        const TStoredName stored = ReadStoredName(Archive(), local->NameLength, local->ExtraLength);
        const TExtraInfo extra = WalkExtraField(stored.Extra, *local);
        const std::string name = ConvertEntryName(stored.Raw, TranslateOemChar);
        if (!name.empty() && SelectEntry(name)) {
            TUnBaseHeaderObj item;
            item.LocalHeaderOffset = position;
            FTotalUncompressed += Size48(local->UncompressedSize, extra.High.Uncompressed);
            FMaxDateTime = std::max(FMaxDateTime, local->DateTime);
            list.push_back(item);
        }
        position += static_cast<int64_t>(kLocalHeaderSize + local->NameLength + local->ExtraLength +
                                         Size48(local->CompressedSize, extra.High.Compressed));
    }
    return list;
}

}  // namespace archive
