// The folder part of a path, by the delimiters of the system built for.
#include "platform/Paths.h"

#include <algorithm>

namespace platform {

namespace {
#ifdef _WIN32
constexpr char kDelimiters[] = "\\/";
#else
constexpr char kDelimiters[] = "/";
#endif

// "C:" before a delimiter names a drive, whose root needs the delimiter.
bool IsDrive([[maybe_unused]] const std::string& folder) {
#ifdef _WIN32
    return folder.size() == 2 && folder[1] == ':';
#else
    return false;
#endif
}
}  // namespace

std::string FolderOf(const std::string& path) {
    const size_t nameEnd = path.find_last_not_of(kDelimiters);
    if (nameEnd == std::string::npos)
        return path.empty() ? std::string(".") : path.substr(0, 1);
    if (IsDrive(path.substr(0, nameEnd + 1)))  // a drive's root is its own folder
        return path.substr(0, std::min(nameEnd + 2, path.size()));
    const size_t delimiter = path.find_last_of(kDelimiters, nameEnd);
    if (delimiter == std::string::npos)
        return ".";
    const size_t folderEnd = path.find_last_not_of(kDelimiters, delimiter);
    if (folderEnd == std::string::npos)
        return path.substr(0, 1);
    const std::string folder = path.substr(0, folderEnd + 1);
    return IsDrive(folder) ? path.substr(0, folderEnd + 2) : folder;
}

}  // namespace platform
