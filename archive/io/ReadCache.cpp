// Small reads come from one of two windows, loaded on demand; large ones go straight to the source.
#include "archive/io/ReadCache.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "framework/Exceptions.h"

namespace archive {

namespace {
constexpr int32_t kWindowSize = 64 * 1024;
constexpr int32_t kReadThrough = kWindowSize / 2;  // reads this large gain nothing from a window
}  // namespace

TReadCache::TReadCache(fw::TStream& source) : FSource(source), FSize(source.Size()) {
    for (TWindow& window : FWindows)
        window.Bytes.resize(kWindowSize);
}

int64_t TReadCache::Seek(int64_t offset, fw::TSeekOrigin origin) {
    const int64_t base = origin == fw::soCurrent ? FPosition : origin == fw::soEnd ? FSize : 0;
    // Offsets come from the archive: one that would wrap past either end is refused.
    if (offset < -base || offset > std::numeric_limits<int64_t>::max() - base)
        return -1;
    FPosition = base + offset;
    return FPosition;
}

void TReadCache::SetSize(int64_t) {
    throw fw::EWriteError();
}

int32_t TReadCache::Read(void* buffer, int32_t count) {
    auto* out = static_cast<uint8_t*>(buffer);
    int32_t done = 0;
    while (done < count) {
        TWindow* window = WindowAt(FPosition);
        if (!window && count - done >= kReadThrough)
            return done + ReadThrough(out + done, count - done);
        if (!window) {
            window = &FWindows[1 - FLastUsed];
            if (!Load(*window, FPosition))
                break;
        }
        FLastUsed = static_cast<size_t>(window - FWindows.data());
        const auto offset = static_cast<size_t>(FPosition - window->Start);
        const auto n =
            static_cast<int32_t>(std::min<int64_t>(window->Length - static_cast<int64_t>(offset), count - done));
        std::memcpy(out + done, window->Bytes.data() + offset, static_cast<size_t>(n));
        done += n;
        FPosition += n;
    }
    return done;
}

TReadCache::TWindow* TReadCache::WindowAt(int64_t position) {
    for (TWindow& window : FWindows)
        if (window.Holds(position))
            return &window;
    return nullptr;
}

bool TReadCache::Load(TWindow& window, int64_t position) {
    const bool placed = FSource.Seek(position, fw::soBeginning) == position;
    const int32_t n = placed ? FSource.Read(window.Bytes.data(), kWindowSize) : 0;
    window.Start = position;
    window.Length = std::max(n, 0);
    return n > 0;
}

int32_t TReadCache::ReadThrough(uint8_t* out, int32_t count) {
    if (FSource.Seek(FPosition, fw::soBeginning) != FPosition)
        return 0;
    int32_t done = 0;
    while (done < count) {
        const int32_t n = FSource.Read(out + done, count - done);
        if (n <= 0)
            break;
        done += n;
    }
    FPosition += done;
    return done;
}

}  // namespace archive
