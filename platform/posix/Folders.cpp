// Folders, the current folder, absolute paths, the executable's path and drive readiness.
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/Paths.h"
#include "platform/posix/Posix.h"

namespace platform {

namespace {
constexpr mode_t kNewFolderMode = 0777;  // narrowed by the umask, as for any new folder
}  // namespace

bool CreateDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), kNewFolderMode) == 0)
        return true;
    return errno == EEXIST ? posix::FailWith(kErrorAlreadyExists) : posix::Fail(errno, path);
}

bool RemoveDirectory(const std::string& path) {
    if (::rmdir(path.c_str()) == 0)
        return true;
    // rmdir reports ENOTDIR for a file; Windows names the folder missing instead.
    return errno == ENOTDIR ? posix::FailWith(kErrorDirectory) : posix::Fail(errno, path);
}

bool SetCurrentDirectory(const std::string& path) {
    if (::chdir(path.c_str()) == 0)
        return true;
    return posix::FailWith(errno == ENOENT ? kErrorFileNotFound : posix::WindowsError(errno, path));
}

std::string GetCurrentDirectory() {
    std::vector<char> buffer(256);
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            posix::Fail(errno);
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

// Joins onto the current folder when relative and folds ".", ".." and repeated delimiters.
std::string ExpandFileName(const std::string& path) {
    if (path.empty())
        return {};
    const std::string full = path[0] == '/' ? path : GetCurrentDirectory() + "/" + path;
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= full.size()) {
        size_t next = full.find('/', pos);
        if (next == std::string::npos)
            next = full.size();
        const std::string part = full.substr(pos, next - pos);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        pos = next + 1;
    }
    std::string result;
    for (const auto& part : parts)
        result += "/" + part;
    if (result.empty() || (full.back() == '/' && result != "/"))
        result += "/";
    return result;
}

std::string ExeName() {
    std::vector<char> buffer(4096);
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) {
        posix::Fail(errno);
        return {};
    }
    return std::string(buffer.data(), static_cast<size_t>(n));
}

// The volume is the file system of the nearest existing folder on the path.
TDriveState DriveStateOf(const std::string& path) {
    std::string folder = ExpandFileName(path.empty() ? "." : path);
    struct statvfs vfs {};
    while (::statvfs(folder.c_str(), &vfs) != 0) {
        if (errno != ENOENT && errno != ENOTDIR)
            return dsNotAccessible;
        if (folder == "/")
            return dsNotAccessible;
        folder = FolderOf(folder);
    }
    if (vfs.f_flag & ST_RDONLY)
        return dsWriteProtected;
    return ::access(folder.c_str(), R_OK | X_OK) == 0 ? dsReady : dsNotAccessible;
}

}  // namespace platform
