// Classifying an archive file and locating its end record, central directory and archive start offset.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/format/Records.h"
#include "framework/Streams.h"

namespace archive {

enum TArcType { atNA, atZip, atJar, atZipExe, atJarExe, atZipDS, atZipMV };

// What the locating step found, as bits of TArchiveLocation::State.
enum TLocateFlag : uint32_t {
    lfEndRecord = 0x01,
    lfZip64Locator = 0x02,
    lfZip64EndRecord = 0x04,
    lfValidDirectory = 0x08,
    lfValidLocalHeader = 0x10,
    lfLocalWalk = 0x20,  // alone: read the archive by walking its local headers
};

struct TArchiveLocation {
    TArcType ArcType = atNA;
    uint32_t State = 0;
    int64_t Position = 0;           // first central header, or the first local header of a walk
    int64_t StartOffset = 0;        // bytes in front of the archive that its stored offsets do not count
    int64_t EndRecordPosition = 0;  // where the end record starts (with lfEndRecord)
    TEndRecord EndRecord;

    bool LocalWalk() const { return State == lfLocalWalk; }
};

// Files this short are never classified (an end record alone is 22 bytes).
constexpr int64_t kMinArchiveSize = 20;
// Bytes of the file's end searched for the end record, and bytes of its start read for the type.
constexpr int64_t kSearchWindow = 32768;

// Up to `count` bytes at `pos` (fewer at the end of the file, none for a bad position).
std::vector<uint8_t> ReadBytesAt(fw::TStream& file, int64_t pos, int64_t count);

// Types the open file by its bytes alone: atJar when its first entry is the manifest or the manifest's
// folder, atZip for another archive, whatever the file is called.
TArchiveLocation ClassifyArchive(fw::TStream& file);
// The archive comment behind the end record, bytes as stored; empty without an end record. A comment cut
// short by the end of the file gives what is there.
std::string ReadArchiveComment(fw::TStream& file, const TArchiveLocation& loc);
// Steps of the end-record search and directory location on a file of any type.
TArchiveLocation LocateDirectory(fw::TStream& file);

}  // namespace archive
