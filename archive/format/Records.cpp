// Parsing and building of the ZIP records at their fixed offsets, and the extra field walk.
#include "archive/format/Records.h"

#include <algorithm>

namespace archive {

namespace {
// Local header field offsets.
namespace lh {
constexpr size_t kSig = 0, kVersion = 4, kFlags = 6, kMethod = 8, kDateTime = 10, kCrc = 14, kCompSize = 18,
                 kUncompSize = 22, kNameLen = 26, kExtraLen = 28;
}
// Central header field offsets.
namespace ch {
constexpr size_t kSig = 0, kMadeBy = 4, kVersion = 6, kFlags = 8, kMethod = 10, kDateTime = 12, kCrc = 16,
                 kCompSize = 20, kUncompSize = 24, kNameLen = 28, kExtraLen = 30, kCommentLen = 32, kDisk = 34,
                 kIntAttr = 36, kExtAttr = 38, kOffset = 42;
}
// End record (and wide end record) field offsets.
namespace er {
constexpr size_t kSig = 0, kThisDisk = 4, kDirDisk = 6, kEntriesHere = 8, kEntries = 10, kDirSize = 12, kDirOffset = 16,
                 kCommentLen = 20, kWideOffsetHigh = 20, kWideCommentLen = 24;
}
namespace z64loc {
constexpr size_t kSig = 0, kDisk = 4, kOffset = 8, kTotalDisks = 16;
}
namespace z64end {
constexpr size_t kSig = 0, kRemaining = 4, kMadeBy = 12, kVersion = 14, kThisDisk = 16, kDirDisk = 20,
                 kEntriesHere = 24, kEntries = 32, kDirSize = 40, kDirOffset = 48;
}
constexpr size_t kExtraBlockHeader = 4;  // id and data size, two bytes each
constexpr size_t kAesBlockSize = 7;      // vendor version, vendor id, key strength, method
constexpr size_t kSizeExtLocal = 4;      // 0x0064 block: two high words in a local header
constexpr size_t kSizeExtCentral = 6;    // ... and the offset's high word in a central header

bool HasRecord(std::span<const uint8_t> bytes, size_t size, uint32_t signature) {
    return bytes.size() >= size && GetU32(bytes, 0) == signature;
}

// Header fields that the extra field may widen; `offset` is null for a local header.
struct TWidenable {
    uint32_t* uncompressed;
    uint32_t* compressed;
    uint32_t* offset;
};

// A Zip64 replacement: the low 32 bits stay in the field, the next 16 go into the high word.
void TakeZip64Value(std::span<const uint8_t> data, size_t& pos, uint32_t* field, uint16_t& high) {
    if (!field || *field != kValueInZip64 || pos + 8 > data.size())
        return;
    const uint64_t value = GetU64(data, pos);
    *field = static_cast<uint32_t>(value);
    high = static_cast<uint16_t>(value >> 32);
    pos += 8;
}

void ReadZip64Block(std::span<const uint8_t> data, TWidenable fields, TExtraInfo& info) {
    size_t pos = 0;
    TakeZip64Value(data, pos, fields.uncompressed, info.High.Uncompressed);
    TakeZip64Value(data, pos, fields.compressed, info.High.Compressed);
    TakeZip64Value(data, pos, fields.offset, info.High.Offset);
}

void ReadSizeExtensionBlock(std::span<const uint8_t> data, bool central, TExtraInfo& info) {
    if (data.size() < (central ? kSizeExtCentral : kSizeExtLocal))
        return;
    info.High.Compressed = GetU16(data, 0);
    info.High.Uncompressed = GetU16(data, 2);
    if (central)
        info.High.Offset = GetU16(data, 4);
}

void ReadAesBlock(std::span<const uint8_t> data, TAesBlock& aes) {
    if (data.size() < kAesBlockSize)
        return;
    aes.Present = true;
    aes.VendorVersion = GetU16(data, 0);
    aes.VendorId = GetU16(data, 2);
    aes.KeyStrength = data[4];
    aes.Method = GetU16(data, 5);
}

TExtraInfo Walk(std::span<const uint8_t> extra, TWidenable fields) {
    TExtraInfo info;
    const bool central = fields.offset != nullptr;
    size_t pos = 0;
    while (pos + kExtraBlockHeader <= extra.size()) {
        const uint16_t id = GetU16(extra, pos);
        const size_t declared = GetU16(extra, pos + 2);
        pos += kExtraBlockHeader;
        // A block that claims more than is left gets only the rest, and ends the walk.
        const size_t size = std::min(declared, extra.size() - pos);
        const auto data = extra.subspan(pos, size);
        switch (id) {
            case kExtraZip64:
                ReadZip64Block(data, fields, info);
                break;
            case kExtraSizeExtension:
                ReadSizeExtensionBlock(data, central, info);
                break;
            case kExtraStrongEncryption:
                info.StrongEncryption = true;
                break;
            case kExtraAes:
                ReadAesBlock(data, info.Aes);
                break;
            default:
                break;
        }
        pos += size;
    }
    return info;
}
}  // namespace

uint16_t GetU16(std::span<const uint8_t> bytes, size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 2)
        return 0;
    return static_cast<uint16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

uint32_t GetU32(std::span<const uint8_t> bytes, size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 4)
        return 0;
    return GetU16(bytes, offset) | (static_cast<uint32_t>(GetU16(bytes, offset + 2)) << 16);
}

uint64_t GetU64(std::span<const uint8_t> bytes, size_t offset) {
    if (offset > bytes.size() || bytes.size() - offset < 8)
        return 0;
    return GetU32(bytes, offset) | (static_cast<uint64_t>(GetU32(bytes, offset + 4)) << 32);
}

void PutU16(std::span<uint8_t> bytes, size_t offset, uint16_t value) {
    if (offset > bytes.size() || bytes.size() - offset < 2)
        return;
    bytes[offset] = static_cast<uint8_t>(value);
    bytes[offset + 1] = static_cast<uint8_t>(value >> 8);
}

void PutU32(std::span<uint8_t> bytes, size_t offset, uint32_t value) {
    if (offset > bytes.size() || bytes.size() - offset < 4)
        return;
    PutU16(bytes, offset, static_cast<uint16_t>(value));
    PutU16(bytes, offset + 2, static_cast<uint16_t>(value >> 16));
}

void PutU64(std::span<uint8_t> bytes, size_t offset, uint64_t value) {
    if (offset > bytes.size() || bytes.size() - offset < 8)
        return;
    PutU32(bytes, offset, static_cast<uint32_t>(value));
    PutU32(bytes, offset + 4, static_cast<uint32_t>(value >> 32));
}

uint32_t PackDosDateTime(const TDosDateTime& v) {
    const uint32_t time = (v.Hour << 11) | (v.Minute << 5) | (v.Second / 2);
    const uint32_t date = ((v.Year - 1980u) << 9) | (v.Month << 5) | v.Day;
    return ((date & 0xFFFF) << 16) | (time & 0xFFFF);
}

TDosDateTime UnpackDosDateTime(uint32_t packed) {
    const uint32_t time = packed & 0xFFFF;
    const uint32_t date = packed >> 16;
    TDosDateTime v;
    v.Year = static_cast<uint16_t>(1980 + (date >> 9));
    v.Month = static_cast<uint16_t>((date >> 5) & 0x0F);
    v.Day = static_cast<uint16_t>(date & 0x1F);
    v.Hour = static_cast<uint16_t>(time >> 11);
    v.Minute = static_cast<uint16_t>((time >> 5) & 0x3F);
    v.Second = static_cast<uint16_t>((time & 0x1F) * 2);
    return v;
}

std::optional<TLocalHeader> TLocalHeader::Parse(std::span<const uint8_t> b) {
    if (!HasRecord(b, kLocalHeaderSize, kLocalHeaderSig))
        return std::nullopt;
    TLocalHeader h;
    h.VersionNeeded = GetU16(b, lh::kVersion);
    h.Flags = GetU16(b, lh::kFlags);
    h.Method = GetU16(b, lh::kMethod);
    h.DateTime = GetU32(b, lh::kDateTime);
    h.Crc32 = GetU32(b, lh::kCrc);
    h.CompressedSize = GetU32(b, lh::kCompSize);
    h.UncompressedSize = GetU32(b, lh::kUncompSize);
    h.NameLength = GetU16(b, lh::kNameLen);
    h.ExtraLength = GetU16(b, lh::kExtraLen);
    return h;
}

std::array<uint8_t, kLocalHeaderSize> TLocalHeader::Build() const {
    std::array<uint8_t, kLocalHeaderSize> b{};
    PutU32(b, lh::kSig, kLocalHeaderSig);
    PutU16(b, lh::kVersion, VersionNeeded);
    PutU16(b, lh::kFlags, Flags);
    PutU16(b, lh::kMethod, Method);
    PutU32(b, lh::kDateTime, DateTime);
    PutU32(b, lh::kCrc, Crc32);
    PutU32(b, lh::kCompSize, CompressedSize);
    PutU32(b, lh::kUncompSize, UncompressedSize);
    PutU16(b, lh::kNameLen, NameLength);
    PutU16(b, lh::kExtraLen, ExtraLength);
    return b;
}

std::optional<TCentralHeader> TCentralHeader::Parse(std::span<const uint8_t> b) {
    if (!HasRecord(b, kCentralHeaderSize, kCentralHeaderSig))
        return std::nullopt;
    TCentralHeader h;
    h.VersionMadeBy = GetU16(b, ch::kMadeBy);
    h.VersionNeeded = GetU16(b, ch::kVersion);
    h.Flags = GetU16(b, ch::kFlags);
    h.Method = GetU16(b, ch::kMethod);
    h.DateTime = GetU32(b, ch::kDateTime);
    h.Crc32 = GetU32(b, ch::kCrc);
    h.CompressedSize = GetU32(b, ch::kCompSize);
    h.UncompressedSize = GetU32(b, ch::kUncompSize);
    h.NameLength = GetU16(b, ch::kNameLen);
    h.ExtraLength = GetU16(b, ch::kExtraLen);
    h.CommentLength = GetU16(b, ch::kCommentLen);
    h.DiskNumberStart = GetU16(b, ch::kDisk);
    h.InternalAttributes = GetU16(b, ch::kIntAttr);
    h.ExternalAttributes = GetU32(b, ch::kExtAttr);
    h.LocalHeaderOffset = GetU32(b, ch::kOffset);
    return h;
}

std::array<uint8_t, kCentralHeaderSize> TCentralHeader::Build() const {
    std::array<uint8_t, kCentralHeaderSize> b{};
    PutU32(b, ch::kSig, kCentralHeaderSig);
    PutU16(b, ch::kMadeBy, VersionMadeBy);
    PutU16(b, ch::kVersion, VersionNeeded);
    PutU16(b, ch::kFlags, Flags);
    PutU16(b, ch::kMethod, Method);
    PutU32(b, ch::kDateTime, DateTime);
    PutU32(b, ch::kCrc, Crc32);
    PutU32(b, ch::kCompSize, CompressedSize);
    PutU32(b, ch::kUncompSize, UncompressedSize);
    PutU16(b, ch::kNameLen, NameLength);
    PutU16(b, ch::kExtraLen, ExtraLength);
    PutU16(b, ch::kCommentLen, CommentLength);
    PutU16(b, ch::kDisk, DiskNumberStart);
    PutU16(b, ch::kIntAttr, InternalAttributes);
    PutU32(b, ch::kExtAttr, ExternalAttributes);
    PutU32(b, ch::kOffset, LocalHeaderOffset);
    return b;
}

std::optional<TEndRecord> TEndRecord::Parse(std::span<const uint8_t> b) {
    TEndRecord r;
    if (HasRecord(b, kWideEndRecordSize, kWideEndRecordSig))
        r.Wide = true;
    else if (!HasRecord(b, kEndRecordSize, kEndRecordSig))
        return std::nullopt;
    r.ThisDisk = GetU16(b, er::kThisDisk);
    r.DirectoryDisk = GetU16(b, er::kDirDisk);
    r.EntriesThisDisk = GetU16(b, er::kEntriesHere);
    r.TotalEntries = GetU16(b, er::kEntries);
    r.DirectorySize = GetU32(b, er::kDirSize);
    r.DirectoryOffset = GetU32(b, er::kDirOffset);
    if (r.Wide)
        r.DirectoryOffset |= static_cast<uint64_t>(GetU32(b, er::kWideOffsetHigh)) << 32;
    r.CommentLength = GetU16(b, r.Wide ? er::kWideCommentLen : er::kCommentLen);
    return r;
}

std::array<uint8_t, kWideEndRecordSize> TEndRecord::Build() const {
    std::array<uint8_t, kWideEndRecordSize> b{};
    PutU32(b, er::kSig, Wide ? kWideEndRecordSig : kEndRecordSig);
    PutU16(b, er::kThisDisk, ThisDisk);
    PutU16(b, er::kDirDisk, DirectoryDisk);
    PutU16(b, er::kEntriesHere, EntriesThisDisk);
    PutU16(b, er::kEntries, TotalEntries);
    PutU32(b, er::kDirSize, DirectorySize);
    PutU32(b, er::kDirOffset, static_cast<uint32_t>(DirectoryOffset));
    if (Wide) {
        PutU32(b, er::kWideOffsetHigh, static_cast<uint32_t>(DirectoryOffset >> 32));
        PutU16(b, er::kWideCommentLen, CommentLength);
    } else {
        PutU16(b, er::kCommentLen, CommentLength);
    }
    return b;
}

std::optional<TZip64Locator> TZip64Locator::Parse(std::span<const uint8_t> b) {
    if (!HasRecord(b, kZip64LocatorSize, kZip64LocatorSig))
        return std::nullopt;
    TZip64Locator r;
    r.Zip64Disk = GetU32(b, z64loc::kDisk);
    r.Zip64EndOffset = GetU64(b, z64loc::kOffset);
    r.TotalDisks = GetU32(b, z64loc::kTotalDisks);
    return r;
}

std::array<uint8_t, kZip64LocatorSize> TZip64Locator::Build() const {
    std::array<uint8_t, kZip64LocatorSize> b{};
    PutU32(b, z64loc::kSig, kZip64LocatorSig);
    PutU32(b, z64loc::kDisk, Zip64Disk);
    PutU64(b, z64loc::kOffset, Zip64EndOffset);
    PutU32(b, z64loc::kTotalDisks, TotalDisks);
    return b;
}

std::optional<TZip64EndRecord> TZip64EndRecord::Parse(std::span<const uint8_t> b) {
    if (!HasRecord(b, kZip64EndRecordSize, kZip64EndRecordSig))
        return std::nullopt;
    TZip64EndRecord r;
    r.RemainingSize = GetU64(b, z64end::kRemaining);
    r.VersionMadeBy = GetU16(b, z64end::kMadeBy);
    r.VersionNeeded = GetU16(b, z64end::kVersion);
    r.ThisDisk = GetU32(b, z64end::kThisDisk);
    r.DirectoryDisk = GetU32(b, z64end::kDirDisk);
    r.EntriesThisDisk = GetU64(b, z64end::kEntriesHere);
    r.TotalEntries = GetU64(b, z64end::kEntries);
    r.DirectorySize = GetU64(b, z64end::kDirSize);
    r.DirectoryOffset = GetU64(b, z64end::kDirOffset);
    return r;
}

std::array<uint8_t, kZip64EndRecordSize> TZip64EndRecord::Build() const {
    std::array<uint8_t, kZip64EndRecordSize> b{};
    PutU32(b, z64end::kSig, kZip64EndRecordSig);
    PutU64(b, z64end::kRemaining, RemainingSize);
    PutU16(b, z64end::kMadeBy, VersionMadeBy);
    PutU16(b, z64end::kVersion, VersionNeeded);
    PutU32(b, z64end::kThisDisk, ThisDisk);
    PutU32(b, z64end::kDirDisk, DirectoryDisk);
    PutU64(b, z64end::kEntriesHere, EntriesThisDisk);
    PutU64(b, z64end::kEntries, TotalEntries);
    PutU64(b, z64end::kDirSize, DirectorySize);
    PutU64(b, z64end::kDirOffset, DirectoryOffset);
    return b;
}

TExtraInfo WalkExtraField(std::span<const uint8_t> extra, TLocalHeader& header) {
    return Walk(extra, {&header.UncompressedSize, &header.CompressedSize, nullptr});
}

TExtraInfo WalkExtraField(std::span<const uint8_t> extra, TCentralHeader& header) {
    return Walk(extra, {&header.UncompressedSize, &header.CompressedSize, &header.LocalHeaderOffset});
}

std::vector<uint8_t> BuildSizeExtension(const THighWords& high, bool central) {
    const size_t dataSize = central ? kSizeExtCentral : kSizeExtLocal;
    std::vector<uint8_t> block(kExtraBlockHeader + dataSize);
    PutU16(block, 0, kExtraSizeExtension);
    PutU16(block, 2, static_cast<uint16_t>(dataSize));
    PutU16(block, 4, high.Compressed);
    PutU16(block, 6, high.Uncompressed);
    if (central)
        PutU16(block, 8, high.Offset);
    return block;
}

}  // namespace archive
