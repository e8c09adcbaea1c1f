// Attributes, folders, files by name, temporary names and drive readiness over the Win32 API.
#include <cctype>
#include <vector>

#include "platform/win32/Win.h"

namespace platform {

uint32_t GetFileAttributes(const std::string& path) {
    return ::GetFileAttributesA(path.c_str());
}

bool SetFileAttributes(const std::string& path, uint32_t attr) {
    return ::SetFileAttributesA(path.c_str(), attr) != 0;
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
    return ::CreateDirectoryA(path.c_str(), nullptr) != 0;
}

bool RemoveDirectory(const std::string& path) {
    return ::RemoveDirectoryA(path.c_str()) != 0;
}

bool SetCurrentDirectory(const std::string& path) {
    return ::SetCurrentDirectoryA(path.c_str()) != 0;
}

std::string GetCurrentDirectory() {
    const DWORD size = ::GetCurrentDirectoryA(0, nullptr);
    std::vector<char> buffer(size + 1);
    const DWORD n = ::GetCurrentDirectoryA(static_cast<DWORD>(buffer.size()), buffer.data());
    return std::string(buffer.data(), n < buffer.size() ? n : 0);
}

std::string ExpandFileName(const std::string& path) {
    if (path.empty())
        return {};
    const DWORD size = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
    std::vector<char> buffer(size + 1);
    const DWORD n = ::GetFullPathNameA(path.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
    return std::string(buffer.data(), n < buffer.size() ? n : 0);
}

std::string ExeName() {
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size())
            return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    return ::CopyFileA(from.c_str(), to.c_str(), failIfExists) != 0;
}

bool DeleteFile(const std::string& path) {
    return ::DeleteFileA(path.c_str()) != 0;
}

bool SameVolume(const std::string& a, const std::string& b) {
    const auto drive = [](const std::string& p) { return p.size() >= 2 && p[1] == ':'; };
    return drive(a) && drive(b) &&
           std::tolower(static_cast<unsigned char>(a[0])) == std::tolower(static_cast<unsigned char>(b[0]));
}

bool MoveFile(const std::string& from, const std::string& to) {
    return ::MoveFileA(from.c_str(), to.c_str()) != 0;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
    return ::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED) != 0;
}

std::string GetTempPath() {
    char buffer[MAX_PATH + 1];
    const DWORD n = ::GetTempPathA(sizeof buffer, buffer);
    return std::string(buffer, n < sizeof buffer ? n : 0);
}

std::string GetTempFileName(const std::string& folder, const std::string& prefix) {
    char buffer[MAX_PATH];
    if (::GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, buffer) == 0)
        return {};
    return buffer;
}

bool SetFileTimes(const std::string& path, const TFileTime* creation, const TFileTime* access, const TFileTime* write) {
    // Backup semantics let the same call set a folder's times.
    HANDLE h = ::CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
    char volume[MAX_PATH];
    const std::string full = ExpandFileName(path.empty() ? "." : path);
    if (!::GetVolumePathNameA(full.c_str(), volume, sizeof volume))
        return dsNotAccessible;
    const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    DWORD flags = 0;
    const BOOL ok = ::GetVolumeInformationA(volume, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0);
    ::SetErrorMode(oldMode);
    if (!ok)
        return dsNotAccessible;
    return (flags & FILE_READ_ONLY_VOLUME) ? dsWriteProtected : dsReady;
}

}  // namespace platform
