// The local-header walk of the check: entry after entry from the first header, descriptors included.
#include "app/proof/LocalWalk.h"

#include <algorithm>

#include "app/proof/EntryDecode.h"
#include "archive/format/Records.h"

namespace app::jarcheck {

namespace {
using archive::GetU32;
using archive::GetU64;

// The first local header must lie within this many bytes of the start (room for a launcher in front).
constexpr int64_t kFirstHeaderReach = 256 * 1024;
constexpr size_t kDescriptorCrcAndSizes32 = 12;  // CRC, compressed and uncompressed size of 4 bytes each
constexpr size_t kDescriptorCrcAndSizes64 = 20;  // the same with sizes of 8 bytes (Zip64 entries)

int64_t FirstLocalHeader(TCheckFile& file) {
    constexpr size_t kOverlap = 3;  // a signature across two reads is still seen
    for (int64_t start = 0; start < std::min(file.Size(), kFirstHeaderReach); start += kCheckChunk) {
        const auto bytes = file.ReadAt(start, kCheckChunk + kOverlap);
        for (size_t k = 0; k + 4 <= bytes.size(); ++k)
            if (GetU32(bytes, k) == archive::kLocalHeaderSig)
                return start + static_cast<int64_t>(k);
    }
    return -1;
}

struct TDescriptor {
    bool Found = false;
    uint32_t Crc = 0;
    uint64_t Size = 0;
    int64_t End = 0;  // the first byte after it
};

// The descriptor after data of `used` compressed bytes ending at `position`: its compressed size must be
// `used`, in the 4-byte form or (Zip64) the 8-byte one, with or without its signature.
TDescriptor ReadDescriptor(TCheckFile& file, int64_t position, uint64_t used) {
    auto bytes = file.ReadAt(position, archive::kSplitMarkerSize + kDescriptorCrcAndSizes64);
    size_t at = 0;
    if (GetU32(bytes, 0) == archive::kSplitMarkerSig)
        at = archive::kSplitMarkerSize;
    if (bytes.size() >= at + kDescriptorCrcAndSizes32 && GetU32(bytes, at + 4) == used)
        return {true, GetU32(bytes, at), GetU32(bytes, at + 8),
                position + static_cast<int64_t>(at + kDescriptorCrcAndSizes32)};
    if (bytes.size() >= at + kDescriptorCrcAndSizes64 && GetU64(bytes, at + 4) == used)
        return {true, GetU32(bytes, at), GetU64(bytes, at + 12),
                position + static_cast<int64_t>(at + kDescriptorCrcAndSizes64)};
    return {};
}

// Finds the end of a descriptor entry's data by decoding it; only deflate marks its own end.
bool CompleteFromDescriptor(TCheckFile& file, int64_t dataAt, TListedEntry& entry, int64_t& next) {
    if (entry.Method != archive::kMethodDeflate)
        return false;
    TEntryData data;
    data.Position = dataAt;
    data.InputLimit = static_cast<uint64_t>(file.Size() - dataAt);
    data.Method = entry.Method;
    data.Flags = entry.Flags;
    const TDecodeResult result = DecodeEntryData(file, data, [](std::span<const uint8_t>) {});
    if (result.Status != dsOk)
        return false;
    const TDescriptor descriptor =
        ReadDescriptor(file, dataAt + static_cast<int64_t>(result.InputUsed), result.InputUsed);
    if (!descriptor.Found)
        return false;
    entry.Crc = descriptor.Crc;
    entry.CompressedSize = result.InputUsed;
    entry.Size = descriptor.Size;
    next = descriptor.End;
    return true;
}
}  // namespace

TListing WalkLocalHeaders(TCheckFile& file) {
    TListing listing;
    int64_t position = FirstLocalHeader(file);
    if (position < 0) {
        listing.Status = lsUnreadable;
        listing.Detail = "no central directory and no local header";
        return listing;
    }
    for (;;) {
        auto header = archive::TLocalHeader::Parse(file.ReadAt(position, archive::kLocalHeaderSize));
        if (!header)
            return listing;
        const int64_t variable = position + static_cast<int64_t>(archive::kLocalHeaderSize);
        const auto name = file.ReadAt(variable, header->NameLength);
        const auto extra = file.ReadAt(variable + header->NameLength, header->ExtraLength);
        TListedEntry entry;
        entry.Name.assign(name.begin(), name.end());
        entry.HeaderOffset = position;
        const int64_t dataAt = variable + header->NameLength + header->ExtraLength;
        const archive::TExtraInfo info = archive::WalkExtraField(extra, *header);
        TakeHeaderValues(entry, *header, info);
        int64_t next = dataAt + static_cast<int64_t>(entry.CompressedSize);
        const bool headerWhole = name.size() == header->NameLength && extra.size() == header->ExtraLength;
        const bool complete = headerWhole && ((entry.Flags & archive::kFlagDataDescriptor)
                                                  ? CompleteFromDescriptor(file, dataAt, entry, next)
                                                  : next <= file.Size());
        if (!complete) {
            listing.Status = lsUnreadable;
            listing.Entry = entry.Name;
            listing.Detail = "entry cut short, or its end not found";
            return listing;
        }
        listing.Entries.push_back(std::move(entry));
        position = next;
    }
}

}  // namespace app::jarcheck
