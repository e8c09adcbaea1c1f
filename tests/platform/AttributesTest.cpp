// Attributes and find-first/next: the bits, the listing order and the fields of each entry.
#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

using testutil::TTempDir;
using testutil::WriteFile;

std::vector<platform::TFindData> List(const std::string& pattern) {
    std::vector<platform::TFindData> found;
    platform::TFindHandle find;
    platform::TFindData data;
    for (bool ok = find.First(pattern, data); ok; ok = find.Next(data))
        found.push_back(data);
    return found;
}

std::vector<std::string> Names(const std::vector<platform::TFindData>& entries) {
    std::vector<std::string> names;
    for (const auto& e : entries)
        names.push_back(e.Name);
    return names;
}

TEST(PlatformAttributes, FileFolderAndMissingPath) {
    TTempDir dir;
    WriteFile(dir / "f.txt", "x");
    testutil::MakeDirs(dir / "sub");
    EXPECT_EQ(platform::GetFileAttributes(dir / "f.txt") & (platform::faDirectory | platform::faArchive),
              platform::faArchive);
    EXPECT_NE(platform::GetFileAttributes(dir / "sub") & platform::faDirectory, 0u);
    EXPECT_EQ(platform::GetFileAttributes(dir / "none"), platform::kInvalidAttributes);
    EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
    EXPECT_EQ(platform::GetFileAttributes(dir / "none/x"), platform::kInvalidAttributes);
    EXPECT_EQ(platform::LastError(), platform::kErrorPathNotFound);
    EXPECT_TRUE(platform::FileExists(dir / "f.txt"));
    EXPECT_FALSE(platform::FileExists(dir / "sub"));
    EXPECT_TRUE(platform::DirectoryExists(dir / "sub"));
    EXPECT_FALSE(platform::DirectoryExists(dir / "f.txt"));
}

TEST(PlatformAttributes, ReadOnlyBitIsSetAndCleared) {
    TTempDir dir;
    const std::string file = dir / "ro.txt";
    WriteFile(file, "x");
    EXPECT_EQ(platform::GetFileAttributes(file) & platform::faReadOnly, 0u);
    ASSERT_TRUE(platform::SetFileAttributes(file, platform::faReadOnly));
    EXPECT_NE(platform::GetFileAttributes(file) & platform::faReadOnly, 0u);
    ASSERT_TRUE(platform::SetFileAttributes(file, platform::faArchive));
    EXPECT_EQ(platform::GetFileAttributes(file) & platform::faReadOnly, 0u);
    EXPECT_FALSE(platform::SetFileAttributes(dir / "none", platform::faArchive));
    EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
}

// Wine hides dot names as the POSIX layer does; a real Windows would not.
TEST(PlatformAttributes, NameBeginningWithDotIsHidden) {
    if (!testutil::UnderWine() && platform::PathDelim == '\\')
        GTEST_SKIP() << "dot names are plain on Windows";
    TTempDir dir;
    WriteFile(dir / ".hidden", "x");
    WriteFile(dir / "plain", "x");
    EXPECT_NE(platform::GetFileAttributes(dir / ".hidden") & platform::faHidden, 0u);
    EXPECT_EQ(platform::GetFileAttributes(dir / "plain") & platform::faHidden, 0u);
}

TEST(PlatformFind, ListsDotEntriesFirstThenEveryName) {
    TTempDir dir;
    for (const char* name : {"b.class", "A.txt", "c", "_x"})
        WriteFile(dir / name, "data");
    testutil::MakeDirs(dir / "Sub");
    const auto names = Names(List(dir / "*.*"));
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], ".");
    EXPECT_EQ(names[1], "..");
    EXPECT_EQ(std::set<std::string>(names.begin() + 2, names.end()),
              (std::set<std::string>{"A.txt", "b.class", "c", "Sub", "_x"}));
    EXPECT_EQ(names.size(), 7u);
}

// The POSIX layer sorts as NTFS does so walks are the same on every run; Wine keeps the host's order.
TEST(PlatformFind, PosixListingIsSortedWithoutRegardToCase) {
    if (platform::PathDelim == '\\')
        GTEST_SKIP() << "order is the file system's";
    TTempDir dir;
    for (const char* name : {"b", "A", "_", "C", "a1"})
        WriteFile(dir / name, "");
    EXPECT_EQ(Names(List(dir / "*")), (std::vector<std::string>{".", "..", "A", "a1", "b", "C", "_"}));
}

TEST(PlatformFind, MasksMatchWithoutRegardToCase) {
    TTempDir dir;
    for (const char* name : {"One.CLASS", "two.class", "three.txt", "classic"})
        WriteFile(dir / name, "");
    struct TCase {
        const char* Mask;
        std::set<std::string> Expected;
    };
    const TCase cases[] = {
        {"*.class", {"One.CLASS", "two.class"}},
        {"t*", {"two.class", "three.txt"}},
        {"???.class", {"One.CLASS", "two.class"}},
        {"classic", {"classic"}},
        {"CLASSIC", {"classic"}},
    };
    for (const auto& c : cases) {
        const auto names = Names(List(dir / c.Mask));
        EXPECT_EQ(std::set<std::string>(names.begin(), names.end()), c.Expected) << c.Mask;
    }
}

TEST(PlatformFind, FieldsDescribeEachEntry) {
    TTempDir dir;
    WriteFile(dir / "five.bin", "12345");
    testutil::MakeDirs(dir / "folder");
    for (const auto& e : List(dir / "*")) {
        if (e.Name == "five.bin") {
            EXPECT_EQ(e.Size, 5u);
            EXPECT_EQ(e.Attr & platform::faDirectory, 0u);
            EXPECT_GT(e.LastWriteTime.Value, 0u);
            EXPECT_GT(e.CreationTime.Value, 0u);
            EXPECT_GT(e.LastAccessTime.Value, 0u);
        } else {
            EXPECT_NE(e.Attr & platform::faDirectory, 0u) << e.Name;
        }
    }
}

TEST(PlatformFind, ReportsMissingFolderAndNoMatch) {
    TTempDir dir;
    platform::TFindHandle find;
    platform::TFindData data;
    EXPECT_FALSE(find.First(dir / "none/*.*", data));
    EXPECT_EQ(platform::LastError(), platform::kErrorPathNotFound);
    EXPECT_FALSE(find.IsOpen());
    EXPECT_FALSE(find.First(dir / "*.class", data));
    EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
    WriteFile(dir / "x.class", "");
    ASSERT_TRUE(find.First(dir / "*.class", data));
    EXPECT_TRUE(find.IsOpen());
    EXPECT_FALSE(find.Next(data));
    EXPECT_EQ(platform::LastError(), platform::kErrorNoMoreFiles);
    platform::TFindHandle moved = std::move(find);
    EXPECT_TRUE(moved.IsOpen());
    moved.Close();
    EXPECT_FALSE(moved.IsOpen());
}

}  // namespace
