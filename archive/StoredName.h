// How the writer turns a source file's full path into the name stored in the archive.
#pragma once

#include <string>

namespace archive {

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

// Comparisons without regard to letter case.
bool StartsWithText(const std::string& text, const std::string& prefix);
bool SameText(const std::string& a, const std::string& b);

}  // namespace archive
