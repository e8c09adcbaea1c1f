// The settings file beside the executable: section "Grandvue", key "Backup".
#pragma once

#include <optional>
#include <string>

namespace app {

// The folder of the running executable, without a trailing delimiter.
std::string ExeFolder();
// The executable's path with its extension replaced by ".ini".
std::string SettingsPath();

// Reads a stored integer as the private-profile readers do: "0x…"/"0X…" (longer than two characters)
// as hexadecimal, anything else as decimal; nothing when the text is not a number.
std::optional<long long> ParseProfileInteger(const std::string& text);

// True when "Backup" reads as a number other than 0; false when missing or not a number.
bool ReadBackupSetting(const std::string& iniPath);
// Writes "1" or "0"; raises "Unable to write to <path>" when the file cannot be written.
void WriteBackupSetting(const std::string& iniPath, bool backup);

}  // namespace app
