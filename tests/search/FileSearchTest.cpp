// The component on real folder trees: walk order, records, options, statistics, failures and handlers.
#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "search/EasyFileSearch.h"
#include "search/EntryFilter.h"
#include "search/Masks.h"
#include "tests/TestUtil.h"

namespace search {
namespace {

using testutil::TTempDir;
using testutil::WriteFile;
constexpr char D = platform::PathDelim;

// A component with the option set of the main window, recording what it reports.
struct TRecorder {
    TEasyFileSearch Search{nullptr};
    std::vector<TFileInformations> Found;
    std::vector<std::string> Folders;
    std::vector<TStatistics> Stats;

    explicit TRecorder(const std::string& root) {
        Search.SearchOptions = {okIncludeSubfolder,  okLookForReadOnlyFile, okLookForHiddenFile,
                                okLookForSystemFile, okLookForArchiveFile,  okLookForAnyFile};
        Search.SetRootPath(root);
        Search.OnFileFound = [this](TFileInformations f) { Found.push_back(f); };
        Search.OnChangeFolder = [this](std::string p) { Folders.push_back(p); };
        Search.OnStatistics = [this](TStatistics s) { Stats.push_back(s); };
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const TFileInformations& f : Found)
            names.push_back(f.Name);
        return names;
    }
};

using Names = std::vector<std::string>;

TEST(FileSearchWalk, ReportsRootFilesBeforeSubfolderFilesWithTheirFolders) {
    TTempDir root;
    WriteFile(root / "a.txt", "a");
    WriteFile(root / "sub/b.txt", "bb");
    TRecorder r(root.Path());
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Names(), (Names{"a.txt", "b.txt"}));
    EXPECT_EQ(r.Found.at(0).Path, root.Path() + D);
    EXPECT_EQ(r.Found.at(1).Path, root.Path() + D + "sub" + D);
    EXPECT_EQ(r.Found.at(1).Size, 2);
    EXPECT_EQ(r.Folders, (Names{root.Path(), root.Path() + D + "sub"}));  // the root exactly as given
}

TEST(FileSearchWalk, PassesARootWithItsTrailingDelimiterUnchanged) {
    TTempDir root;
    WriteFile(root / "a.txt", "a");
    TRecorder r(root.Path() + D);
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Folders, Names{root.Path() + D});
    ASSERT_EQ(r.Found.size(), 1u);
    EXPECT_EQ(r.Found[0].Path, root.Path() + D);
}

TEST(FileSearchWalk, VisitsFoldersLevelByLevel) {
    TTempDir root;
    WriteFile(root / "d1/d3/z.txt", "");
    WriteFile(root / "d1/x.txt", "");
    WriteFile(root / "d2/y.txt", "");
    TRecorder r(root.Path());
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Folders, (Names{root.Path(), root / "d1", root / "d2", root / "d1/d3"}));
    EXPECT_EQ(r.Names(), (Names{"x.txt", "y.txt", "z.txt"}));
}

TEST(FileSearchWalk, StaysInTheRootWithoutIncludeSubfolder) {
    TTempDir root;
    WriteFile(root / "a.txt", "");
    WriteFile(root / "sub/b.txt", "");
    TRecorder r(root.Path());
    r.Search.SearchOptions.erase(okIncludeSubfolder);
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Names(), Names{"a.txt"});
    EXPECT_EQ(r.Folders.size(), 1u);
}

TEST(FileSearchWalk, StarDotStarSkipsNamesWithoutADotButNotDirectories) {
    TTempDir root;
    WriteFile(root / "README", "");
    WriteFile(root / "a.txt", "");
    testutil::MakeDirs(root / "sub");
    TRecorder r(root.Path());
    r.Search.SearchOptions.insert(okLookForDirectory);
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Names(), (Names{"a.txt", "sub"}));
    ASSERT_EQ(r.Stats.size(), 1u);
    EXPECT_EQ(r.Stats[0].FilesFound, 1);
    EXPECT_EQ(r.Stats[0].DirectoriesFound, 1);
    EXPECT_EQ(r.Stats[0].FoldersWithFiles, 1);
}

TEST(FileSearchWalk, FindsClassFilesByMaskAtEveryDepth) {
    TTempDir root;
    WriteFile(root / "Main.CLASS", "");
    WriteFile(root / "a/b/c/Deep.class", "");
    WriteFile(root / "a/b/Note.txt", "");
    TRecorder r(root.Path() + D);
    r.Search.FileNames().clear();
    r.Search.FileNames().push_back("*.class");
    EXPECT_TRUE(r.Search.Execute());
    ASSERT_EQ(r.Names(), (Names{"Main.CLASS", "Deep.class"}));
    EXPECT_TRUE(testutil::Exists(r.Found[1].Path + r.Found[1].Name));
    EXPECT_EQ(r.Stats.at(0).FoldersWithFiles, 2);
}

TEST(FileSearchWalk, CountsStatisticsOverTheTree) {
    TTempDir root;
    for (const char* f : {"a.x", "b.x", "s1/c.x", "s1/t/d.x", "s2/e.x", "s2/f.x"})
        WriteFile(root / f, "");
    TRecorder r(root.Path());
    r.Search.SearchOptions.insert(okLookForDirectory);
    EXPECT_TRUE(r.Search.Execute());
    ASSERT_EQ(r.Stats.size(), 1u);
    EXPECT_EQ(r.Stats[0].FilesFound, 6);
    EXPECT_EQ(r.Stats[0].FoldersWithFiles, 4);
    EXPECT_EQ(r.Stats[0].DirectoriesFound, 3);
    EXPECT_GE(r.Stats[0].ElapsedMilliseconds, 0);
}

TEST(FileSearchWalk, KeepsTheLowThirtyTwoBitsOfTheSize) {
    if (!testutil::HostHas("truncate"))
        GTEST_SKIP() << "no truncate on the host";
    TTempDir root;
    const std::string big = root / "big.bin";
    // A sparse file of 4 GiB + 5 bytes costs no disk space.
    ASSERT_EQ(testutil::RunHost("truncate -s 4294967301 " + testutil::Quote(testutil::ToHostPath(big))), 0);
    TRecorder r(root.Path());
    EXPECT_TRUE(r.Search.Execute());
    ASSERT_EQ(r.Found.size(), 1u);
    EXPECT_EQ(r.Found[0].Size, 5);
}

// Marks an entry through the platform; on POSIX only the read-only bit exists, hidden names begin with ".".
void Mark(const std::string& path, uint32_t attr) {
    ASSERT_TRUE(platform::SetFileAttributes(path, attr)) << path;
}

TEST(FileSearchAttributes, MainWindowOptionsReportFilesAndMarkedDirectoriesOnly) {
    TTempDir root;
    WriteFile(root / "plain.txt", "");
    WriteFile(root / "locked.txt", "");
    testutil::MakeDirs(root / "plaindir");
    testutil::MakeDirs(root / "rodir");
    Mark(root / "locked.txt", platform::faReadOnly);
    Mark(root / "rodir", platform::faReadOnly);
#ifdef _WIN32
    Mark(root / "plain.txt", platform::faNormal);  // no attribute bit at all
    testutil::MakeDirs(root / "hidden");
    testutil::MakeDirs(root / "sysdir");
    Mark(root / "hidden", platform::faHidden);
    Mark(root / "sysdir", platform::faSysFile);
    Names expected{"hidden", "locked.txt", "plain.txt", "sysdir"};
    // Wine keeps no read-only bit on directories; where the bit stays, the directory is reported through it.
    if (platform::GetFileAttributes(root / "rodir") & platform::faReadOnly)
        expected.insert(expected.begin() + 3, "rodir");
#else
    testutil::MakeDirs(root / ".hidden");
    const Names expected{".hidden", "locked.txt", "plain.txt", "rodir"};
#endif
    TRecorder r(root.Path());
    EXPECT_TRUE(r.Search.Execute());
    Names names = r.Names();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, expected);
    for (const TFileInformations& f : r.Found)
        EXPECT_EQ(static_cast<uint32_t>(f.Attr), platform::GetFileAttributes(f.Path + f.Name)) << f.Name;
}

TEST(FileSearchFailure, MissingRootEndsTheWalkWithFalseAndZeroCounters) {
    TTempDir root;
    TRecorder r(root / "missing");
    EXPECT_FALSE(r.Search.Execute());
    EXPECT_EQ(r.Folders, Names{root / "missing"});
    EXPECT_TRUE(r.Found.empty());
    ASSERT_EQ(r.Stats.size(), 1u);
    EXPECT_EQ(r.Stats[0].FilesFound, 0);
    EXPECT_EQ(r.Stats[0].FoldersWithFiles, 0);
    EXPECT_EQ(r.Stats[0].DirectoriesFound, 0);
}

TEST(FileSearchFailure, EmptyRootFailsLikeAMissingFolder) {
    TRecorder r("");
    EXPECT_FALSE(r.Search.Execute());
    EXPECT_EQ(r.Folders, Names{""});
    EXPECT_TRUE(r.Found.empty());
    EXPECT_EQ(r.Stats.size(), 1u);
}

TEST(FileSearchFailure, InvalidMaskLeavesExecuteAtTheFirstEntry) {
    TTempDir root;
    WriteFile(root / "a.txt", "");
    TRecorder r(root.Path());
    r.Search.SetFileNames({"[abc"});
    try {
        r.Search.Execute();
        ADD_FAILURE() << "no exception";
    } catch (const EMaskException& e) {
        EXPECT_EQ(e.Message(), "'[abc' is an invalid mask at (5)");
    }
    EXPECT_TRUE(r.Stats.empty());
}

TEST(FileSearchFailure, HandlerExceptionsLeaveExecute) {
    TTempDir root;
    WriteFile(root / "a.txt", "");
    WriteFile(root / "b.txt", "");
    TRecorder r(root.Path());
    r.Search.OnFileFound = [](TFileInformations) { throw std::runtime_error("stop"); };
    EXPECT_THROW(r.Search.Execute(), std::runtime_error);
    r.Search.OnFileFound = [&r](TFileInformations f) { r.Found.push_back(f); };
    EXPECT_TRUE(r.Search.Execute());  // the next walk starts afresh
    EXPECT_EQ(r.Found.size(), 2u);
}

TEST(FileSearchHandlers, DeletingTheReportedFileIsSafe) {
    TTempDir root;
    for (const char* f : {"a.class", "b.txt", "c.jar", "sub/d.class", "sub/deeper/e.class"})
        WriteFile(root / f, "x");
    TRecorder r(root.Path() + D);
    r.Search.OnFileFound = [&r](TFileInformations f) {
        r.Found.push_back(f);
        EXPECT_TRUE(platform::DeleteFile(f.Path + f.Name)) << f.Name;
    };
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Names(), (Names{"a.class", "b.txt", "c.jar", "d.class", "e.class"}));
    EXPECT_FALSE(testutil::Exists(root / "a.class"));
    EXPECT_FALSE(testutil::Exists(root / "sub/deeper/e.class"));
    EXPECT_TRUE(testutil::Exists(root / "sub/deeper"));
}

TEST(FileSearchHandlers, RemovingAQueuedFolderEndsTheWalkWithFalse) {
    TTempDir root;
    WriteFile(root / "a.txt", "");
    testutil::MakeDirs(root / "gone");
    TRecorder r(root.Path());
    r.Search.OnFileFound = [&root](TFileInformations) { platform::RemoveDirectory(root / "gone"); };
    EXPECT_FALSE(r.Search.Execute());
    EXPECT_EQ(r.Folders.size(), 2u);
    EXPECT_EQ(r.Stats.size(), 1u);
}

TEST(FileSearchHandlers, AcceptVetoStopsReportsAndCounts) {
    TTempDir root;
    WriteFile(root / "a.txt", "");
    WriteFile(root / "b.txt", "");
    TRecorder r(root.Path());
    r.Search.OnAcceptFile = [](TFileInformations f) { return f.Name != "a.txt"; };
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Names(), Names{"b.txt"});
    EXPECT_EQ(r.Stats.at(0).FilesFound, 1);
}

TEST(FileSearchHandlers, SettingsChangedDuringAWalkApplyToTheNextOne) {
    TTempDir root;
    WriteFile(root / "a.txt", "");
    WriteFile(root / "b.txt", "");
    WriteFile(root / "c.class", "");
    TRecorder r(root.Path());
    r.Search.OnFileFound = [&r](TFileInformations f) {
        r.Found.push_back(f);
        r.Search.SetFileNames({"*.class"});
        r.Search.SetRootPath("elsewhere");
    };
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Found.size(), 3u);
    EXPECT_EQ(r.Search.RootPath(), "elsewhere");
}

TEST(FileSearchOptions, ExcludedFilesAreNeverReported) {
    TTempDir root;
    WriteFile(root / "a.txt", "");
    WriteFile(root / "a.bak", "");
    TRecorder r(root.Path());
    r.Search.SetExcludedFiles({"*.BAK"});
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Names(), Names{"a.txt"});
}

TEST(FileSearchOptions, SmallerOrEqualToZeroReportsEmptyFilesAndDirectories) {
    TTempDir root;
    WriteFile(root / "empty.txt", "");
    WriteFile(root / "full.txt", "x");
    testutil::MakeDirs(root / "sub");
    TRecorder r(root.Path());
    r.Search.SearchOptions.insert(okLookForDirectory);
    r.Search.FilterKind = {fkFilterOnSize};
    r.Search.SizeFilterKind = sfkSmallerOrEqualTo;
    r.Search.SizeFilterSize = 0;
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_EQ(r.Names(), (Names{"empty.txt", "sub"}));
}

// Sets the last write time of a file to today at 23:59 local time.
void WriteLateToday(const std::string& path) {
    platform::TSystemTime local;
    platform::GetLocalTime(local);
    local.Hour = 23;
    local.Minute = 59;
    local.Second = local.Milliseconds = 0;
    platform::TFileTime localTime, utc;
    ASSERT_TRUE(platform::SystemTimeToFileTime(local, localTime));
    ASSERT_TRUE(platform::LocalFileTimeToFileTime(localTime, utc));
    ASSERT_TRUE(platform::SetFileTimes(path, nullptr, nullptr, &utc));
}

TEST(FileSearchOptions, SameDayFilterComparesLocalCalendarDays) {
    TTempDir root;
    WriteFile(root / "late.txt", "");
    WriteLateToday(root / "late.txt");
    TRecorder r(root.Path());
    r.Search.FilterKind = {fkFilterOnDate};
    r.Search.DateFilterFileAccess = dfakModifiedFiles;
    r.Search.DateFilterKind = dfkSame;
    r.Search.DateFilterFirstDate = Date();
    EXPECT_TRUE(r.Search.Execute());
    ASSERT_EQ(r.Found.size(), 1u);
    EXPECT_EQ(r.Found[0].LastWriteTime.Hour, 23);
    EXPECT_EQ(r.Found[0].LastWriteTime.Minute, 59);
    r.Found.clear();
    r.Search.DateFilterFirstDate = Date() - 1;
    EXPECT_TRUE(r.Search.Execute());
    EXPECT_TRUE(r.Found.empty());
}

TEST(FileSearchComponent, StartsWithItsDefaults) {
    TEasyFileSearch s(nullptr);
    EXPECT_EQ(s.Version(), "TEasyFileSearch v1.02");
    s.SetVersion("other");
    EXPECT_EQ(s.Version(), "TEasyFileSearch v1.02");
    EXPECT_EQ(s.SearchOptions.size(), 7u);
    EXPECT_TRUE(s.FilterKind.empty());
    EXPECT_EQ(s.DateFilterFileAccess, dfakAnyFiles);
    EXPECT_EQ(s.DateFilterKind, dfkSame);
    EXPECT_EQ(s.DateFilterFirstDate, Date());
    EXPECT_EQ(s.DateFilterSecondDate, Date());
    EXPECT_EQ(s.SizeFilterKind, sfkSmallerOrEqualTo);
    EXPECT_EQ(s.SizeFilterSize, 0);
    EXPECT_TRUE(s.ExcludedFiles().empty());
    EXPECT_EQ(s.FileNames(), TStrings{"*.*"});
    EXPECT_EQ(s.RootPath(), std::string(".") + D);
}

// Restores the current folder when the test ends.
struct TCurrentFolder {
    std::string Saved = platform::GetCurrentDirectory();
    ~TCurrentFolder() { platform::SetCurrentDirectory(Saved); }
};

TEST(FileSearchComponent, DefaultRootIsTheCurrentFolder) {
    TTempDir root;
    WriteFile(root / "here.txt", "");
    TCurrentFolder restore;
    ASSERT_TRUE(platform::SetCurrentDirectory(root.Path()));
    TRecorder r(std::string(".") + D);
    EXPECT_TRUE(r.Search.Execute());
    ASSERT_EQ(r.Found.size(), 1u);
    EXPECT_EQ(r.Found[0].Path + r.Found[0].Name, std::string(".") + D + "here.txt");
}

}  // namespace
}  // namespace search
