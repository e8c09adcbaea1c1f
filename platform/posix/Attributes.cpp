// File attributes derived from the POSIX file mode and name, as Wine derives them.
#include <cerrno>

#include "platform/posix/Posix.h"

namespace platform {
namespace posix {

namespace {
// Wine hides a name that begins with "." but not the "." and ".." entries themselves.
bool IsHiddenName(const std::string& name) {
    return name.size() > 1 && name[0] == '.' && name != "..";
}
}  // namespace

uint32_t AttributesOf(const struct stat& st, const std::string& name) {
    uint32_t attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
    if (IsReadOnly(st))
        attr |= faReadOnly;
    if (IsHiddenName(name))
        attr |= faHidden;
    return attr;
}

bool IsReadOnly(const struct stat& st) {
    return (st.st_mode & S_IWUSR) == 0;
}

std::string BaseName(const std::string& path) {
    size_t end = path.find_last_not_of('/');
    if (end == std::string::npos)
        return path.empty() ? path : "/";
    size_t start = path.find_last_of('/', end);
    return path.substr(start == std::string::npos ? 0 : start + 1,
                       end - (start == std::string::npos ? 0 : start + 1) + 1);
}

}  // namespace posix

uint32_t GetFileAttributes(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        posix::Fail(errno, path);
        return kInvalidAttributes;
    }
    return posix::AttributesOf(st, posix::BaseName(path));
}

// Only the read-only bit has a POSIX meaning: it clears or restores the write permissions.
bool SetFileAttributes(const std::string& path, uint32_t attr) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return posix::Fail(errno, path);
    mode_t mode = st.st_mode & 07777;
    if (attr & faReadOnly)
        mode &= ~mode_t(S_IWUSR | S_IWGRP | S_IWOTH);
    else if (posix::IsReadOnly(st))
        mode |= S_IWUSR;
    if (mode != (st.st_mode & 07777) && ::chmod(path.c_str(), mode) != 0)
        return posix::Fail(errno, path);
    return true;
}

bool FileExists(const std::string& path) {
    uint32_t attr = GetFileAttributes(path);
    return attr != kInvalidAttributes && (attr & faDirectory) == 0;
}

bool DirectoryExists(const std::string& path) {
    uint32_t attr = GetFileAttributes(path);
    return attr != kInvalidAttributes && (attr & faDirectory) != 0;
}

}  // namespace platform
