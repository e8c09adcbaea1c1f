// The settings file: section "Grandvue", key "Backup"; where it lives on each platform.
#pragma once

#include <optional>
#include <string>

namespace app {

// POSIX: $XDG_CONFIG_HOME/grandvue/grandvue.ini (default ~/.config). Windows: the executable's path with
// its extension replaced by ".ini" where that folder can be written, else %APPDATA%\Grandvue\ and that name.
std::string SettingsPath();

// Reads a stored integer as the private-profile readers do: "0x…"/"0X…" (longer than two characters)
// as hexadecimal, anything else as decimal; nothing when the text is not a number.
std::optional<long long> ParseProfileInteger(const std::string& text);

// True when "Backup" reads as a number other than 0; false when missing or not a number.
bool ReadBackupSetting(const std::string& iniPath);
// Writes "1" or "0" (nothing when the file holds that already), creating the file's folder when missing.
// The file is rewritten under a temporary name and renamed, so a failure never leaves it cut short.
// Raises "Unable to write to <path>" when it cannot be written.
void WriteBackupSetting(const std::string& iniPath, bool backup);

// The same, for the programs: a file that cannot be read or written never stops them. The first such
// failure in a process goes once to the application's error handling (OnException when assigned, else the
// default error display); later ones are silent.
bool LoadBackupSetting(const std::string& iniPath);
bool SaveBackupSetting(const std::string& iniPath, bool backup);  // false when not written

}  // namespace app
