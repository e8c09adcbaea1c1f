// Output paths of extracted entries, below the extraction folder and never outside it.
#pragma once

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

}  // namespace archive
