// TReadCache: a read-only view of a stream that answers small reads from two cached windows.
// The reader jumps between the central directory and the local headers, and reads every small entry as
// a header, a name and a few compressed bytes: each of those would be a system call or two.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "framework/Streams.h"

namespace archive {

class TReadCache : public fw::TStream {
public:
    // `source` must outlive the cache and must not change while it is used.
    explicit TReadCache(fw::TStream& source);

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t offset, fw::TSeekOrigin origin) override;
    int64_t Size() override { return FSize; }
    void SetSize(int64_t) override;  // fw::EWriteError: the view is read-only

private:
    struct TWindow {
        std::vector<uint8_t> Bytes;  // allocated once
        int64_t Start = 0;           // file offset of Bytes[0]
        int64_t Length = 0;          // bytes held
        bool Holds(int64_t position) const { return position >= Start && position < Start + Length; }
    };
    TWindow* WindowAt(int64_t position);
    bool Load(TWindow& window, int64_t position);
    int32_t ReadThrough(uint8_t* out, int32_t count);

    fw::TStream& FSource;
    const int64_t FSize;
    int64_t FPosition = 0;
    std::array<TWindow, 2> FWindows;  // one for the directory, one for the entries, as the reader goes
    size_t FLastUsed = 0;
};

}  // namespace archive
