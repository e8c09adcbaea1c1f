// Read-only access to an archive for the rebuilt-jar check: positioned reads that never go past the file's end.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/FileHandle.h"

namespace app::jarcheck {

// Bytes read per file access: directory records are served from one window of this size, entry data moves
// through buffers of it.
constexpr size_t kCheckChunk = 32 * 1024;

class TCheckFile {
public:
    explicit TCheckFile(const std::string& path);

    bool Valid() const { return FFile.Valid() && FSize >= 0; }
    int64_t Size() const { return FSize; }
    // Up to `count` bytes at `position`: fewer at the file's end or after a failed read, none outside the file.
    std::vector<uint8_t> ReadAt(int64_t position, size_t count);
    // Fills as much of `buffer` as the file holds at `position`; returns the bytes filled.
    size_t ReadInto(int64_t position, std::span<uint8_t> buffer);

private:
    size_t ReadDirect(int64_t position, std::span<uint8_t> buffer);

    platform::TFileHandle FFile;
    int64_t FSize = -1;
    // Small reads (headers, names) come from this copy of the file's bytes at FWindowStart.
    std::vector<uint8_t> FWindow;
    int64_t FWindowStart = -1;
};

}  // namespace app::jarcheck
