// TEasyFileSearch: the non-visual component that walks a folder tree and reports matching entries.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "search/FileSearch.h"

namespace search {

enum TOptionsKind {
    okIncludeSubfolder,
    okLookForReadOnlyFile,
    okLookForHiddenFile,
    okLookForSystemFile,
    okLookForDirectory,
    okLookForArchiveFile,
    okLookForAnyFile,
};
using TOptionsKinds = std::set<TOptionsKind>;
using TFilterKinds = std::set<TFilterKind>;
using TStrings = std::vector<std::string>;

class TEasyFileSearch : public fw::TComponent {
public:
    explicit TEasyFileSearch(fw::TComponent* owner);

    std::string Version() const;
    void SetVersion(const std::string&) {}  // the version is fixed; stored values are ignored

    TOptionsKinds SearchOptions{okIncludeSubfolder, okLookForReadOnlyFile, okLookForHiddenFile, okLookForSystemFile,
                                okLookForDirectory, okLookForArchiveFile,  okLookForAnyFile};
    TFilterKinds FilterKind;
    TDateFilterAccessKind DateFilterFileAccess = dfakAnyFiles;
    TDateFilterKind DateFilterKind = dfkSame;
    TDateTime DateFilterFirstDate;   // today at construction
    TDateTime DateFilterSecondDate;  // today at construction
    TSizeFilterKind SizeFilterKind = sfkSmallerOrEqualTo;
    int32_t SizeFilterSize = 0;

    TStrings& ExcludedFiles() { return FExcludedFiles; }
    const TStrings& ExcludedFiles() const { return FExcludedFiles; }
    void SetExcludedFiles(const TStrings& masks) { FExcludedFiles = masks; }
    TStrings& FileNames() { return FFileNames; }
    const TStrings& FileNames() const { return FFileNames; }
    void SetFileNames(const TStrings& masks) { FFileNames = masks; }

    // Kept by the walker itself, unchanged: a relative path is relative to the current folder.
    const std::string& RootPath() const { return FSearch.Settings.RootPath; }
    void SetRootPath(const std::string& path) { FSearch.Settings.RootPath = path; }

    TOnFileFound OnFileFound;
    TOnAcceptFile OnAcceptFile;
    TOnChangeFolder OnChangeFolder;
    TOnStatistics OnStatistics;

    // Walks the tree with the current settings; true when every folder could be listed.
    bool Execute();

private:
    void CopySettingsToWalker();

    TStrings FExcludedFiles;
    TStrings FFileNames{"*.*"};
    TFileSearch FSearch;
};

}  // namespace search
