// Private folders, resolved paths, flushed files and replacements written through to the disk.
#include <atomic>
#include <cstdio>

#include "platform/win32/Wide.h"

namespace platform {

namespace {
constexpr int kUniqueTries = 1000;  // names differ by process, time and a counter: few tries are needed
std::atomic<uint32_t> gCounter{0};
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
}  // namespace

std::string CreateUniqueDirectory(const std::string& parent, const std::string& prefix) {
    std::string base = parent;
    if (!base.empty() && base.back() != '\\' && base.back() != '/')
        base += '\\';
    for (int i = 0; i < kUniqueTries; ++i) {
        char unique[32];
        std::snprintf(unique, sizeof unique, "%lx-%lx-%x", static_cast<unsigned long>(::GetCurrentProcessId()),
                      static_cast<unsigned long>(::GetTickCount()), static_cast<unsigned>(gCounter++));
        const std::string path = base + prefix + unique;
        if (::CreateDirectoryW(win32::Widen(path).c_str(), nullptr))
            return path;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return {};
    }
    return {};
}

// Links on Windows are rare for a jar; the full path is what the job needs.
std::string ResolvePath(const std::string& path) {
    return ExpandFileName(path);
}

bool ReplaceFileDurably(const std::string& from, const std::string& to) {
    return ::MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool MoveFileDurably(const std::string& from, const std::string& to) {
    return ::MoveFileExW(win32::Widen(from).c_str(), win32::Widen(to).c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

std::string UserConfigFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = ::GetEnvironmentVariableW(L"APPDATA", buffer, MAX_PATH + 1);
    return n > 0 && n < MAX_PATH + 1 ? win32::Narrow(std::wstring(buffer, n)) : std::string();
}

bool FileFlush(THandle h) {
    return ::FlushFileBuffers(win32::ToHandle(h)) != 0;
}

// Only the bits a user sets are taken over; read-only files are never replaced.
bool CopyPermissions(const std::string& model, THandle h) {
    const DWORD attr = ::GetFileAttributesW(win32::Widen(model).c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
        return false;
    FILE_BASIC_INFO info{};
    if ((attr & kKeptAttributes) == 0)
        return true;
    if (!::GetFileInformationByHandleEx(win32::ToHandle(h), FileBasicInfo, &info, sizeof info))
        return false;
    if ((info.FileAttributes & kKeptAttributes) == (attr & kKeptAttributes))
        return true;  // a new file is already marked for archiving, as most models are
    info.FileAttributes = (info.FileAttributes & ~kKeptAttributes) | (attr & kKeptAttributes);
    return ::SetFileInformationByHandle(win32::ToHandle(h), FileBasicInfo, &info, sizeof info) != 0;
}

}  // namespace platform
