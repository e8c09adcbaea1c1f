// Private folders, resolved paths, flushed files and replacements that survive a crash.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/Paths.h"
#include "platform/WholeFile.h"
#include "platform/posix/Posix.h"

namespace platform {

namespace {
constexpr mode_t kPrivateFolderMode = 0700;  // nobody else may look into or plant files in a run's folder
constexpr int kUniqueTries = 100;            // random names collide only by a rare accident
constexpr uint64_t kMaxPasswdSize = 16 << 20;

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
// The user's home folder from /etc/passwd ("name:password:uid:gid:gecos:home:shell"), read by hand: the C
// library's user lookup would need its own shared modules at run time in a program linked whole.
std::string HomeInPasswd(uid_t uid) {
    std::string text;
    bool tooLarge = false;
    if (!ReadSmallFile("/etc/passwd", kMaxPasswdSize, text, tooLarge))
        return "";
    const std::string wanted = std::to_string(uid);
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        std::vector<std::string> fields;
        for (size_t at = start; at <= end;) {
            const size_t colon = std::min(text.find(':', at), end);
            fields.push_back(text.substr(at, colon - at));
            at = colon + 1;
        }
        start = end + 1;
        if (fields.size() == 7 && fields[2] == wanted)
            return fields[5];
    }
    return "";
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
    const std::string folder = home && *home ? std::string(home) : HomeInPasswd(::getuid());
    return folder.empty() ? folder : folder + "/.config";
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
