// Positioned, bounded reads of an archive, with one cached window for the many small record reads.
#include "app/proof/ArchiveFile.h"

#include <algorithm>
#include <cstring>

namespace app::jarcheck {

TCheckFile::TCheckFile(const std::string& path)
    : FFile(platform::FileOpen(path, platform::fmOpenRead | platform::fmShareDenyNone)) {
    if (FFile.Valid())
        FSize = platform::FileSize(FFile.Get());
}

std::vector<uint8_t> TCheckFile::ReadAt(int64_t position, size_t count) {
    std::vector<uint8_t> bytes(count);
    bytes.resize(ReadInto(position, bytes));
    return bytes;
}

size_t TCheckFile::ReadInto(int64_t position, std::span<uint8_t> buffer) {
    if (!Valid() || position < 0 || position >= FSize || buffer.empty())
        return 0;
    const size_t count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(buffer.size()), FSize - position));
    if (count >= kCheckChunk)
        return ReadDirect(position, buffer.first(count));
    const bool inWindow = FWindowStart >= 0 && position >= FWindowStart &&
                          position + static_cast<int64_t>(count) <= FWindowStart + static_cast<int64_t>(FWindow.size());
    if (!inWindow) {
        FWindow.resize(kCheckChunk);
        FWindow.resize(ReadDirect(position, FWindow));
        FWindowStart = position;
    }
    const size_t offset = static_cast<size_t>(position - FWindowStart);
    const size_t got = std::min(count, FWindow.size() - std::min(offset, FWindow.size()));
    if (got > 0)
        std::memcpy(buffer.data(), FWindow.data() + offset, got);
    return got;
}

size_t TCheckFile::ReadDirect(int64_t position, std::span<uint8_t> buffer) {
    if (platform::FileSeek(FFile.Get(), position, platform::kSeekBegin) != position)
        return 0;
    size_t got = 0;
    while (got < buffer.size()) {
        const int32_t n =
            platform::FileRead(FFile.Get(), buffer.data() + got, static_cast<uint32_t>(buffer.size() - got));
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    return got;
}

}  // namespace app::jarcheck
