// The one owner of an open file handle: it closes the handle once, when asked or when it goes.
#pragma once

#include <cstdint>
#include <utility>

#include "platform/Platform.h"

namespace platform {

// Move-only; Get() names the raw handle where a platform call needs it, and nothing converts implicitly.
class TFileHandle {
public:
    TFileHandle() noexcept = default;
    explicit TFileHandle(THandle handle) noexcept : FHandle(handle) {}
    TFileHandle(const TFileHandle&) = delete;
    TFileHandle& operator=(const TFileHandle&) = delete;
    TFileHandle(TFileHandle&& other) noexcept : FHandle(other.Release()) {}
    TFileHandle& operator=(TFileHandle&& other) noexcept {
        if (this != &other) {
            Drop();
            FHandle = other.Release();
        }
        return *this;
    }
    // Swallows a failed close, and keeps the error code of whatever failed before it for the caller to read.
    ~TFileHandle() { Drop(); }

    bool Valid() const noexcept { return FHandle != kInvalidHandle; }
    THandle Get() const noexcept { return FHandle; }
    // The handle, no longer owned; the owner is empty after.
    THandle Release() noexcept { return std::exchange(FHandle, kInvalidHandle); }
    // Closes once; false with LastError() when the close itself failed (data the system still held could not be
    // written). True when nothing is open.
    bool Close() noexcept { return !Valid() || FileClose(Release()); }

private:
    void Drop() noexcept {
        if (!Valid())
            return;
        const uint32_t error = LastError();
        FileClose(Release());
        SetLastError(error);
    }

    THandle FHandle = kInvalidHandle;
};

}  // namespace platform
