// The engine's file streams: 64-bit positions, no exception on a failed open, optional read progress.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "framework/Streams.h"
#include "platform/FileHandle.h"
#include "platform/Platform.h"

namespace archive {

// Base of the engine's streams; a read can lower a remaining-bytes counter and notify its owner.
class TStream32 : public fw::TStream {
public:
    void SetProgress(std::function<void()> notify, int64_t* remaining) {
        FNotify = std::move(notify);
        FRemaining = remaining;
    }

protected:
    void NotifyRead(int32_t requested);

private:
    std::function<void()> FNotify;
    int64_t* FRemaining = nullptr;
};

// A stream over a handle it does not own. Only this stream moves the handle's file position, so it keeps
// the position itself: the engine asks for it around every header and chunk, and each question would
// otherwise be a system call.
class THandleStream32 : public TStream32 {
public:
    explicit THandleStream32(platform::THandle handle) : FHandle(handle) {}
    platform::THandle Handle() const { return FHandle; }
    bool Valid() const { return FHandle != platform::kInvalidHandle; }

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, fw::TSeekOrigin origin) override;
    int64_t Size() override;
    void SetSize(int64_t newSize) override;  // fw::EWriteError on failure

protected:
    // Called when the position cannot be known: a new or closed handle, a failed read or write.
    void ForgetPosition() { FPosition = kUnknownPosition; }

    platform::THandle FHandle;

private:
    static constexpr int64_t kUnknownPosition = -1;
    int64_t FPosition = kUnknownPosition;
};

// A file opened (platform::fmOpen* | fmShare*) or created (platform::fmCreate) by name and closed when freed.
// A failed open leaves an invalid handle; callers test Valid().
class TFileStream32 : public THandleStream32 {
public:
    TFileStream32(const std::string& fileName, uint32_t mode);
    // Closes now; false when closing failed. Idempotent.
    bool Close();

private:
    static platform::THandle Open(const std::string& fileName, uint32_t mode);

    platform::TFileHandle FFile;  // the handle the stream works on, closed when the stream goes
};

}  // namespace archive
