// Attributes, folders, files by name, temporary names and drive readiness over the wide Win32 API.
#include <algorithm>
#include <cctype>
#include <vector>

#include "platform/win32/Wide.h"

namespace platform {

using win32::Narrow;
using win32::Widen;

namespace {
// Calls `get(size, buffer)` (a wide API that answers the length it needs) until the answer fits.
template <typename Get>
std::string GrowingAnswer(Get get) {
    std::vector<wchar_t> buffer(MAX_PATH + 1);
    for (;;) {
        const DWORD n = get(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n == 0)
            return {};
        if (n < buffer.size())
            return Narrow(std::wstring(buffer.data(), n));
        buffer.resize(std::max<size_t>(n + 1, buffer.size() * 2));
    }
}
}  // namespace

uint32_t GetFileAttributes(const std::string& path) {
    return ::GetFileAttributesW(Widen(path).c_str());
}

bool SetFileAttributes(const std::string& path, uint32_t attr) {
    return ::SetFileAttributesW(Widen(path).c_str(), attr) != 0;
}

bool FileExists(const std::string& path) {
    const uint32_t attr = GetFileAttributes(path);
    return attr != kInvalidAttributes && (attr & faDirectory) == 0;
}

bool DirectoryExists(const std::string& path) {
    const uint32_t attr = GetFileAttributes(path);
    return attr != kInvalidAttributes && (attr & faDirectory) != 0;
}

bool CreateDirectory(const std::string& path) {
    return ::CreateDirectoryW(Widen(path).c_str(), nullptr) != 0;
}

bool RemoveDirectory(const std::string& path) {
    return ::RemoveDirectoryW(Widen(path).c_str()) != 0;
}

bool SetCurrentDirectory(const std::string& path) {
    return ::SetCurrentDirectoryW(Widen(path).c_str()) != 0;
}

std::string GetCurrentDirectory() {
    return GrowingAnswer([](DWORD size, wchar_t* buffer) { return ::GetCurrentDirectoryW(size, buffer); });
}

std::string ExpandFileName(const std::string& path) {
    if (path.empty())
        return {};
    const std::wstring wide = Widen(path);
    return GrowingAnswer(
        [&](DWORD size, wchar_t* buffer) { return ::GetFullPathNameW(wide.c_str(), size, buffer, nullptr); });
}

std::string ExeName() {
    // The module name is cut short, not measured, when the buffer is too small: a full buffer asks for more.
    return GrowingAnswer([](DWORD size, wchar_t* buffer) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer, size);
        return n == size ? size + 1 : n;
    });
}

bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return ::CopyFileW(Widen(from).c_str(), Widen(to).c_str(), failIfExists) != 0;
}

bool DeleteFile(const std::string& path) {
    return ::DeleteFileW(Widen(path).c_str()) != 0;
}

bool SameVolume(const std::string& a, const std::string& b) {
    const auto drive = [](const std::string& p) { return p.size() >= 2 && p[1] == ':'; };
    return drive(a) && drive(b) &&
           std::tolower(static_cast<unsigned char>(a[0])) == std::tolower(static_cast<unsigned char>(b[0]));
}

bool MoveFile(const std::string& from, const std::string& to) {
    return ::MoveFileW(Widen(from).c_str(), Widen(to).c_str()) != 0;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
    return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) !=
           0;
}

std::string GetTempPath() {
    return GrowingAnswer([](DWORD size, wchar_t* buffer) { return ::GetTempPathW(size, buffer); });
}

std::string GetTempFileName(const std::string& folder, const std::string& prefix) {
    wchar_t buffer[MAX_PATH];
    if (::GetTempFileNameW(Widen(folder).c_str(), Widen(prefix).c_str(), 0, buffer) == 0)
        return {};
    return Narrow(buffer);
}

bool SetFileTimes(const std::string& path, const TFileTime* creation, const TFileTime* access, const TFileTime* write) {
    // Backup semantics let the same call set a folder's times.
    HANDLE h = ::CreateFileW(Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = SetFileTimes(reinterpret_cast<THandle>(h), creation, access, write);
    const DWORD err = ::GetLastError();
    ::CloseHandle(h);
    ::SetLastError(err);
    return ok;
}

// The volume holding the path: unreadable when it answers no volume query, write-protected when it says so.
TDriveState DriveStateOf(const std::string& path) {
    wchar_t volume[MAX_PATH];
    const std::wstring full = Widen(ExpandFileName(path.empty() ? "." : path));
    if (!::GetVolumePathNameW(full.c_str(), volume, MAX_PATH))
        return dsNotAccessible;
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD flags = 0;
    const BOOL ok = ::GetVolumeInformationW(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0);
    ::SetErrorMode(oldMode);
    if (!ok)
        return dsNotAccessible;
    return (flags & FILE_READ_ONLY_VOLUME) ? dsWriteProtected : dsReady;
}

}  // namespace platform
