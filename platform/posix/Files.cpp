// Files by name: copy, delete, move, replace, the temporary folder and unique temporary names.
#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/Paths.h"
#include "platform/posix/Posix.h"

namespace platform {

namespace {
constexpr size_t kCopyChunk = 64 * 1024;      // a copy moves the data in bounded pieces
constexpr uint32_t kTempNameRange = 0x10000;  // unique names take four hex digits
constexpr size_t kTempPrefixLength = 3;       // only the first three prefix characters are used
constexpr mode_t kNewFileModeForTemp = 0666;  // narrowed by the umask

class TFd {
public:
    explicit TFd(int fd) : FFd(fd) {}
    ~TFd() {
        if (FFd >= 0)
            ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    bool Close() {
        const int fd = FFd;
        FFd = -1;
        return ::close(fd) == 0;
    }

private:
    int FFd;
};

bool CopyData(int from, int to) {
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        const ssize_t n = ::read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(to, buffer.data() + done, static_cast<size_t>(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0)
                return false;
            done += w;
        }
    }
}

bool SameFile(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Moves by copying and deleting when a rename cannot cross file systems.
bool MoveAcrossVolumes(const std::string& from, const std::string& to) {
    return CopyFile(from, to, false) && DeleteFile(from);
}
}  // namespace

// The copy keeps the source's last-write time and read-only attribute, as Windows does.
bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
    TFd source(::open(from.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat srcStat {};
    if (source.Get() < 0)
        return posix::Fail(errno, from);
    if (::fstat(source.Get(), &srcStat) != 0)
        return posix::Fail(errno, from);
    if (S_ISDIR(srcStat.st_mode))
        return posix::FailWith(kErrorAccessDenied);
    struct stat dstStat {};
    if (::stat(to.c_str(), &dstStat) == 0) {
        if (failIfExists)
            return posix::FailWith(kErrorFileExists);
        if (SameFile(srcStat, dstStat))
            return posix::FailWith(kErrorSharingViolation);
        if (S_ISDIR(dstStat.st_mode) || posix::IsReadOnly(dstStat))
            return posix::FailWith(kErrorAccessDenied);
    }
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (failIfExists ? O_EXCL : O_TRUNC);
    TFd target(::open(to.c_str(), flags, srcStat.st_mode & 0777));
    if (target.Get() < 0)
        return posix::Fail(errno, to);
    if (!CopyData(source.Get(), target.Get()))
        return posix::Fail(errno);
    const timespec times[2] = {srcStat.st_atim, srcStat.st_mtim};
    ::futimens(target.Get(), times);
    ::fchmod(target.Get(), srcStat.st_mode & 07777);
    if (!target.Close())
        return posix::Fail(errno);
    return true;
}

bool DeleteFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return posix::Fail(errno, path);
    if (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && posix::IsReadOnly(st)))
        return posix::FailWith(kErrorAccessDenied);
    if (::unlink(path.c_str()) != 0)
        return posix::Fail(errno, path);
    return true;
}

bool MoveFile(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EINVAL || errno == ENOSYS) {  // file systems without the no-replace flag
        struct stat st {};
        if (::lstat(to.c_str(), &st) == 0)
            return posix::FailWith(kErrorAlreadyExists);
        if (::rename(from.c_str(), to.c_str()) == 0)
            return true;
    }
    if (errno == EEXIST)
        return posix::FailWith(kErrorAlreadyExists);
    if (errno == EXDEV)
        return FileExists(to) ? posix::FailWith(kErrorAlreadyExists) : MoveAcrossVolumes(from, to);
    return posix::Fail(errno, errno == ENOENT && ::access(from.c_str(), F_OK) == 0 ? to : from);
}

bool ReplaceFile(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::stat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode) && posix::IsReadOnly(st))
        return posix::FailWith(kErrorAccessDenied);
    if (::rename(from.c_str(), to.c_str()) == 0)
        return true;
    if (errno == EXDEV)
        return MoveAcrossVolumes(from, to);
    return posix::Fail(errno, errno == ENOENT && ::access(from.c_str(), F_OK) == 0 ? to : from);
}

bool SameVolume(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    return ::stat(FolderOf(a).c_str(), &sa) == 0 && ::stat(FolderOf(b).c_str(), &sb) == 0 && sa.st_dev == sb.st_dev;
}

std::string GetTempPath() {
    const char* env = std::getenv("TMPDIR");
    std::string path = env && *env ? env : "/tmp";
    if (path.back() != '/')
        path += '/';
    return path;
}

// Tries names from a start that differs between calls until one can be created exclusively.
std::string GetTempFileName(const std::string& folder, const std::string& prefix) {
    std::string base = folder.empty() ? "." : folder;
    if (base.back() != '/')
        base += '/';
    base += prefix.substr(0, kTempPrefixLength);
    const uint32_t start = GetTickCount() % kTempNameRange;
    for (uint32_t i = 0; i < kTempNameRange; ++i) {
        const uint32_t unique = (start + i) % kTempNameRange;
        if (unique == 0)
            continue;  // zero asks the system for a name; it is never used as one
        char hex[8];
        std::snprintf(hex, sizeof hex, "%X", unique);
        const std::string path = base + hex + ".tmp";
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileModeForTemp);
        if (fd >= 0) {
            ::close(fd);
            return path;
        }
        if (errno != EEXIST) {
            posix::Fail(errno, path);
            return {};
        }
    }
    posix::FailWith(kErrorFileExists);
    return {};
}

}  // namespace platform
