// File handles over POSIX descriptors: open, create, read, write, seek, truncate, size, times.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/Posix.h"

namespace platform {

namespace {
constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as for any new file
constexpr uint32_t kAccessMask = 0x0003;

int Fd(THandle h) {
    return static_cast<int>(h);
}

// Windows refuses write access to a file whose read-only attribute is set, whoever asks.
bool RefuseWriteToReadOnly(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && posix::IsReadOnly(st);
}

THandle Refuse(int fd) {
    ::close(fd);
    posix::FailWith(kErrorAccessDenied);
    return kInvalidHandle;
}

// A truncating open checks the read-only attribute first; any other open leaves the file as it was, so it
// checks on the open file instead, saving a lookup of the name.
THandle Open(const std::string& path, int flags, bool writes) {
    const bool truncates = (flags & O_TRUNC) != 0;
    if (writes && truncates && RefuseWriteToReadOnly(path)) {
        posix::FailWith(kErrorAccessDenied);
        return kInvalidHandle;
    }
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC, kNewFileMode);
    if (fd < 0) {
        posix::Fail(errno, path);
        return kInvalidHandle;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        if (S_ISDIR(st.st_mode))  // a folder is not a file to Windows
            return Refuse(fd);
        if (writes && !truncates && S_ISREG(st.st_mode) && posix::IsReadOnly(st))
            return Refuse(fd);
    }
    return fd;
}

// A file made by this very call has nothing to refuse.
THandle CreateNew(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (fd < 0)
        posix::Fail(errno, path);
    return fd < 0 ? kInvalidHandle : fd;
}

timespec TimeOrOmit(const TFileTime* ft) {
    if (ft)
        return posix::ToTimespec(*ft);
    timespec ts{};
    ts.tv_nsec = UTIME_OMIT;
    return ts;
}
}  // namespace

// Sharing modes have no POSIX counterpart and are not enforced, as with Wine between host programs.
THandle FileOpen(const std::string& path, uint32_t mode) {
    switch (mode & kAccessMask) {
        case fmOpenRead:
            return Open(path, O_RDONLY, false);
        case fmOpenWrite:
            return Open(path, O_WRONLY, true);
        case fmOpenReadWrite:
            return Open(path, O_RDWR, true);
        default:
            posix::FailWith(kErrorInvalidParameter);
            return kInvalidHandle;
    }
}

THandle FileCreate(const std::string& path) {
    const THandle fresh = CreateNew(path);
    return fresh != kInvalidHandle ? fresh : Open(path, O_RDWR | O_CREAT | O_TRUNC, true);
}

THandle FileCreateNew(const std::string& path) {
    return CreateNew(path);
}

int32_t FileRead(THandle h, void* buffer, uint32_t count) {
    auto* out = static_cast<char*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = ::read(Fd(h), out + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return posix::Fail(errno), -1;
        if (n == 0)
            break;
        done += static_cast<uint32_t>(n);
    }
    return static_cast<int32_t>(done);
}

int32_t FileWrite(THandle h, const void* buffer, uint32_t count) {
    const auto* in = static_cast<const char*>(buffer);
    uint32_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(Fd(h), in + done, count - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return posix::Fail(errno), -1;
        done += static_cast<uint32_t>(n);
    }
    return static_cast<int32_t>(done);
}

int64_t FileSeek(THandle h, int64_t offset, int origin) {
    static constexpr int kWhence[] = {SEEK_SET, SEEK_CUR, SEEK_END};
    if (origin < kSeekBegin || origin > kSeekEnd)
        return posix::FailWith(kErrorInvalidParameter), -1;
    const off_t pos = ::lseek(Fd(h), static_cast<off_t>(offset), kWhence[origin]);
    // Windows names a seek before the start of the file a negative seek.
    if (pos < 0)
        return posix::FailWith(errno == EINVAL ? kErrorNegativeSeek : posix::WindowsError(errno)), -1;
    return pos;
}

bool FileTruncate(THandle h) {
    const off_t pos = ::lseek(Fd(h), 0, SEEK_CUR);
    if (pos < 0 || ::ftruncate(Fd(h), pos) != 0)
        return posix::Fail(errno);
    return true;
}

int64_t FileSize(THandle h) {
    struct stat st {};
    if (::fstat(Fd(h), &st) != 0)
        return posix::Fail(errno), -1;
    return st.st_size;
}

bool FileClose(THandle h) {
    if (::close(Fd(h)) != 0)
        return posix::Fail(errno);
    return true;
}

bool GetFileTimes(THandle h, TFileTime* creation, TFileTime* access, TFileTime* write) {
    struct stat st {};
    if (::fstat(Fd(h), &st) != 0)
        return posix::Fail(errno);
    if (creation)
        *creation = posix::FromTimespec(st.st_ctim);
    if (access)
        *access = posix::FromTimespec(st.st_atim);
    if (write)
        *write = posix::FromTimespec(st.st_mtim);
    return true;
}

// POSIX keeps no settable creation time; it is accepted and ignored, as Wine does on most file systems.
bool SetFileTimes(THandle h, const TFileTime*, const TFileTime* access, const TFileTime* write) {
    const timespec times[2] = {TimeOrOmit(access), TimeOrOmit(write)};
    if (::futimens(Fd(h), times) != 0)
        return posix::Fail(errno);
    return true;
}

bool SetFileTimes(const std::string& path, const TFileTime*, const TFileTime* access, const TFileTime* write) {
    const timespec times[2] = {TimeOrOmit(access), TimeOrOmit(write)};
    if (::utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        return posix::Fail(errno, path);
    return true;
}

}  // namespace platform
