// Forming output paths: the drive and leading-delimiter rules, and the check against leaving the target.
#include "archive/UnZipPaths.h"

#include <algorithm>

#include "platform/Platform.h"

namespace archive {

namespace {
constexpr char kDelim = platform::PathDelim;

bool IsDelim(char c) {
    return c == '/' || c == '\\';
}

// Removes a drive prefix ("C:\" or "C:") or else one leading delimiter.
std::string StripRoot(const std::string& name) {
    if (name.find(':') != std::string::npos) {
        const size_t firstDelim = name.find(kDelim);
        return name.substr(std::min<size_t>(firstDelim == 2 ? 3 : 2, name.size()));
    }
    if (!name.empty() && name[0] == kDelim)
        return name.substr(1);
    return name;
}

// A relative name is safe when none of its components is ".." and no ":" is left in it.
bool StaysInside(const std::string& relative) {
    if (relative.find(':') != std::string::npos)
        return false;
    size_t start = 0;
    while (start <= relative.size()) {
        const size_t end = std::min(relative.find(kDelim, start), relative.size());
        if (relative.compare(start, end - start, "..") == 0 && end - start == 2)
            return false;
        start = end + 1;
    }
    return true;
}
}  // namespace

std::string FolderPart(const std::string& path) {
    const size_t pos = path.find_last_of(kDelim);
    return pos == std::string::npos ? std::string() : path.substr(0, pos + 1);
}

std::string NamePart(const std::string& path) {
    const size_t pos = path.find_last_of(kDelim);
    return pos == std::string::npos ? path : path.substr(pos + 1);
}

std::string WithTrailingDelim(const std::string& folder) {
    if (folder.empty() || folder.back() == kDelim)
        return folder;
    return folder + kDelim;
}

std::string NormalizeExtractDir(const std::string& value, const std::string& archiveFile) {
    if (value.empty())
        return FolderPart(archiveFile);
    std::string dir = value;
    std::replace_if(dir.begin(), dir.end(), IsDelim, kDelim);
    return FolderPart(WithTrailingDelim(dir));
}

std::optional<std::string> OutputPath(const std::string& extractDir, const std::string& name, bool useStoredDirs) {
    const std::string relative = StripRoot(name);
    if (!StaysInside(relative))
        return std::nullopt;
    const std::string folder = useStoredDirs ? WithTrailingDelim(extractDir) + FolderPart(relative) : extractDir;
    return WithTrailingDelim(folder) + NamePart(relative);
}

bool ForceDirectories(const std::string& folder) {
    std::string path = folder;
    while (path.size() > 1 && path.back() == kDelim)
        path.pop_back();
    if (path.empty() || platform::DirectoryExists(path))
        return true;
    const std::string parent = FolderPart(path);
    if (!parent.empty() && parent != path && !ForceDirectories(parent))
        return false;
    return platform::CreateDirectory(path) || platform::DirectoryExists(path);
}

}  // namespace archive
