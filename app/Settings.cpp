// Reading and writing the backup setting through the private-profile functions.
#include "app/Settings.h"

#include <cctype>

#include "framework/Exceptions.h"
#include "platform/Platform.h"

namespace app {

namespace {
const char kSection[] = "Grandvue";
const char kKey[] = "Backup";

std::optional<long long> ParseDigits(const std::string& digits, int base) {
    if (digits.empty()) return std::nullopt;
    constexpr long long kLimit = 0xFFFFFFFFLL;  // a 32-bit value: larger numbers are not numbers here
    long long value = 0;
    for (char c : digits) {
        const int d = std::isdigit(static_cast<unsigned char>(c))    ? c - '0'
                      : std::isxdigit(static_cast<unsigned char>(c)) ? std::toupper(c) - 'A' + 10
                                                                      : 99;
        if (d >= base) return std::nullopt;
        value = value * base + d;
        if (value > kLimit) return std::nullopt;
    }
    return value;
}
}  // namespace

std::string ExeFolder() {
    const std::string exe = platform::ExeName();
    const auto slash = exe.find_last_of(platform::PathDelim);
    return slash == std::string::npos ? std::string() : exe.substr(0, slash);
}

std::string SettingsPath() {
    const std::string exe = platform::ExeName();
    const auto slash = exe.find_last_of(platform::PathDelim);
    const auto dot = exe.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? exe.substr(0, dot) : exe) + ".ini";
}

std::optional<long long> ParseProfileInteger(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto v = ParseDigits(text.substr(2), 16);
        if (!v) return std::nullopt;
        return static_cast<long long>(static_cast<int32_t>(static_cast<uint32_t>(*v)));
    }
    const bool negative = !text.empty() && text[0] == '-';
    const size_t start = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    const auto v = ParseDigits(text.substr(start), 10);
    if (!v || *v > 0x7FFFFFFFLL + (negative ? 1 : 0)) return std::nullopt;
    return negative ? -*v : *v;
}

bool ReadBackupSetting(const std::string& iniPath) {
    const std::string text = platform::GetPrivateProfileString(kSection, kKey, "", iniPath);
    const auto value = ParseProfileInteger(text);
    return value.value_or(0) != 0;
}

void WriteBackupSetting(const std::string& iniPath, bool backup) {
    if (!platform::WritePrivateProfileString(kSection, kKey, backup ? "1" : "0", iniPath))
        throw fw::Exception("Unable to write to " + iniPath);
}

}  // namespace app
