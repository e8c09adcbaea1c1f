// ZIP records parsed from and built into byte spans: headers, end records, packed date/time, extra fields.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace archive {

// Record signatures ("PK" and two record-kind bytes, read little-endian).
constexpr uint32_t kLocalHeaderSig = 0x04034B50;
constexpr uint32_t kCentralHeaderSig = 0x02014B50;
constexpr uint32_t kEndRecordSig = 0x06054B50;
constexpr uint32_t kZip64EndRecordSig = 0x06064B50;
constexpr uint32_t kZip64LocatorSig = 0x07064B50;
constexpr uint32_t kWideEndRecordSig = 0x06055B50;  // our own end record for archives of 4 GiB and more
constexpr uint32_t kSplitMarkerSig = 0x08074B50;    // data descriptor / split-archive marker
constexpr uint16_t kZipMarker = 0x4B50;             // "PK" as the low half of every signature

// Fixed sizes of the records, from the ZIP application note.
constexpr size_t kLocalHeaderSize = 30;
constexpr size_t kCentralHeaderSize = 46;
constexpr size_t kEndRecordSize = 22;
constexpr size_t kWideEndRecordSize = 26;
constexpr size_t kZip64LocatorSize = 20;
constexpr size_t kZip64EndRecordSize = 56;
constexpr size_t kSplitMarkerSize = 4;

// A 32-bit size or offset field holding this value has its real value in the Zip64 extra block.
constexpr uint32_t kValueInZip64 = 0xFFFFFFFF;
// Names are kept up to this many bytes (one 256-byte buffer with a terminator).
constexpr size_t kMaxNameLength = 255;

// General purpose flag bits the reader looks at.
constexpr uint16_t kFlagEncrypted = 0x0001;
constexpr uint16_t kFlagStrongEncryption = 0x0040;
constexpr uint16_t kFlagDataDescriptor = 0x0008;  // CRC and sizes follow the data
constexpr uint16_t kFlagUtf8 = 0x0800;            // the name is UTF-8 (bit 11)
constexpr size_t kEncryptionHeaderSize = 12;      // traditional PKWARE encryption header

// Extra field block ids the reader interprets.
constexpr uint16_t kExtraZip64 = 0x0001;
constexpr uint16_t kExtraSizeExtension = 0x0064;
constexpr uint16_t kExtraStrongEncryption = 0x0017;
constexpr uint16_t kExtraAes = 0x9901;

// Compression methods the engine names.
constexpr uint16_t kMethodStored = 0;
constexpr uint16_t kMethodDeflate = 8;
constexpr uint16_t kMethodAes = 99;  // compression method of AES entries; the real method is in the AES block

// Little-endian access at an offset; reads outside the span give 0, writes outside it are dropped.
uint16_t GetU16(std::span<const uint8_t> bytes, size_t offset);
uint32_t GetU32(std::span<const uint8_t> bytes, size_t offset);
uint64_t GetU64(std::span<const uint8_t> bytes, size_t offset);
void PutU16(std::span<uint8_t> bytes, size_t offset, uint16_t value);
void PutU32(std::span<uint8_t> bytes, size_t offset, uint32_t value);
void PutU64(std::span<uint8_t> bytes, size_t offset, uint64_t value);

// A size or offset of 48 bits: the 32-bit header field and a 16-bit high word from an extra field.
constexpr uint64_t Size48(uint32_t low, uint16_t high) {
    return (static_cast<uint64_t>(high) << 32) | low;
}

// MS-DOS packed date and time as one value: time in the low 16 bits, date in the high 16 bits.
struct TDosDateTime {
    uint16_t Year = 1980, Month = 1, Day = 1, Hour = 0, Minute = 0, Second = 0;
    friend bool operator==(const TDosDateTime&, const TDosDateTime&) = default;
};
uint32_t PackDosDateTime(const TDosDateTime& value);
TDosDateTime UnpackDosDateTime(uint32_t packed);

struct TLocalHeader {
    uint16_t VersionNeeded = 0;
    uint16_t Flags = 0;
    uint16_t Method = 0;
    uint32_t DateTime = 0;  // packed, as at offset 10
    uint32_t Crc32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t NameLength = 0;
    uint16_t ExtraLength = 0;

    // Empty when the span is shorter than the record or does not start with its signature.
    static std::optional<TLocalHeader> Parse(std::span<const uint8_t> bytes);
    std::array<uint8_t, kLocalHeaderSize> Build() const;
};

struct TCentralHeader {
    uint16_t VersionMadeBy = 0;
    uint16_t VersionNeeded = 0;
    uint16_t Flags = 0;
    uint16_t Method = 0;
    uint32_t DateTime = 0;
    uint32_t Crc32 = 0;
    uint32_t CompressedSize = 0;
    uint32_t UncompressedSize = 0;
    uint16_t NameLength = 0;
    uint16_t ExtraLength = 0;
    uint16_t CommentLength = 0;
    uint16_t DiskNumberStart = 0;
    uint16_t InternalAttributes = 0;
    uint32_t ExternalAttributes = 0;
    uint32_t LocalHeaderOffset = 0;

    static std::optional<TCentralHeader> Parse(std::span<const uint8_t> bytes);
    std::array<uint8_t, kCentralHeaderSize> Build() const;
    // Distance from this header to the next one.
    uint64_t RecordLength() const { return kCentralHeaderSize + NameLength + ExtraLength + CommentLength; }
};

// The end record, or our wide variant with a 64-bit directory offset (then `Wide` is set).
struct TEndRecord {
    bool Wide = false;
    uint16_t ThisDisk = 0;
    uint16_t DirectoryDisk = 0;
    uint16_t EntriesThisDisk = 0;
    uint16_t TotalEntries = 0;
    uint32_t DirectorySize = 0;
    uint64_t DirectoryOffset = 0;
    uint16_t CommentLength = 0;

    static std::optional<TEndRecord> Parse(std::span<const uint8_t> bytes);
    size_t Size() const { return Wide ? kWideEndRecordSize : kEndRecordSize; }
    // kWideEndRecordSize bytes are always returned; only Size() of them belong to the record.
    std::array<uint8_t, kWideEndRecordSize> Build() const;
};

struct TZip64Locator {
    uint32_t Zip64Disk = 0;
    uint64_t Zip64EndOffset = 0;
    uint32_t TotalDisks = 0;

    static std::optional<TZip64Locator> Parse(std::span<const uint8_t> bytes);
    std::array<uint8_t, kZip64LocatorSize> Build() const;
};

struct TZip64EndRecord {
    uint64_t RemainingSize = kZip64EndRecordSize - 12;  // the record without its signature and this field
    uint16_t VersionMadeBy = 0;
    uint16_t VersionNeeded = 0;
    uint32_t ThisDisk = 0;
    uint32_t DirectoryDisk = 0;
    uint64_t EntriesThisDisk = 0;
    uint64_t TotalEntries = 0;
    uint64_t DirectorySize = 0;
    uint64_t DirectoryOffset = 0;

    static std::optional<TZip64EndRecord> Parse(std::span<const uint8_t> bytes);
    std::array<uint8_t, kZip64EndRecordSize> Build() const;
};

// What the extra field walk yields besides the Zip64 replacements written into the header.
struct THighWords {
    uint16_t Compressed = 0;
    uint16_t Uncompressed = 0;
    uint16_t Offset = 0;
};
struct TAesBlock {
    bool Present = false;
    uint16_t VendorVersion = 0;
    uint16_t VendorId = 0;
    uint8_t KeyStrength = 0;
    uint16_t Method = 0;  // the actual compression method
};
struct TExtraInfo {
    THighWords High;
    TAesBlock Aes;
    bool StrongEncryption = false;  // a 0x0017 block was present
};

// Walks the blocks of an extra field; Zip64 replacements go into the header's fields and high words.
TExtraInfo WalkExtraField(std::span<const uint8_t> extra, TLocalHeader& header);
TExtraInfo WalkExtraField(std::span<const uint8_t> extra, TCentralHeader& header);

// A size extension block (0x0064) as the writer adds it: both sizes' high words, and in a central header
// (`central`) the local header offset's too.
std::vector<uint8_t> BuildSizeExtension(const THighWords& high, bool central);

}  // namespace archive
