// Stored names of new entries: which part of a source file's path goes into the archive.
#include "archive/StoredName.h"

#include <algorithm>
#include <cctype>

#include "archive/UnZipPaths.h"
#include "platform/Platform.h"

namespace archive {

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
    return !folder.empty() && StartsWithText(fullPath, folder) ? fullPath.substr(folder.size()) : fullPath;
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

bool StartsWithText(const std::string& text, const std::string& prefix) {
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

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && StartsWithText(a, b);
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

}  // namespace archive
