// File handles over CreateFileW with the run-time library's access and sharing modes.
#include "platform/win32/Wide.h"

namespace platform {

using win32::ToHandle;

namespace {
constexpr uint32_t kAccessMask = 0x0003;
constexpr uint32_t kShareShift = 4;

THandle Wrap(HANDLE h) {
    return reinterpret_cast<THandle>(h);
}

const FILETIME* OrNull(const TFileTime* ft, FILETIME& out) {
    if (!ft)
        return nullptr;
    out = win32::ToFiletime(*ft);
    return &out;
}
}  // namespace

THandle FileOpen(const std::string& path, uint32_t mode) {
    static constexpr DWORD kAccess[] = {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE};
    // Compatibility and exclusive share nothing; deny-write shares reading; deny-read shares writing.
    static constexpr DWORD kShare[] = {0, 0, FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE};
    const uint32_t access = mode & kAccessMask, share = (mode >> kShareShift) & 0x0F;
    if (access > 2 || share > 4) {
        ::SetLastError(kErrorInvalidParameter);
        return kInvalidHandle;
    }
    return Wrap(::CreateFileW(win32::Widen(path).c_str(), kAccess[access], kShare[share], nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

THandle FileCreate(const std::string& path) {
    return Wrap(::CreateFileW(win32::Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

THandle FileCreateNew(const std::string& path) {
    return Wrap(::CreateFileW(win32::Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
}

int32_t FileRead(THandle h, void* buffer, uint32_t count) {
    DWORD n = 0;
    return ::ReadFile(ToHandle(h), buffer, count, &n, nullptr) ? static_cast<int32_t>(n) : -1;
}

int32_t FileWrite(THandle h, const void* buffer, uint32_t count) {
    DWORD n = 0;
    return ::WriteFile(ToHandle(h), buffer, count, &n, nullptr) ? static_cast<int32_t>(n) : -1;
}

int64_t FileSeek(THandle h, int64_t offset, int origin) {
    static constexpr DWORD kMethod[] = {FILE_BEGIN, FILE_CURRENT, FILE_END};
    if (origin < kSeekBegin || origin > kSeekEnd) {
        ::SetLastError(kErrorInvalidParameter);
        return -1;
    }
    LARGE_INTEGER distance, position;
    distance.QuadPart = offset;
    if (!::SetFilePointerEx(ToHandle(h), distance, &position, kMethod[origin]))
        return -1;
    return position.QuadPart;
}

bool FileTruncate(THandle h) {
    return ::SetEndOfFile(ToHandle(h)) != 0;
}

int64_t FileSize(THandle h) {
    LARGE_INTEGER size;
    return ::GetFileSizeEx(ToHandle(h), &size) ? size.QuadPart : -1;
}

bool FileClose(THandle h) {
    return ::CloseHandle(ToHandle(h)) != 0;
}

bool GetFileTimes(THandle h, TFileTime* creation, TFileTime* access, TFileTime* write) {
    FILETIME c, a, w;
    if (!::GetFileTime(ToHandle(h), &c, &a, &w))
        return false;
    if (creation)
        *creation = win32::FromFiletime(c);
    if (access)
        *access = win32::FromFiletime(a);
    if (write)
        *write = win32::FromFiletime(w);
    return true;
}

bool SetFileTimes(THandle h, const TFileTime* creation, const TFileTime* access, const TFileTime* write) {
    FILETIME c, a, w;
    return ::SetFileTime(ToHandle(h), OrNull(creation, c), OrNull(access, a), OrNull(write, w)) != 0;
}

}  // namespace platform
