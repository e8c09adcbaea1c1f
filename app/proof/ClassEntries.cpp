// Entries decoded whole through the check's own decoders.
#include "app/proof/ClassEntries.h"

#include "archive/format/Crc32.h"
#include "archive/format/Records.h"

namespace app::jarcheck {

namespace {
constexpr uint16_t kMethodDeflate64 = 9;
constexpr uint16_t kLastLegacyMethod = 6;  // shrink (1), reduce (2-5), implode (6)
}  // namespace

bool CanDecode(const TListedEntry& entry) {
    if (entry.Flags & (archive::kFlagEncrypted | archive::kFlagStrongEncryption))
        return false;
    return entry.Method <= kLastLegacyMethod || entry.Method == archive::kMethodDeflate ||
           entry.Method == kMethodDeflate64;
}

int64_t DataStart(TCheckFile& file, const TListedEntry& entry) {
    const auto header = archive::TLocalHeader::Parse(file.ReadAt(entry.HeaderOffset, archive::kLocalHeaderSize));
    if (!header)
        return -1;
    return entry.HeaderOffset + static_cast<int64_t>(archive::kLocalHeaderSize) + header->NameLength +
           header->ExtraLength;
}

TEntryData EntryDataOf(const TListedEntry& entry, int64_t dataStart) {
    TEntryData data;
    data.Position = dataStart;
    data.InputLimit = entry.CompressedSize;
    data.Method = entry.Method;
    data.Flags = entry.Flags;
    data.DeclaredSize = entry.Size;
    data.OutputLimit = entry.Size;
    return data;
}

bool ReadEntryWhole(TCheckFile& file, const TListedEntry& entry, std::vector<uint8_t>& bytes) {
    bytes.clear();
    const int64_t start = DataStart(file, entry);
    if (start < 0 || entry.Size > kMaxWholeEntry)
        return false;
    bytes.reserve(static_cast<size_t>(entry.Size));
    const TDecodeResult result = DecodeEntryData(
        file, EntryDataOf(entry, start),
        [&bytes](std::span<const uint8_t> chunk) { bytes.insert(bytes.end(), chunk.begin(), chunk.end()); });
    if (result.Status == dsOk && bytes.size() == entry.Size && archive::CrcMatches(entry.Crc, archive::Crc32(bytes)))
        return true;
    bytes.clear();
    return false;
}

}  // namespace app::jarcheck
