// Names and paths both sides use: output paths of extracted entries (below the extraction folder and never
// outside it), stored names of new entries, and the conversions of names between archive and file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace archive {

// Everything up to and including the last delimiter, and the rest.
std::string FolderPart(const std::string& path);
std::string NamePart(const std::string& path);
std::string WithTrailingDelim(const std::string& folder);

// The value ExtractDir keeps: "/" and "\" as the platform's delimiter, one trailing delimiter, cut after it;
// an empty value names the archive's folder.
std::string NormalizeExtractDir(const std::string& value, const std::string& archiveFile);

// The output path of the converted stored name: drive and one leading delimiter stripped, the stored folders
// kept below `extractDir` when `useStoredDirs`. Empty when the name would leave `extractDir` ("..") or still
// names a drive or stream (":").
std::optional<std::string> OutputPath(const std::string& extractDir, const std::string& name, bool useStoredDirs);

// Creates `folder` with all missing parents; true when it exists afterwards.
bool ForceDirectories(const std::string& folder);

enum TStoredDirNames {
    sdNone,                          // the file name only
    sdAbsolute,                      // the full path
    sdAbsoluteNoDrv,                 // the full path without drive or server and share
    sdAbsoluteNoRoot,                // as sdAbsoluteNoDrv, without the leading delimiter
    sdRelative,                      // the path below the scan's root folder
    sdRelativeStoreStart,            // as sdRelative, with the root's last folder in front
    sdExplorer_Auto,                 // the path below the root folder, as the shell's drag source has it
    sdExplorer_UserDefineDefaultDir  // the path below a folder the user names
};

// `root` is the scan's root folder (with its trailing delimiter); `defaultDir` the user's folder for
// sdExplorer_UserDefineDefaultDir. The result uses the system's delimiter and keeps the letter case.
std::string MakeStoredName(const std::string& fullPath,
                           const std::string& root,
                           TStoredDirNames mode,
                           const std::string& defaultDir = {});

// The stored name as it goes into the headers: delimiters become "/", then ANSI becomes OEM when asked.
std::string ArchiveEntryName(const std::string& storedName, bool translateOem);

// The extension of a path, from its last "." on (after its last delimiter); empty when it has none.
std::string ExtractFileExt(const std::string& path);

// Comparisons without regard to the case of ASCII letters (other bytes must match), as paths compare here.
bool StartsWithAsciiText(const std::string& text, const std::string& prefix);
bool SameAsciiText(const std::string& a, const std::string& b);

// The stored name as the reader uses it: OEM to ANSI when asked, both delimiters to the platform's.
std::string ConvertEntryName(const std::string& raw, bool translateOem);
// The name by the entry's flags: a UTF-8 name (bit 11) goes to the system's code page exactly, any other
// as ConvertEntryName has it. Empty when a UTF-8 name has no exact form in the system's code page.
std::optional<std::string> EntryNameFor(const std::string& raw, uint16_t flags, bool translateOem);

}  // namespace archive
