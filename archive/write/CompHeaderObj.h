// The writer's entry list for one Compress run: names, root lengths, entry records and central records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/format/Records.h"

namespace archive {

// The external attribute bits an entry keeps: the MS-DOS bits plus "normal" and "encrypted".
constexpr uint32_t kStoredAttrMask = 0x40BF;

// What happens to an entry when the archive is written.
enum TEntryAction : uint8_t {
    eaCompress = 0,  // a new entry from a source file
    eaCopy = 1,      // an entry of the existing archive, copied unchanged
    eaDrop = 2,      // neither written nor listed
};

struct TEntryRecord {
    TEntryAction Action = eaCompress;
    uint64_t LocalHeaderOffset = 0;  // in the output, recorded just before the header is written
    uint16_t CompressedHigh = 0;     // high words of 48-bit sizes (files of 4 GiB and more)
    uint16_t UncompressedHigh = 0;
    std::vector<uint8_t> Comment;
    std::vector<uint8_t> Extra;  // for the central directory
};

struct TCompEntry {
    std::string FullPath;    // source file of a new entry
    std::string StoredName;  // name inside the archive (system delimiters, ANSI), computed when added
    size_t RootLength = 0;
    TEntryRecord Record;
    TCentralHeader Central;
    uint64_t SourceSize = 0;         // new entry: file size as scanned
    bool Utf8Name = false;           // new entry: the name goes out in UTF-8 with flag bit 11
    uint64_t OldLocalOffset = 0;     // existing entry: where its local header is in the old archive
    uint64_t OldCompressedSize = 0;  // existing entry: bytes of data behind its local header
    std::vector<uint8_t> RawName;    // existing entry: name bytes as stored
};

struct TCompHeaderObj {
    std::vector<TCompEntry> Entries;
    std::vector<uint8_t> ArchiveComment;

    // Entries that are written and listed.
    size_t CountListed() const {
        size_t n = 0;
        for (const TCompEntry& e : Entries)
            n += e.Record.Action != eaDrop ? 1 : 0;
        return n;
    }
};

}  // namespace archive
