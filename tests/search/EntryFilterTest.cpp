// The entry tests on records made in memory: attributes, dates and name masks.
#include <gtest/gtest.h>

#include "search/EntryFilter.h"
#include "search/Masks.h"

namespace search {
namespace {

// The option set of the main window: everything but okLookForDirectory.
TSearchSettings MainWindowSettings() {
    TSearchSettings s;
    s.IncludeSubfolder = s.LookForReadOnlyFile = s.LookForHiddenFile = s.LookForSystemFile = true;
    s.LookForArchiveFile = s.LookForAnyFile = true;
    s.Masks = {"*.*"};
    return s;
}

TFileInformations Entry(const std::string& name, uint32_t attr, int32_t size = 0) {
    TFileInformations e;
    e.Name = name;
    e.Attr = static_cast<int32_t>(attr);
    e.Size = size;
    return e;
}

struct TAttrCase {
    uint32_t Attr;
    bool Passes;
    const char* What;
};

TEST(EntryAttributes, MainWindowOptionsLetFilesAndMarkedDirectoriesThrough) {
    const TAttrCase cases[] = {
        {0x00, true, "plain file with no bit set"},
        {0x80, true, "normal file"},
        {0x20, true, "archive file"},
        {0x10, false, "plain directory"},
        {0x12, true, "hidden directory"},
        {0x14, true, "system directory"},
        {0x11, true, "read-only directory"},
        {0x30, true, "directory with the archive bit"},
    };
    for (const TAttrCase& c : cases)
        EXPECT_EQ(PassesTests(MainWindowSettings(), Entry("x.y", c.Attr)), c.Passes) << c.What;
}

TEST(EntryAttributes, AnyFileNeverCoversDirectories) {
    TSearchSettings s;
    s.Masks = {"*.*"};
    s.LookForAnyFile = true;
    EXPECT_TRUE(PassesTests(s, Entry("a.b", 0x80)));
    EXPECT_FALSE(PassesTests(s, Entry("a.b", 0x10)));
    s.LookForAnyFile = false;
    s.LookForHiddenFile = true;
    EXPECT_FALSE(PassesTests(s, Entry("a.b", 0x80)));
    EXPECT_TRUE(PassesTests(s, Entry("a.b", 0x22)));
    s.LookForDirectory = true;
    EXPECT_TRUE(PassesTests(s, Entry("a.b", 0x10)));
}

TEST(EntryNames, DirectoriesPassWhenTheListHoldsStarDotStar) {
    TSearchSettings s = MainWindowSettings();
    s.LookForDirectory = true;
    EXPECT_FALSE(PassesTests(s, Entry("README", 0x20)));
    EXPECT_TRUE(PassesTests(s, Entry("sub", 0x10)));
    s.Masks = {"*.class"};
    EXPECT_FALSE(PassesTests(s, Entry("sub", 0x10)));
    EXPECT_TRUE(PassesTests(s, Entry("Main.CLASS", 0x20)));
    s.Masks = {};
    EXPECT_FALSE(PassesTests(s, Entry("Main.class", 0x20)));
}

TEST(EntryNames, InvalidMaskRaisesEvenWhenAnotherTestRejects) {
    TSearchSettings s;  // no option set: the attribute test rejects everything
    s.Masks = {"[]"};
    EXPECT_THROW(PassesTests(s, Entry("a.b", 0x20)), EMaskException);
    s.Masks = {"*.*"};
    s.ExcludedMasks = {"[abc"};
    EXPECT_THROW(PassesTests(s, Entry("a.b", 0x20)), EMaskException);
}

platform::TSystemTime At(uint16_t year, uint16_t month, uint16_t day, uint16_t hour = 0, uint16_t minute = 0) {
    return platform::TSystemTime{.Year = year, .Month = month, .Day = day, .Hour = hour, .Minute = minute};
}

TEST(EntryDate, EncodesCalendarDays) {
    EXPECT_EQ(TryEncodeDate(1899, 12, 30), 0.0);
    EXPECT_EQ(TryEncodeDate(2004, 11, 26), 38317.0);
    EXPECT_EQ(TryEncodeDate(1, 1, 1), -693593.0);
    EXPECT_EQ(TryEncodeDate(2000, 2, 29), 36585.0);
    EXPECT_FALSE(TryEncodeDate(1900, 2, 29));
    EXPECT_FALSE(TryEncodeDate(2004, 13, 1));
    EXPECT_FALSE(TryEncodeDate(0, 0, 0));
}

struct TDateCase {
    TDateFilterAccessKind Access;
    TDateFilterKind Kind;
    bool Passes;
    const char* What;
};

TEST(EntryDate, ComparesWholeLocalDays) {
    // Created 25 Nov, last written 26 Nov at 23:59, last opened 27 Nov; bounds 26 Nov (noon) and 27 Nov.
    TFileInformations e = Entry("a.txt", 0x20);
    e.CreationTime = At(2004, 11, 25, 8);
    e.LastWriteTime = At(2004, 11, 26, 23, 59);
    e.LastAccessTime = At(2004, 11, 27);
    const TDateCase cases[] = {
        {dfakModifiedFiles, dfkSame, true, "23:59 is the same day as midnight"},
        {dfakCreatedFiles, dfkSame, false, "created the day before"},
        {dfakAnyFiles, dfkSame, true, "one of three suffices"},
        {dfakCreatedFiles, dfkBefore, true, "before the first day"},
        {dfakModifiedFiles, dfkBefore, false, "the same day is not before"},
        {dfakOpenedFiles, dfkAfter, true, "after the first day"},
        {dfakModifiedFiles, dfkAfter, false, "the same day is not after"},
        {dfakOpenedFiles, dfkBetween, true, "the second bound is inclusive"},
        {dfakCreatedFiles, dfkBetween, false, "before the first bound"},
    };
    for (const TDateCase& c : cases) {
        TSearchSettings s = MainWindowSettings();
        s.DateFilter = {
            .Enabled = true, .AccessKind = c.Access, .Kind = c.Kind, .FirstDate = 38317.5, .SecondDate = 38318.25};
        EXPECT_EQ(PassesTests(s, e), c.Passes) << c.What;
    }
}

TEST(EntryDate, UnconvertibleTimesNeverPass) {
    TSearchSettings s = MainWindowSettings();
    s.DateFilter = {.Enabled = true, .AccessKind = dfakAnyFiles, .Kind = dfkBefore, .FirstDate = 38317};
    EXPECT_FALSE(PassesTests(s, Entry("a.txt", 0x20)));  // all three times zero
}

}  // namespace
}  // namespace search
