// The breadth-first folder walker behind TEasyFileSearch: its settings, records, events and the walk.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "platform/Platform.h"

namespace search {

// Whole days since 30 December 1899; the fraction is the time of day.
using TDateTime = double;

enum TFilterKind { fkFilterOnDate, fkFilterOnSize };
enum TDateFilterAccessKind { dfakCreatedFiles, dfakModifiedFiles, dfakOpenedFiles, dfakAnyFiles };
enum TDateFilterKind { dfkBetween, dfkBefore, dfkAfter, dfkSame };
enum TSizeFilterKind { sfkSmallerOrEqualTo, sfkBiggerOrEqualTo };

// One reported entry.
struct TFileInformations {
    std::string Name;  // the entry's own name, no folder part
    std::string Path;  // the folder listed, always ending in the delimiter; Path + Name is the full path
    int32_t Attr = 0;  // attribute bits as listed
    int32_t Size = 0;  // low 32 bits of the size
    platform::TSystemTime CreationTime;    // local time
    platform::TSystemTime LastAccessTime;  // local time
    platform::TSystemTime LastWriteTime;   // local time
};

struct TStatistics {
    int32_t FilesFound = 0;           // non-directory entries reported
    int32_t FoldersWithFiles = 0;     // folders with at least one reported non-directory entry
    int32_t DirectoriesFound = 0;     // directory entries reported
    int32_t ElapsedMilliseconds = 0;  // tick count at the end minus tick count at the start
};

// Records go to handlers by value: each handler gets its own copy.
using TOnFileFound = std::function<void(TFileInformations FileFound)>;
using TOnAcceptFile = std::function<bool(TFileInformations FileFound)>;
using TOnChangeFolder = std::function<void(std::string NewPath)>;
using TOnStatistics = std::function<void(TStatistics Stats)>;

struct TDateFilter {
    bool Enabled = false;
    TDateFilterAccessKind AccessKind = dfakAnyFiles;
    TDateFilterKind Kind = dfkSame;
    TDateTime FirstDate = 0;
    TDateTime SecondDate = 0;  // dfkBetween only
};

struct TSizeFilter {
    bool Enabled = false;
    TSizeFilterKind Kind = sfkSmallerOrEqualTo;
    int32_t Size = 0;
};

// The walker's settings, one flag per search option.
struct TSearchSettings {
    bool IncludeSubfolder = false;
    bool LookForReadOnlyFile = false;
    bool LookForHiddenFile = false;
    bool LookForSystemFile = false;
    bool LookForDirectory = false;
    bool LookForArchiveFile = false;
    bool LookForAnyFile = false;
    TDateFilter DateFilter;
    TSizeFilter SizeFilter;
    std::vector<std::string> Masks;
    std::vector<std::string> ExcludedMasks;
    std::string RootPath;
};

class TFileSearch : public fw::TObject {
public:
    TSearchSettings Settings;
    TOnFileFound FileFoundSlot;
    TOnChangeFolder ChangeFolderSlot;
    TOnStatistics StatisticsSlot;
    TOnAcceptFile AcceptFileSlot;

    // Walks the tree from Settings.RootPath, folder by folder; true when every folder could be listed.
    // The walk works on a copy of the settings taken here, so handlers that change them affect the next walk.
    bool Search() const;
};

}  // namespace search
