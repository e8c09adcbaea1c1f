// Tests of the input file scan: folder groups, walk order, skipped names, attribute rules and masks.
#include <gtest/gtest.h>

#include "archive/names/MultiMask.h"
#include "archive/write/FileScan.h"
#include "tests/TestUtil.h"

namespace {

using archive::TFileScan;
using platform::PathDelim;

std::string D(const std::string& path) {
    std::string r = path;
    for (char& c : r)
        if (c == '\\')
            c = PathDelim;
    return r;
}

TEST(FileScanGroups, MergesLinesOfOneFolderByTheCoverRules) {
    struct TCase {
        const char* What;
        std::vector<std::string> Lines;
        std::string Folder;
        std::vector<std::string> Masks;
        size_t LinesLeft;
    };
    const TCase cases[] = {
        {"covered mask adds nothing, folder case ignored", {"C:\\a\\*.txt", "c:\\A\\x.txt"}, "C:\\a\\", {"*.txt"}, 0},
        {"wider mask replaces narrower", {"C:\\a\\x.txt", "C:\\a\\*.txt"}, "C:\\a\\", {"*.txt"}, 0},
        {"unrelated masks are both kept", {"C:\\a\\*.txt", "C:\\a\\*.class"}, "C:\\a\\", {"*.txt", "*.class"}, 0},
        {"other folders stay for later", {"C:\\a\\*.txt", "C:\\b\\*.txt", "C:\\a\\y.txt"}, "C:\\a\\", {"*.txt"}, 1},
        {"line without folder takes the default", {"*.class"}, "C:\\root\\", {"*.class"}, 0},
    };
    for (const TCase& c : cases) {
        std::vector<std::string> lines;
        for (const std::string& l : c.Lines)
            lines.push_back(D(l));
        const archive::TFolderGroup group = archive::TakeFolderGroup(lines, D("C:\\root\\"));
        EXPECT_EQ(group.Folder, D(c.Folder)) << c.What;
        EXPECT_EQ(group.Masks, c.Masks) << c.What;
        EXPECT_EQ(lines.size(), c.LinesLeft) << c.What;
    }
}

TEST(FileScanMasks, StarDotStarAndEmptyMatchNamesWithoutDot) {
    const archive::TMultiMask all({"*.*"});
    EXPECT_TRUE(all.Matches("README"));
    EXPECT_TRUE(archive::TMultiMask({""}).Matches("Makefile"));
    const archive::TMultiMask classes({"*.CLASS", "*.MF"});
    EXPECT_TRUE(classes.Matches("Main.class"));
    EXPECT_TRUE(classes.Matches("MANIFEST.mf"));
    EXPECT_FALSE(classes.Matches("a.txt"));
    EXPECT_FALSE(archive::TMultiMask().Matches("a"));
}

TEST(FileScanAttributes, FollowTheAcceptanceRules) {
    struct TCase {
        uint32_t Attr;
        bool Accepted;
    };
    const TCase cases[] = {{0x22, true},   {0x06, false}, {0x80, true},  {0x00, true},   {0x01, true},
                           {0x02, false},  {0x04, false}, {0x20, true},  {0x2002, true}, {0x800, true},
                           {0x4000, true}, {0x82, false}, {0x10, false}, {0x12, false}};
    const archive::TFileAttributes writer = archive::DefaultScanAttributes();
    for (const TCase& c : cases) {
        const bool accepted = archive::AttributesPass(c.Attr, writer, true) &&
                              !archive::AttributesPass(c.Attr, archive::TFileAttributes{}, false);
        EXPECT_EQ(accepted, c.Accepted) << std::hex << c.Attr;
    }
    // The not-content-indexed bit passes the include test only.
    EXPECT_FALSE(archive::AttributesPass(0x2000, {archive::fsHidden}, false));
    EXPECT_TRUE(archive::AttributesPass(0x12, {archive::fsDirectory}, false));
    EXPECT_FALSE(archive::AttributesPass(0x08, {archive::fsVolumeID}, false));
}

class FileScanWalk : public ::testing::Test {
protected:
    // Collects what the scan hands over, as paths relative to the scratch folder.
    std::vector<std::string> Run(TFileScan& scan) {
        std::vector<std::string> seen;
        scan.OnEntry = [&](const std::string& folder, const platform::TFindData& data) {
            const std::string full = (data.Attr & platform::faDirectory) ? folder : folder + data.Name;
            seen.push_back(full.substr(Root().size()));
            return true;
        };
        scan.Run();
        return seen;
    }
    std::string Root() const { return FDir.Path() + PathDelim; }
    void Make(const std::string& rel, const std::string& content = "x") { testutil::WriteFile(FDir / rel, content); }

    testutil::TTempDir FDir;
};

TEST_F(FileScanWalk, WalksDepthFirstPreOrderAndSkipsDotNames) {
    Make("a/x.class");
    Make("a/b/y.class");
    Make("z.txt");
    Make("README");
    Make(".hidden");
    Make(".git/config");
    TFileScan scan;
    scan.SetFileSpec({Root() + "*.*"});
    std::vector<std::string> roots;
    scan.OnRootDirChange = [&](fw::TObject*, const std::string& folder) { roots.push_back(folder); };
    const std::vector<std::string> seen = Run(scan);
    EXPECT_EQ(roots, std::vector<std::string>{Root()});
    ASSERT_EQ(seen.size(), 4u);
    // The system's order inside a folder is free, but a folder's content is never split: a/x.class and
    // a/b/y.class are neighbours whichever of x.class and b comes first.
    const auto pos = [&](const std::string& rel) { return std::find(seen.begin(), seen.end(), D(rel)) - seen.begin(); };
    EXPECT_LT(pos("a\\x.class"), 4);
    EXPECT_LT(pos("a\\b\\y.class"), 4);
    EXPECT_LT(pos("z.txt"), 4);
    EXPECT_LT(pos("README"), 4);
    EXPECT_EQ(std::abs(pos("a\\x.class") - pos("a\\b\\y.class")), 1);
    EXPECT_EQ(scan.FilesCount(), 4);
    EXPECT_EQ(scan.FilesSize(), 4);
}

TEST_F(FileScanWalk, MasksSelectFilesButNeverFolders) {
    Make("Main.class");
    Make("notes.txt");
    Make("sub/Other.class");
    TFileScan scan;
    scan.SetFileSpec({Root() + "*.CLASS"});
    std::vector<std::string> seen = Run(scan);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{"Main.class", D("sub\\Other.class")}));
}

TEST_F(FileScanWalk, CountsAndReportsOnlyTakenFiles) {
    Make("a.txt", "12345");
    Make("b.txt", "123");
    TFileScan scan;
    scan.SetFileSpec({Root() + "*.*"});
    std::vector<int64_t> sizes;
    scan.OnScanFile = [&](fw::TObject*, const std::string&, int32_t, int64_t size) { sizes.push_back(size); };
    scan.OnEntry = [](const std::string&, const platform::TFindData& data) { return data.Name == "a.txt"; };
    int32_t finishedCount = -1;
    scan.OnFinished = [&](fw::TObject*, int32_t count, int64_t) { finishedCount = count; };
    scan.Run();
    EXPECT_EQ(finishedCount, 1);
    EXPECT_EQ(scan.FilesSize(), 5);
    EXPECT_EQ(sizes, std::vector<int64_t>{5});
}

TEST_F(FileScanWalk, StopEndsTheWalkAndTheRemainingGroups) {
    for (int i = 0; i < 5; ++i)
        Make("one/f" + std::to_string(i) + ".txt");
    Make("two/g.txt");
    TFileScan scan;
    scan.SetFileSpec({FDir / "one" + PathDelim + "*.*", FDir / "two" + PathDelim + "*.*"});
    int taken = 0;
    scan.OnEntry = [&](const std::string&, const platform::TFindData&) {
        if (++taken == 2)
            scan.Stop();
        return true;
    };
    scan.Run();
    EXPECT_EQ(taken, 2);
    EXPECT_EQ(scan.FilesCount(), 2);
}

TEST_F(FileScanWalk, HiddenFolderIsEnteredOnlyWhenAsked) {
    Make("vis/a.txt");
    Make("hid/b.txt");
    if (!platform::SetFileAttributes(FDir / "hid", platform::faDirectory | platform::faHidden) ||
        !(platform::GetFileAttributes(FDir / "hid") & platform::faHidden))
        GTEST_SKIP() << "the file system keeps no hidden bit for this name";
    TFileScan scan;
    scan.SetFileSpec({Root() + "*.*"});
    EXPECT_EQ(Run(scan), std::vector<std::string>{D("vis\\a.txt")});
    scan.IncludeHiddenDirs = true;
    std::vector<std::string> seen = Run(scan);
    std::sort(seen.begin(), seen.end());
    EXPECT_EQ(seen, (std::vector<std::string>{D("hid\\b.txt"), D("vis\\a.txt")}));
}

// Examples checked on real attributes where the file system keeps them exactly (Wine keeps hidden and
// system bits, but adds the archive bit to every file, so 0x06 and 0x80 cannot be made there).
TEST_F(FileScanWalk, RealAttributesDecideAcceptance) {
    struct TCase {
        const char* Name;
        uint32_t Attr;
        bool Accepted;
    };
    const TCase cases[] = {
        {"hidden_archive.txt", 0x22, true}, {"hidden_system.txt", 0x06, false}, {"normal.txt", 0x80, true}};
    for (const TCase& c : cases) {
        Make(c.Name);
        platform::SetFileAttributes(FDir / c.Name, c.Attr);
    }
    TFileScan scan;
    scan.SetFileSpec({Root() + "*.*"});
    const std::vector<std::string> seen = Run(scan);
    int checked = 0;
    for (const TCase& c : cases) {
        if (platform::GetFileAttributes(FDir / c.Name) != c.Attr)
            continue;
        ++checked;
        EXPECT_EQ(std::find(seen.begin(), seen.end(), c.Name) != seen.end(), c.Accepted) << c.Name;
    }
    for (const TCase& c : cases)
        platform::SetFileAttributes(FDir / c.Name, platform::faNormal);
    if (checked == 0)
        GTEST_SKIP() << "the file system keeps none of these attributes";
}

TEST_F(FileScanWalk, NonRecursiveModeUsesEachLineAsItIs) {
    Make("top.txt");
    Make("sub/deep.txt");
    TFileScan scan;
    scan.RecurseDirs = false;
    scan.SetFileSpec({Root() + "*.txt"});
    std::vector<std::string> roots;
    scan.OnRootDirChange = [&](fw::TObject*, const std::string& folder) { roots.push_back(folder); };
    EXPECT_EQ(Run(scan), std::vector<std::string>{"top.txt"});
    EXPECT_EQ(roots, std::vector<std::string>{Root()});
}

TEST_F(FileScanWalk, SingleFileSpecLineFillsTheResultList) {
    Make("a.class", "12");
    Make("b.mf", "1");
    Make("c.txt");
    TFileScan scan;
    scan.SetRootDir(FDir.Path());
    scan.SetFileSpecLine("*.class, *.MF");
    scan.Sorted = archive::soByName;
    scan.Run();
    ASSERT_EQ(scan.FilesList().size(), 2u);
    EXPECT_EQ(scan.FilesList()[0].Name, "a.class");
    EXPECT_EQ(scan.FilesList()[0].SizeLo, 2u);
    EXPECT_EQ(scan.FilesList()[0].Folder, Root());
    EXPECT_NE(scan.FilesList()[0].DosDateTime, 0u);
    EXPECT_EQ(scan.FilesList()[1].Name, "b.mf");
}

TEST_F(FileScanWalk, FolderThatCannotBeOpenedIsSkippedQuietly) {
    TFileScan scan;
    scan.SetFileSpec({FDir / "missing" + PathDelim + "*.*"});
    EXPECT_TRUE(Run(scan).empty());
    EXPECT_EQ(scan.FilesCount(), 0);
}

}  // namespace

// Taking every file: dot names, files whose only bits are hidden or system, hidden folders; "." and ".."
// stay out, and AttributesEx still keeps files out.
TEST_F(FileScanWalk, IncludeHiddenFilesTakesDotNamesAndHiddenOrSystemFiles) {
    Make("a.class");
    Make(".cfg");
    Make(".data/level.bin");
    Make("res/.nomedia");
    Make("hidden_system.txt");
    Make("hid/inside.txt");
    platform::SetFileAttributes(FDir / "hidden_system.txt", platform::faHidden | platform::faSysFile);
    platform::SetFileAttributes(FDir / "hid", platform::faDirectory | platform::faHidden);
    TFileScan scan;
    scan.SetFileSpec({Root() + "*.*"});
    scan.IncludeHiddenFiles = true;
    std::vector<std::string> seen = Run(scan);
    std::sort(seen.begin(), seen.end());
    std::vector<std::string> all = {D(".cfg"),           D(".data\\level.bin"), "a.class", D("hid\\inside.txt"),
                                    "hidden_system.txt", D("res\\.nomedia")};
    std::sort(all.begin(), all.end());
    EXPECT_EQ(seen, all);
    scan.AttributesEx = {archive::fsSysFile};
    seen = Run(scan);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), "hidden_system.txt"),
              (platform::GetFileAttributes(FDir / "hidden_system.txt") & platform::faSysFile) ? 0 : 1);
    platform::SetFileAttributes(FDir / "hidden_system.txt", platform::faNormal);
}
