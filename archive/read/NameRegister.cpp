// Telling duplicate entry names from names that collide only on disk.
#include "archive/read/NameRegister.h"

#include <algorithm>
#include <cctype>

#include "platform/Platform.h"

namespace archive {

namespace {
// Windows file names ignore letter case; POSIX ones do not.
constexpr bool kCaseBlindFiles = platform::PathDelim == '\\';

std::string FileSystemKey(const std::string& name) {
    std::string key = name;
    if (kCaseBlindFiles)
        std::transform(key.begin(), key.end(), key.begin(), [](unsigned char c) { return std::toupper(c); });
    return key;
}
}  // namespace

std::string TNameRegister::Clash(const std::string& name, bool cut) {
    // Folders that meet are one folder; nothing in them is lost.
    if (!name.empty() && name.back() == platform::PathDelim)
        return {};
    const auto [it, added] = FSeen.try_emplace(FileSystemKey(name), TSeen{name, cut});
    if (added)
        return {};
    if (cut || it->second.Cut)
        return "name cut to 255 bytes meets another entry's name";
    if (it->second.Name != name)
        return "name differs from another entry's name only in letter case";
    return {};
}

}  // namespace archive
