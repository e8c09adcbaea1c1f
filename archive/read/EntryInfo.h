// The reader's per-entry records: the entry locator list item, the current entry, and reading a stored name.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/format/Records.h"
#include "framework/Streams.h"

namespace archive {

// One selected entry: where its local header is, and (directory scan) its central header.
struct TUnBaseHeaderObj {
    std::string Name;  // directory scan: the converted central name, which the local header must repeat
    uint32_t ExternalAttributes = 0;
    uint16_t DiskNumber = 1;
    int64_t LocalHeaderOffset = 0;
    bool HasCentral = false;
    TCentralHeader Central;       // with the corrected local header offset
    uint64_t CompressedSize = 0;  // 48-bit sizes of the central header (walk: local header or descriptor)
    uint64_t UncompressedSize = 0;
    uint32_t Crc32 = 0;  // walk: the CRC of the local header or of the descriptor
};

// The values the extraction steps work with for the entry being handled.
struct TEntryInfo {
    std::string Name;        // converted stored name, delimiters as the platform writes them
    std::string StoredName;  // the name's bytes as stored (at most kMaxNameLength of them)
    uint16_t Flags = 0;
    uint16_t Method = 0;
    uint64_t CompressedSize = 0;
    uint64_t UncompressedSize = 0;
    uint32_t ExpectedCrc = 0;
    uint32_t DateTime = 0;
    uint32_t ExternalAttributes = 0;
};

// The name and extra field that follow a header, read at the stream's position.
struct TStoredName {
    std::string Raw;  // at most kMaxNameLength bytes
    std::vector<uint8_t> Extra;
    bool Complete = false;  // every byte could be read
    bool Cut = false;       // the stored name was longer than what is kept
};
// Keeps the first 255 bytes of a longer name and skips the rest, so the extra field is read where it is.
TStoredName ReadStoredName(fw::TStream& stream, uint16_t nameLength, uint16_t extraLength);

}  // namespace archive
