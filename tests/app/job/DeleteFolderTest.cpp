// Folder removal through the shell: whole trees, relative names, and names the shell must not see.
#include <gtest/gtest.h>

#include "app/job/DeleteFolder.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

using testutil::TTempDir;

// The current folder is changed for one test and restored on every path.
class TCurrentFolder {
public:
    explicit TCurrentFolder(const std::string& path) : FBefore(platform::GetCurrentDirectory()) {
        EXPECT_TRUE(platform::SetCurrentDirectory(path));
    }
    ~TCurrentFolder() { platform::SetCurrentDirectory(FBefore); }
    TCurrentFolder(const TCurrentFolder&) = delete;
    TCurrentFolder& operator=(const TCurrentFolder&) = delete;

private:
    std::string FBefore;
};

void MakeWorkTree(const TTempDir& dir) {
    testutil::WriteFile(dir / "temp/com/vidorurud/fullscreen/WideCv.class", "x");
    testutil::WriteFile(dir / "temp/META-INF/MANIFEST.MF", "Manifest-Version: 1.0\n");
    testutil::WriteFile(dir / "temp/noext", "y");
    testutil::MakeDirs(dir / "temp/empty");
}

TEST(DeleteFolder, RemovesAbsoluteTreeWithEverythingInIt) {
    TTempDir dir;
    MakeWorkTree(dir);
    testutil::WriteFile(dir / "keep.txt", "k");
    EXPECT_TRUE(app::DeleteFolder(dir / "temp"));
    EXPECT_FALSE(testutil::Exists(dir / "temp"));
    EXPECT_TRUE(testutil::Exists(dir / "keep.txt"));
}

TEST(DeleteFolder, RelativeNameIsTakenFromTheCurrentFolder) {
    TTempDir dir;
    MakeWorkTree(dir);
    {
        TCurrentFolder here(dir.Path());
        EXPECT_TRUE(app::DeleteFolder("temp"));
    }
    EXPECT_FALSE(testutil::Exists(dir / "temp"));
}

TEST(DeleteFolder, MissingFolderIsAFailure) {
    TTempDir dir;
    EXPECT_FALSE(app::DeleteFolder(dir / "none"));
}

TEST(DeleteFolder, RefusesNamesTheShellWouldMisread) {
    TTempDir dir;
    MakeWorkTree(dir);
    testutil::MakeDirs(dir / "other");
    EXPECT_FALSE(app::DeleteFolder(""));
    // A NUL would end the first name and make the rest a second one.
    const std::string twoNames = (dir / "none") + std::string(1, '\0') + (dir / "other");
    EXPECT_FALSE(app::DeleteFolder(twoNames));
    EXPECT_TRUE(testutil::Exists(dir / "other"));
}

// The request holds 256 bytes: a name of up to 254 and the two closing NULs. On Windows such names pass
// the full-path limit of the shell, so the boundary is checked where paths may be longer.
TEST(DeleteFolder, NameTooLongForTheRequestIsRefused) {
    if (platform::PathDelim == '\\')
        GTEST_SKIP() << "the shell's full-path limit comes first";
    TTempDir dir;
    const std::string longest(254, 'x'), tooLong(255, 'y');
    testutil::MakeDirs(dir / longest);
    testutil::MakeDirs(dir / tooLong);
    {
        TCurrentFolder here(dir.Path());
        EXPECT_TRUE(app::DeleteFolder(longest));
        EXPECT_FALSE(app::DeleteFolder(tooLong));
    }
    EXPECT_FALSE(testutil::Exists(dir / longest));
    EXPECT_TRUE(testutil::Exists(dir / tooLong));
}

}  // namespace
