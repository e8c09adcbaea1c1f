// Find-first/next over a folder: one sorted snapshot per search, "." and ".." first.
#include <dirent.h>
#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/posix/Posix.h"

namespace platform {

namespace {
char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Iterative '*'/'?' match without regard to ASCII case; backtracks only to the last star.
bool Glob(const std::string& name, const std::string& mask) {
    size_t n = 0, m = 0, starMask = std::string::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == '?' || Upper(mask[m]) == Upper(name[n]))) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (starMask != std::string::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*')
        ++m;
    return m == mask.size();
}

// Windows rules on top of the plain match: "*.*" is everything, and "name.*" also takes "name".
bool MatchesMask(const std::string& name, const std::string& mask) {
    if (mask == "*" || mask == "*.*")
        return true;
    if (Glob(name, mask))
        return true;
    const bool dotStar = mask.size() >= 2 && mask.compare(mask.size() - 2, 2, ".*") == 0;
    return dotStar && name.find('.') == std::string::npos && Glob(name, mask.substr(0, mask.size() - 2));
}

// NTFS keeps names in upper-case order; "." and ".." come before everything.
bool ListedBefore(const TFindData& a, const TFindData& b) {
    const bool aDots = a.Name == "." || a.Name == "..", bDots = b.Name == "." || b.Name == "..";
    if (aDots != bDots)
        return aDots;
    const size_t len = std::min(a.Name.size(), b.Name.size());
    for (size_t i = 0; i < len; ++i) {
        const auto ca = static_cast<unsigned char>(Upper(a.Name[i])), cb = static_cast<unsigned char>(Upper(b.Name[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.Name.size() != b.Name.size())
        return a.Name.size() < b.Name.size();
    return a.Name < b.Name;
}

// One statx call gives the type, size and all three times; a dangling link is described as the link.
// The creation time is the birth time where the file system keeps one, else the status-change time, as
// Wine reports it.
bool Describe(int dirFd, const std::string& name, TFindData& data) {
    constexpr unsigned kWanted = STATX_BASIC_STATS | STATX_BTIME;
    struct statx sx {};
    if (::statx(dirFd, name.c_str(), AT_STATX_DONT_SYNC, kWanted, &sx) != 0 &&
        ::statx(dirFd, name.c_str(), AT_STATX_DONT_SYNC | AT_SYMLINK_NOFOLLOW, kWanted, &sx) != 0)
        return false;
    const auto time = [](const statx_timestamp& t) { return posix::FromTimespec(timespec{t.tv_sec, t.tv_nsec}); };
    struct stat st {};
    st.st_mode = sx.stx_mode;
    data.Name = name;
    data.Attr = posix::AttributesOf(st, name);
    data.Size = S_ISDIR(sx.stx_mode) ? 0 : sx.stx_size;
    data.CreationTime = time((sx.stx_mask & STATX_BTIME) ? sx.stx_btime : sx.stx_ctime);
    data.LastAccessTime = time(sx.stx_atime);
    data.LastWriteTime = time(sx.stx_mtime);
    return true;
}

struct TDirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};
}  // namespace

struct TFindHandle::TImpl {
    std::vector<TFindData> Entries;
    size_t NextIndex = 0;
};

TFindHandle::TFindHandle() = default;
TFindHandle::TFindHandle(TFindHandle&& other) noexcept = default;
TFindHandle& TFindHandle::operator=(TFindHandle&& other) noexcept = default;
TFindHandle::~TFindHandle() = default;

bool TFindHandle::First(const std::string& pattern, TFindData& data) {
    Close();
    const size_t slash = pattern.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : pattern.substr(0, slash + 1);
    const std::string mask = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
    if (mask.empty())
        return posix::FailWith(kErrorFileNotFound);
    std::unique_ptr<DIR, TDirCloser> dir(::opendir(folder.c_str()));
    if (!dir)
        return posix::FailWith(errno == ENOENT ? kErrorPathNotFound : posix::WindowsError(errno, folder));
    auto impl = std::make_unique<TImpl>();
    const bool isRoot = folder.find_first_not_of('/') == std::string::npos;
    while (const dirent* entry = ::readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (isRoot && (name == "." || name == ".."))
            continue;
        TFindData found;
        if (MatchesMask(name, mask) && Describe(::dirfd(dir.get()), name, found))
            impl->Entries.push_back(found);
    }
    if (impl->Entries.empty())
        return posix::FailWith(kErrorFileNotFound);
    std::sort(impl->Entries.begin(), impl->Entries.end(), ListedBefore);
    FImpl = std::move(impl);
    return Next(data);
}

bool TFindHandle::Next(TFindData& data) {
    if (!FImpl)
        return posix::FailWith(kErrorInvalidHandle);
    if (FImpl->NextIndex >= FImpl->Entries.size())
        return posix::FailWith(kErrorNoMoreFiles);
    data = FImpl->Entries[FImpl->NextIndex++];
    return true;
}

void TFindHandle::Close() {
    FImpl.reset();
}

bool TFindHandle::IsOpen() const {
    return FImpl != nullptr;
}

}  // namespace platform
