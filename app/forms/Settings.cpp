// Reading and writing the backup setting through the private-profile functions.
#include "app/forms/Settings.h"

#include <atomic>
#include <cctype>

#include "app/job/SafeFiles.h"
#include "app/job/WorkFolder.h"
#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "platform/FileHandle.h"
#include "platform/Paths.h"
#include "platform/Platform.h"
#include "platform/WholeFile.h"
#include "platform/WriteBeside.h"

namespace app {

namespace {
const char kSection[] = "Grandvue";
// Far above any settings file of ours; a larger file at that name is not ours to rewrite.
constexpr uint64_t kMaxIniSize = 1 << 20;
const char kKey[] = "Backup";
const char kTempPrefix[] = "gvs";
#ifndef _WIN32
const char kConfigFolder[] = "grandvue";
const char kConfigName[] = "grandvue.ini";
#else
const char kConfigFolder[] = "Grandvue";
#endif

std::atomic<bool> gToldOnce{false};

void TellOnce(const std::exception& error) {
    if (!gToldOnce.exchange(true))
        fw::Application().HandleException(error);
}

std::string BesideProgram() {
    const std::string exe = platform::ExeName();
    const auto slash = exe.find_last_of(platform::PathDelim);
    const auto dot = exe.find_last_of('.');
    const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? exe.substr(0, dot) : exe) + ".ini";
}

void MakeFolders(const std::string& folder) {
    if (platform::DirectoryExists(folder))
        return;
    const std::string parent = platform::FolderOf(folder);
    if (parent != folder)
        MakeFolders(parent);
    platform::CreateDirectory(folder);
}

#ifndef _WIN32
// The profile writer ends lines as Windows does; a Linux configuration file ends them with LF alone.
bool UseLinuxLineEnds(const std::string& path) {
    std::string text;
    bool tooLarge = false;
    if (!platform::ReadSmallFile(path, kMaxIniSize, text, tooLarge))
        return false;
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at))
        text.erase(at, 1);
    platform::TFileHandle out(platform::FileCreate(path));
    return platform::WriteAll(out.Get(), text) && out.Close();
}
#else
bool UseLinuxLineEnds(const std::string&) {
    return true;
}
#endif

// The whole file rewritten beside itself and renamed into place: the old one stays until the new is complete.
bool WriteThroughTemporary(const std::string& iniPath, const std::string& value) {
    MakeFolders(platform::FolderOf(iniPath));
    const auto write = [&iniPath, &value](platform::TBesideFile& file) {
        return (!platform::FileExists(iniPath) || platform::CopyFile(iniPath, file.Path(), false)) &&
               platform::WritePrivateProfileString(kSection, kKey, value, file.Path()) && UseLinuxLineEnds(file.Path());
    };
    return platform::WriteBeside(iniPath, write, {.Prefix = kTempPrefix});
}

std::optional<long long> ParseDigits(const std::string& digits, int base) {
    if (digits.empty())
        return std::nullopt;
    constexpr long long kLimit = 0xFFFFFFFFLL;  // a 32-bit value: larger numbers are not numbers here
    long long value = 0;
    for (char c : digits) {
        const int d = std::isdigit(static_cast<unsigned char>(c))    ? c - '0'
                      : std::isxdigit(static_cast<unsigned char>(c)) ? std::toupper(c) - 'A' + 10
                                                                     : 99;
        if (d >= base)
            return std::nullopt;
        value = value * base + d;
        if (value > kLimit)
            return std::nullopt;
    }
    return value;
}
}  // namespace

std::string SettingsPath() {
    const std::string config = platform::UserConfigFolder();
#ifndef _WIN32
    if (config.empty())
        return BesideProgram();
    return config + platform::PathDelim + kConfigFolder + platform::PathDelim + kConfigName;
#else
    uint32_t error = 0;
    const std::string beside = BesideProgram();
    if (config.empty() || FolderWritable(ExeFolder(), error))
        return beside;
    return config + platform::PathDelim + kConfigFolder + beside.substr(beside.find_last_of(platform::PathDelim));
#endif
}

std::optional<long long> ParseProfileInteger(const std::string& text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        const auto v = ParseDigits(text.substr(2), 16);
        if (!v)
            return std::nullopt;
        return static_cast<long long>(static_cast<int32_t>(static_cast<uint32_t>(*v)));
    }
    const bool negative = !text.empty() && text[0] == '-';
    const size_t start = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    const auto v = ParseDigits(text.substr(start), 10);
    if (!v || *v > 0x7FFFFFFFLL + (negative ? 1 : 0))
        return std::nullopt;
    return negative ? -*v : *v;
}

bool ReadBackupSetting(const std::string& iniPath) {
    const std::string text = platform::GetPrivateProfileString(kSection, kKey, "", iniPath);
    const auto value = ParseProfileInteger(text);
    return value.value_or(0) != 0;
}

void WriteBackupSetting(const std::string& iniPath, bool backup) {
    const std::string value = backup ? "1" : "0";
    if (platform::FileExists(iniPath) && platform::GetPrivateProfileString(kSection, kKey, "", iniPath) == value)
        return;
    if (!WriteThroughTemporary(iniPath, value))
        throw fw::Exception("Unable to write to " + iniPath);
}

bool LoadBackupSetting(const std::string& iniPath) {
    if (platform::FileExists(iniPath)) {
        const platform::TFileHandle probe(
            platform::FileOpen(iniPath, platform::fmOpenRead | platform::fmShareDenyNone));
        if (!probe.Valid())
            TellOnce(fw::Exception("Unable to read " + iniPath));
    }
    // A value that is no number counts as "no backup", and the user is told so once.
    const std::string text = platform::GetPrivateProfileString(kSection, kKey, "", iniPath);
    if (!text.empty() && !ParseProfileInteger(text))
        TellOnce(fw::Exception(std::string(kKey) + "=" + text + " in " + iniPath +
                               " is not a number (1: make a backup, 0: none); no backup is made"));
    return ReadBackupSetting(iniPath);
}

bool SaveBackupSetting(const std::string& iniPath, bool backup) {
    try {
        WriteBackupSetting(iniPath, backup);
        return true;
    } catch (const std::exception& error) {
        TellOnce(error);
        return false;
    }
}

}  // namespace app
