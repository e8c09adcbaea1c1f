// Private-profile (INI) files read and written with the system's rules, in our own parser.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <vector>

#include "platform/posix/Posix.h"

namespace platform {

namespace {
constexpr const char* kBlanks = " \t";
constexpr const char* kLineEnd = "\r\n";  // INI files keep the Windows line ends both programs read

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(kBlanks);
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(kBlanks) - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char ca = a[i], cb = b[i];
        if (ca >= 'a' && ca <= 'z')
            ca = static_cast<char>(ca - 32);
        if (cb >= 'a' && cb <= 'z')
            cb = static_cast<char>(cb - 32);
        if (ca != cb)
            return false;
    }
    return true;
}

// The name of a "[section]" line, or nothing for any other line.
std::optional<std::string> SectionOf(const std::string& line) {
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] != '[')
        return std::nullopt;
    const size_t close = trimmed.find(']');
    return Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key of a "key=value" line; a line without "=" is a key without a value.
std::string KeyOf(const std::string& line) {
    return Trim(line.substr(0, line.find('=')));
}

std::string ValueOf(const std::string& line) {
    const size_t eq = line.find('=');
    std::string value = eq == std::string::npos ? std::string() : Trim(line.substr(eq + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
        value = value.substr(1, value.size() - 2);
    return value;
}

bool ReadLines(const std::string& file, std::vector<std::string>& lines) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<size_t>(n));
    ::close(fd);
    for (size_t pos = 0; pos < text.size();) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
        pos = end + 1;
    }
    return true;
}

struct TKeyPlace {
    std::optional<size_t> Section;  // index of the section's header line
    std::optional<size_t> Key;      // index of the key's line
    size_t SectionEnd = 0;          // index after the section's last non-blank line
};

TKeyPlace Locate(const std::vector<std::string>& lines, const std::string& section, const std::string& key) {
    TKeyPlace place;
    bool inSection = false;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionOf(lines[i])) {
            if (inSection)
                break;
            inSection = SameName(*name, Trim(section));
            if (inSection)
                place.Section = place.SectionEnd = i, ++place.SectionEnd;
            continue;
        }
        if (!inSection)
            continue;
        if (!Trim(lines[i]).empty())
            place.SectionEnd = i + 1;
        if (!place.Key && SameName(KeyOf(lines[i]), Trim(key)))
            place.Key = i;
    }
    return place;
}

bool WriteLines(const std::string& file, const std::vector<std::string>& lines) {
    struct stat st {};
    if (::stat(file.c_str(), &st) == 0 && posix::IsReadOnly(st))
        return posix::FailWith(kErrorAccessDenied);
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        return posix::Fail(errno, file);
    std::string text;
    for (const auto& line : lines)
        text += line + kLineEnd;
    const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    const int writeErr = errno;
    if (::close(fd) != 0 || !ok)
        return posix::Fail(ok ? errno : writeErr);
    return true;
}
}  // namespace

// Trailing blanks of the default are dropped, as the system drops them.
std::string GetPrivateProfileString(const std::string& section,
                                    const std::string& key,
                                    const std::string& def,
                                    const std::string& file) {
    std::vector<std::string> lines;
    if (ReadLines(file, lines)) {
        const TKeyPlace place = Locate(lines, section, key);
        if (place.Key)
            return ValueOf(lines[*place.Key]);
    }
    const size_t last = def.find_last_not_of(' ');
    return last == std::string::npos ? std::string() : def.substr(0, last + 1);
}

bool WritePrivateProfileString(const std::string& section,
                               const std::string& key,
                               const std::string& value,
                               const std::string& file) {
    std::vector<std::string> lines;
    ReadLines(file, lines);
    const TKeyPlace place = Locate(lines, section, key);
    const std::string entry = Trim(key) + "=" + Trim(value);
    if (place.Key) {
        lines[*place.Key] = entry;
    } else if (place.Section) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(place.SectionEnd), entry);
    } else {
        lines.push_back("[" + Trim(section) + "]");
        lines.push_back(entry);
    }
    return WriteLines(file, lines);
}

}  // namespace platform
