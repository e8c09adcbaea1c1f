// Private folders, resolved paths, flushed files and replacements that survive a crash.
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "platform/Paths.h"
#include "platform/posix/Posix.h"

namespace platform {

namespace {
constexpr mode_t kPrivateFolderMode = 0700;  // nobody else may look into or plant files in a run's folder
constexpr int kUniqueTries = 100;            // random names collide only by a rare accident

// A random 64-bit number from the kernel; time and process id only if that fails.
uint64_t RandomNumber() {
    uint64_t value = 0;
    const int fd = ::open("/dev/urandom", O_RDONLY | O_CLOEXEC);
    if (fd >= 0) {
        const ssize_t n = ::read(fd, &value, sizeof value);
        ::close(fd);
        if (n == static_cast<ssize_t>(sizeof value))
            return value;
    }
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return (static_cast<uint64_t>(now.tv_nsec) << 20) ^ static_cast<uint64_t>(now.tv_sec) ^
           (static_cast<uint64_t>(::getpid()) << 40);
}

bool SyncFolderOf(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return posix::Fail(errno, path);
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL;  // some file systems cannot sync a folder
    const int err = errno;
    ::close(fd);
    return ok || posix::Fail(err, path);
}
}  // namespace

std::string CreateUniqueDirectory(const std::string& parent, const std::string& prefix) {
    std::string base = parent.empty() ? "." : parent;
    if (base.back() != '/')
        base += '/';
    for (int i = 0; i < kUniqueTries; ++i) {
        char unique[20];
        std::snprintf(unique, sizeof unique, "%012llx", static_cast<unsigned long long>(RandomNumber() >> 16));
        const std::string path = base + prefix + unique;
        if (::mkdir(path.c_str(), kPrivateFolderMode) == 0)
            return path;
        if (errno != EEXIST) {
            posix::Fail(errno, path);
            return {};
        }
    }
    posix::FailWith(kErrorAlreadyExists);
    return {};
}

std::string ResolvePath(const std::string& path) {
    char resolved[PATH_MAX];
    if (!path.empty() && ::realpath(path.c_str(), resolved))
        return resolved;
    return ExpandFileName(path);
}

bool ReplaceFileDurably(const std::string& from, const std::string& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        return posix::Fail(errno, to);
    return SyncFolderOf(to);
}

bool MoveFileDurably(const std::string& from, const std::string& to) {
    return MoveFile(from, to) && SyncFolderOf(to);
}

std::string UserConfigFolder() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/')  // the base directory rules ignore a relative value
        return xdg;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::getuid());
        home = user ? user->pw_dir : nullptr;
    }
    return home && *home ? std::string(home) + "/.config" : std::string();
}

bool FileFlush(THandle h) {
    return ::fsync(static_cast<int>(h)) == 0 || posix::Fail(errno);
}

bool CopyPermissions(const std::string& model, THandle h) {
    struct stat st {};
    if (::stat(model.c_str(), &st) != 0)
        return posix::Fail(errno, model);
    const int fd = static_cast<int>(h);
    // The owner first: changing it may clear set-id bits, which the mode then puts back.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 && errno == EPERM)
        ::fchown(fd, static_cast<uid_t>(-1), st.st_gid);  // a member of the group may still keep it
    return ::fchmod(fd, st.st_mode & 07777) == 0 || posix::Fail(errno, model);
}

}  // namespace platform
