// The .jad update's file steps: the platform layer where it serves, small per-system parts for flush and rename.
#include "app/jad/JadFile.h"

#include <utility>

#include "platform/Platform.h"

#ifdef _WIN32
#include "platform/win32/Win.h"
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/posix/Posix.h"
#endif

namespace app {

namespace {
constexpr char kTempPrefix[] = "gvj";
#ifdef _WIN32
constexpr char kDelimiters[] = "\\/";
// The attribute bits a replacement takes over; read-only files are never replaced.
constexpr DWORD kKeptAttributes =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
#else
constexpr char kDelimiters[] = "/";
#endif

// Closes the handle on every way out.
class TFile {
public:
    explicit TFile(platform::THandle h) : FHandle(h) {}
    ~TFile() {
        if (Valid())
            platform::FileClose(FHandle);
    }
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;
    bool Valid() const { return FHandle != platform::kInvalidHandle; }
    platform::THandle Get() const { return FHandle; }
    bool Close() { return platform::FileClose(std::exchange(FHandle, platform::kInvalidHandle)); }

private:
    platform::THandle FHandle;
};

// The folder part of `path` with its delimiter, so "C:\x.jad" gives "C:\" and not the drive's current folder.
std::string FolderOf(const std::string& path) {
    const size_t start = NameStart(path);
    return start == 0 ? std::string(".") : path.substr(0, start);
}

bool WriteAll(platform::THandle h, const std::string& data) {
    const int32_t written = platform::FileWrite(h, data.data(), static_cast<uint32_t>(data.size()));
    if (written >= 0 && static_cast<size_t>(written) < data.size())
        platform::SetLastError(platform::kErrorDiskFull);
    return written >= 0 && static_cast<size_t>(written) == data.size();
}

#ifdef _WIN32
bool Flush(platform::THandle h) {
    return ::FlushFileBuffers(reinterpret_cast<HANDLE>(h)) != 0;
}

bool KeepPermissions(platform::THandle /*h*/, const std::string& temp, const std::string& model) {
    const DWORD attr = ::GetFileAttributesA(model.c_str());
    return attr == INVALID_FILE_ATTRIBUTES || (attr & kKeptAttributes) == 0 ||
           ::SetFileAttributesA(temp.c_str(), attr & kKeptAttributes) != 0;
}

bool MoveInPlace(const std::string& from, const std::string& to, bool replace) {
    const DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    return ::MoveFileExA(from.c_str(), to.c_str(), flags) != 0;
}
#else
bool Flush(platform::THandle h) {
    return ::fsync(static_cast<int>(h)) == 0 || platform::posix::Fail(errno);
}

bool KeepPermissions(platform::THandle h, const std::string& /*temp*/, const std::string& model) {
    struct stat st {};
    if (::stat(model.c_str(), &st) != 0)
        return true;  // nothing to copy from: the new file keeps the umask's bits
    return ::fchmod(static_cast<int>(h), st.st_mode & 07777) == 0 || platform::posix::Fail(errno);
}

// The rename itself reaches the disk only with its folder.
void SyncFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

// Without `replace` the kernel refuses an existing target; file systems that lack that check get ours.
bool Rename(const std::string& from, const std::string& to, bool replace) {
    if (replace)
        return ::rename(from.c_str(), to.c_str()) == 0;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool MoveInPlace(const std::string& from, const std::string& to, bool replace) {
    if (!Rename(from, to, replace))
        return platform::posix::Fail(errno, to);
    SyncFolder(to);
    return true;
}
#endif

bool WriteAndFlush(const std::string& temp, const std::string& data, const std::string& model) {
    TFile file(platform::FileOpen(temp, platform::fmOpenWrite | platform::fmShareExclusive));
    if (!file.Valid() || !WriteAll(file.Get(), data) || !KeepPermissions(file.Get(), temp, model) || !Flush(file.Get()))
        return false;
    return file.Close();
}
}  // namespace

size_t NameStart(const std::string& path) {
    const size_t delimiter = path.find_last_of(kDelimiters);
    return delimiter == std::string::npos ? 0 : delimiter + 1;
}

TEntryKind EntryKindOf(const std::string& path) {
#ifdef _WIN32
    const DWORD attr = ::GetFileAttributesA(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES)
        return TEntryKind::ekMissing;
    return attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT) ? TEntryKind::ekOther : TEntryKind::ekFile;
#else
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return TEntryKind::ekMissing;
    return S_ISREG(st.st_mode) ? TEntryKind::ekFile : TEntryKind::ekOther;
#endif
}

bool ReadSmallFile(const std::string& path, uint64_t maxSize, std::string& data, bool& tooLarge) {
    tooLarge = false;
    TFile file(platform::FileOpen(path, platform::fmOpenRead | platform::fmShareDenyWrite));
    if (!file.Valid())
        return false;
    const int64_t size = platform::FileSize(file.Get());
    if (size < 0)
        return false;
    if (static_cast<uint64_t>(size) > maxSize) {
        tooLarge = true;
        return false;
    }
    data.resize(static_cast<size_t>(size));
    const int32_t read = platform::FileRead(file.Get(), data.data(), static_cast<uint32_t>(size));
    if (read < 0)
        return false;
    data.resize(static_cast<size_t>(read));
    return true;
}

bool WriteFileDurably(const std::string& path, const std::string& data, const std::string& model, bool replace) {
    const std::string temp = platform::GetTempFileName(FolderOf(path), kTempPrefix);
    if (temp.empty())
        return false;
    if (WriteAndFlush(temp, data, model) && MoveInPlace(temp, path, replace))
        return true;
    const uint32_t error = platform::LastError();
    platform::DeleteFile(temp);
    platform::SetLastError(error);
    return false;
}

}  // namespace app
