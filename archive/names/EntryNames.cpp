// Output paths (drive and leading-delimiter rules, the check against leaving the target), stored names of
// new entries, and name conversions.
#include "archive/names/EntryNames.h"

#include <algorithm>
#include <cctype>

#include "archive/format/Records.h"
#include "platform/Platform.h"
#include "platform/Utf8Names.h"

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

namespace {

constexpr char kZipDelim = '/';  // the ZIP format's folder separator

// Length of the drive part: "C:" or, for a network path, "\\server\share".
size_t DriveLength(const std::string& path) {
    if (path.size() >= 2 && path[1] == ':')
        return 2;
    const std::string unc(2, platform::PathDelim);
    if (platform::PathDelim != '\\' || path.compare(0, 2, unc) != 0)
        return 0;
    const size_t server = path.find(platform::PathDelim, 2);
    if (server == std::string::npos)
        return path.size();
    const size_t share = path.find(platform::PathDelim, server + 1);
    return share == std::string::npos ? path.size() : share;
}

std::string BelowFolder(const std::string& fullPath, const std::string& folder) {
    return !folder.empty() && StartsWithAsciiText(fullPath, folder) ? fullPath.substr(folder.size()) : fullPath;
}

// The last folder name of a root folder, with its delimiter ("C:\a\b\" -> "b\").
std::string LastFolder(const std::string& root) {
    std::string trimmed = root;
    while (!trimmed.empty() && trimmed.back() == platform::PathDelim)
        trimmed.pop_back();
    const std::string name = NamePart(trimmed.substr(DriveLength(trimmed)));
    return name.empty() ? std::string() : name + platform::PathDelim;
}

}  // namespace

bool StartsWithAsciiText(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

std::string ExtractFileExt(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t delim = path.find_last_of(std::string(1, platform::PathDelim) + ":");
    if (dot == std::string::npos || (delim != std::string::npos && dot < delim))
        return {};
    return path.substr(dot);
}

bool SameAsciiText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && StartsWithAsciiText(a, b);
}

std::string MakeStoredName(const std::string& fullPath,
                           const std::string& root,
                           TStoredDirNames mode,
                           const std::string& defaultDir) {
    switch (mode) {
        case sdNone:
            return NamePart(fullPath);
        case sdAbsolute:
            return fullPath;
        case sdAbsoluteNoDrv:
            return fullPath.substr(DriveLength(fullPath));
        case sdAbsoluteNoRoot: {
            std::string name = fullPath.substr(DriveLength(fullPath));
            while (!name.empty() && name.front() == platform::PathDelim)
                name.erase(0, 1);
            return name;
        }
        case sdRelativeStoreStart:
            return LastFolder(root) + BelowFolder(fullPath, root);
        case sdExplorer_UserDefineDefaultDir:
            return BelowFolder(fullPath, defaultDir);
        case sdRelative:
        case sdExplorer_Auto:
            break;
    }
    return BelowFolder(fullPath, root);
}

std::string ArchiveEntryName(const std::string& storedName, bool translateOem) {
    std::string name = storedName;
    std::replace(name.begin(), name.end(), platform::PathDelim, kZipDelim);
    return translateOem ? platform::AnsiToOem(name) : name;
}

std::string ConvertEntryName(const std::string& raw, bool translateOem) {
    std::string name = translateOem ? platform::OemToAnsi(raw) : raw;
    std::replace_if(
        name.begin(), name.end(), [](char c) { return c == '/' || c == '\\'; }, platform::PathDelim);
    return name;
}

std::optional<std::string> EntryNameFor(const std::string& raw, uint16_t flags, bool translateOem) {
    if (!(flags & kFlagUtf8))
        return ConvertEntryName(raw, translateOem);
    const std::optional<std::string> ansi = platform::Utf8ToAnsi(raw);
    if (!ansi)
        return std::nullopt;
    return ConvertEntryName(*ansi, false);
}

}  // namespace archive
