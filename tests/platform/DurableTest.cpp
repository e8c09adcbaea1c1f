// Private folders, resolved paths, durable replacement and the user's settings folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#ifndef _WIN32
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

using testutil::ReadText;
using testutil::TTempDir;
using testutil::WriteFile;

TEST(PlatformUniqueDirectory, MakesNewFoldersOnlyAndFailsWhereNoneCanBeMade) {
    TTempDir dir;
    std::set<std::string> made;
    for (int i = 0; i < 20; ++i) {
        const std::string path = platform::CreateUniqueDirectory(dir.Path(), "run-");
        ASSERT_FALSE(path.empty());
        EXPECT_TRUE(platform::DirectoryExists(path));
        EXPECT_EQ(path.rfind(dir / "run-", 0), 0u) << path;
        made.insert(path);
    }
    EXPECT_EQ(made.size(), 20u);
    EXPECT_TRUE(platform::CreateUniqueDirectory(dir / "missing", "run-").empty());
    WriteFile(dir / "file", "not a folder");
    EXPECT_TRUE(platform::CreateUniqueDirectory(dir / "file", "run-").empty());
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(::stat(made.begin()->c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);  // nobody else may look in or plant files
#endif
}

TEST(PlatformReplaceFileDurably, PutsTheNewFileInPlaceOfTheOld) {
    TTempDir dir;
    WriteFile(dir / "old", "old content");
    WriteFile(dir / "new", "new content");
    ASSERT_TRUE(platform::ReplaceFileDurably(dir / "new", dir / "old"));
    EXPECT_EQ(ReadText(dir / "old"), "new content");
    EXPECT_FALSE(testutil::Exists(dir / "new"));
    EXPECT_FALSE(platform::ReplaceFileDurably(dir / "gone", dir / "old"));
    EXPECT_EQ(ReadText(dir / "old"), "new content");
}

TEST(PlatformFileFlush, FlushesAnOpenFileThroughToTheDisk) {
    TTempDir dir;
    const platform::THandle h = platform::FileCreate(dir / "f");
    ASSERT_NE(h, platform::kInvalidHandle);
    ASSERT_EQ(platform::FileWrite(h, "abc", 3), 3);
    EXPECT_TRUE(platform::FileFlush(h));
    EXPECT_TRUE(platform::FileClose(h));
    EXPECT_EQ(ReadText(dir / "f"), "abc");
}

#ifndef _WIN32
TEST(PlatformResolvePath, FollowsLinksAndMakesMissingPathsAbsolute) {
    TTempDir dir;
    WriteFile(dir / "real/x.jar", "x");
    ASSERT_EQ(::symlink((dir / "real").c_str(), (dir / "via").c_str()), 0);
    ASSERT_EQ(::symlink((dir / "via/x.jar").c_str(), (dir / "link.jar").c_str()), 0);
    const std::string real = platform::ResolvePath(dir / "real/x.jar");
    EXPECT_EQ(platform::ResolvePath(dir / "link.jar"), real);
    EXPECT_EQ(platform::ResolvePath(dir / "via/../via/x.jar"), real);
    EXPECT_EQ(platform::ResolvePath(dir / "none/../missing.jar"), platform::ExpandFileName(dir / "missing.jar"));
}

TEST(PlatformCopyPermissions, GivesTheModelsModeToTheNewFile) {
    TTempDir dir;
    WriteFile(dir / "model", "m");
    ASSERT_EQ(::chmod((dir / "model").c_str(), 0640), 0);
    const platform::THandle h = platform::FileCreate(dir / "copy");
    ASSERT_NE(h, platform::kInvalidHandle);
    EXPECT_TRUE(platform::CopyPermissions(dir / "model", h));
    platform::FileClose(h);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "copy").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_FALSE(platform::CopyPermissions(dir / "no-model", h));
}

// The base directory rules: an absolute $XDG_CONFIG_HOME, else ~/.config; a relative value is ignored. Without
// $HOME the user's home comes from the password file, as the C library's own lookup gives it.
TEST(PlatformUserConfigFolder, FollowsTheBaseDirectoryRules) {
    const char* savedXdg = std::getenv("XDG_CONFIG_HOME");
    const char* savedHome = std::getenv("HOME");
    const std::string xdg = savedXdg ? savedXdg : "", home = savedHome ? savedHome : "";
    const struct {
        const char* Xdg;
        const char* Home;
        std::string Expected;
    } cases[] = {
        {"/x/cfg", "/home/u", "/x/cfg"},
        {nullptr, "/home/u", "/home/u/.config"},
        {"", "/home/u", "/home/u/.config"},
        {"relative/cfg", "/home/u", "/home/u/.config"},
        {nullptr, nullptr, std::string(::getpwuid(::getuid())->pw_dir) + "/.config"},
    };
    for (const auto& c : cases) {
        c.Xdg ? ::setenv("XDG_CONFIG_HOME", c.Xdg, 1) : ::unsetenv("XDG_CONFIG_HOME");
        c.Home ? ::setenv("HOME", c.Home, 1) : ::unsetenv("HOME");
        EXPECT_EQ(platform::UserConfigFolder(), c.Expected) << (c.Xdg ? c.Xdg : "(unset)");
    }
    savedXdg ? ::setenv("XDG_CONFIG_HOME", xdg.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
    savedHome ? ::setenv("HOME", home.c_str(), 1) : ::unsetenv("HOME");
}
#endif

}  // namespace
