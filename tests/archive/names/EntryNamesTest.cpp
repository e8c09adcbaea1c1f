// Output paths and mask selection of the reader, as tables of (input, rule exercised, outcome).
#include <gtest/gtest.h>

#include "archive/names/EntryNames.h"
#include "archive/read/EntryInfo.h"
#include "archive/read/FileSpec.h"
#include "platform/Platform.h"

using namespace archive;

namespace {
// Test texts use "\" for the delimiter; this turns them into the platform's.
std::string P(std::string text) {
    for (char& c : text)
        if (c == '\\')
            c = platform::PathDelim;
    return text;
}
}  // namespace

TEST(EntryNames, FormsOutputPathsBelowTheTarget) {
    const struct {
        const char* Name;
        bool UseStoredDirs;
        const char* Expected;  // empty: refused
        const char* What;
    } cases[] = {
        {"a\\b\\c.class", true, "T\\a\\b\\c.class", "stored folders kept"},
        {"a\\b\\c.class", false, "T\\c.class", "stored folders dropped"},
        {"C:\\x\\y.txt", true, "T\\x\\y.txt", "drive and delimiter stripped"},
        {"C:y.txt", true, "T\\y.txt", "drive without delimiter stripped"},
        {"\\x\\y.txt", true, "T\\x\\y.txt", "one leading delimiter stripped"},
        {"dir\\", true, "T\\dir\\", "a folder entry has no file-name part"},
        {"..\\x", true, "", "parent of the target"},
        {"a\\..\\..\\x", true, "", "climbing out through a folder"},
        {"a\\..", true, "", "a trailing parent component"},
        {"C:..\\x", true, "", "drive-relative parent"},
        {"a\\b:c", true, "", "a colon left after the drive rule"},
        {"a..b\\..c", true, "T\\a..b\\..c", "dots inside names are fine"},
    };
    for (const auto& c : cases) {
        const auto path = OutputPath(P("T\\"), P(c.Name), c.UseStoredDirs);
        EXPECT_EQ(path.value_or(""), P(c.Expected)) << c.What;
    }
}

TEST(EntryNames, NormalisesTheExtractionFolder) {
    EXPECT_EQ(NormalizeExtractDir("out", ""), P("out\\"));
    EXPECT_EQ(NormalizeExtractDir("a/b\\c/", ""), P("a\\b\\c\\"));
    EXPECT_EQ(NormalizeExtractDir("", P("dir\\game.jar")), P("dir\\"));
    EXPECT_EQ(NormalizeExtractDir("", ""), "");
}

TEST(EntryNames, ConvertsBothDelimitersOfStoredNames) {
    EXPECT_EQ(ConvertEntryName("a/b\\c.txt", false), P("a\\b\\c.txt"));
    EXPECT_EQ(ConvertEntryName("plain.txt", true), "plain.txt");
}

TEST(UnZipFileSpec, SelectsByMaskWithTheFolderRules) {
    const struct {
        const char* Mask;
        const char* Name;
        bool Recurse;
        bool Expected;
        const char* MaskAfter;
        const char* What;
    } cases[] = {
        {"*.*", "README", true, true, "*.*", "a dot is added to the name only"},
        {"*.*", "dir\\", true, true, "*.*", "folder entries match star-dot-star"},
        {"*.class", "com\\x\\A.CLASS", true, true, "*.class", "name part only when recursing"},
        {"*.class", "com\\x\\A.class", false, false, "*.class", "folders must agree without recursion"},
        {"com\\x\\*.class", "com\\x\\A.class", false, true, "com\\x\\*.class", "same folder"},
        {"COM\\X\\A.CLASS", "com\\x\\A.class", false, true, "COM\\X\\A.CLASS", "equal names ignoring case"},
        {"nomatch", "file.txt", true, false, "nomatch.", "a failed mask without a dot gains one"},
        {"README", "README", true, true, "README", "exact match keeps the mask"},
        {"READ?", "README", true, false, "READ?.", "no match after the retry either"},
    };
    for (const auto& c : cases) {
        std::string mask = P(c.Mask);
        EXPECT_EQ(MaskSelects(mask, P(c.Name), c.Recurse), c.Expected) << c.What;
        EXPECT_EQ(mask, P(c.MaskAfter)) << c.What;
    }
}
