// The component's defaults, the binding of the walker's slots to the published events, and Execute.
#include "search/EasyFileSearch.h"

#include "search/EntryFilter.h"

namespace search {

namespace {
constexpr const char* kVersion = "TEasyFileSearch v1.02";
}

TEasyFileSearch::TEasyFileSearch(fw::TComponent* owner)
    : fw::TComponent(owner), DateFilterFirstDate(Date()), DateFilterSecondDate(DateFilterFirstDate) {
    FSearch.Settings.RootPath = std::string(".") + platform::PathDelim;
    FSearch.FileFoundSlot = [this](TFileInformations found) { fw::Fire(OnFileFound, std::move(found)); };
    FSearch.ChangeFolderSlot = [this](std::string path) { fw::Fire(OnChangeFolder, std::move(path)); };
    FSearch.StatisticsSlot = [this](TStatistics stats) { fw::Fire(OnStatistics, stats); };
    // An unassigned veto lets every entry through.
    FSearch.AcceptFileSlot = [this](TFileInformations found) {
        return !OnAcceptFile || OnAcceptFile(std::move(found));
    };
}

std::string TEasyFileSearch::Version() const {
    return kVersion;
}

void TEasyFileSearch::CopySettingsToWalker() {
    TSearchSettings& s = FSearch.Settings;
    s.IncludeSubfolder = SearchOptions.contains(okIncludeSubfolder);
    s.LookForReadOnlyFile = SearchOptions.contains(okLookForReadOnlyFile);
    s.LookForHiddenFile = SearchOptions.contains(okLookForHiddenFile);
    s.LookForSystemFile = SearchOptions.contains(okLookForSystemFile);
    s.LookForDirectory = SearchOptions.contains(okLookForDirectory);
    s.LookForArchiveFile = SearchOptions.contains(okLookForArchiveFile);
    s.LookForAnyFile = SearchOptions.contains(okLookForAnyFile);
    s.DateFilter = TDateFilter{
        .Enabled = FilterKind.contains(fkFilterOnDate),
        .AccessKind = DateFilterFileAccess,
        .Kind = DateFilterKind,
        .FirstDate = DateFilterFirstDate,
        .SecondDate = DateFilterSecondDate,
    };
    s.SizeFilter = TSizeFilter{
        .Enabled = FilterKind.contains(fkFilterOnSize),
        .Kind = SizeFilterKind,
        .Size = SizeFilterSize,
    };
    s.ExcludedMasks = FExcludedFiles;
    s.Masks = FFileNames;
}

bool TEasyFileSearch::Execute() {
    CopySettingsToWalker();
    return FSearch.Search();
}

}  // namespace search
