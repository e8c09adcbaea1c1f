// The one folder-of-a-path rule, case by case for the system built for.
#include <gtest/gtest.h>

#include <string>

#include "platform/Paths.h"

namespace {

struct TFolderCase {
    const char* Path;
    const char* What;
    const char* Folder;
};

TEST(PlatformFolderOf, GivesTheFolderPartWithRootsKept) {
    const TFolderCase cases[] = {
        {"x.jar", "a bare name is in the current folder", "."},
        {"", "nothing names the current folder", "."},
#ifdef _WIN32
        {"C:\\x.jad", "a drive's root keeps its delimiter", "C:\\"},
        {"C:/x.jad", "forward delimiter at a drive's root", "C:/"},
        {"C:\\games\\x.jar", "a folder loses its delimiter", "C:\\games"},
        {"games/sub\\x.jar", "both delimiters count", "games/sub"},
        {"\\x.jar", "the current drive's root", "\\"},
        {"C:\\games\\\\x.jar", "repeated delimiters belong to no name", "C:\\games"},
        {"C:\\games\\", "a trailing delimiter belongs to no name", "C:\\"},
        {"C:\\", "a drive's root is its own folder", "C:\\"},
#else
        {"/x.jar", "the root keeps its delimiter", "/"},
        {"//x.jar", "repeated delimiters at the root", "/"},
        {"/", "the root is its own folder", "/"},
        {"games/x.jar", "a relative folder", "games"},
        {"/home/u/games/x.jar", "an absolute folder", "/home/u/games"},
        {"games//x.jar", "repeated delimiters belong to no name", "games"},
        {"games/sub/", "a trailing delimiter belongs to no name", "games"},
        {"dir\\x.jar", "a backslash is part of a name here", "."},
#endif
    };
    for (const TFolderCase& c : cases)
        EXPECT_EQ(platform::FolderOf(c.Path), c.Folder) << c.What << ": " << c.Path;
}

TEST(PlatformFolderOf, ReachesAFixedPointClimbingUp) {
#ifdef _WIN32
    const std::string start = "C:\\a\\b\\c.jar";
    const std::string top = "C:\\";
#else
    const std::string start = "/a/b/c.jar";
    const std::string top = "/";
#endif
    std::string folder = start;
    for (int i = 0; i < 5; ++i)
        folder = platform::FolderOf(folder);
    EXPECT_EQ(folder, top);
    EXPECT_EQ(platform::FolderOf("a/b"), platform::FolderOf(platform::FolderOf("a/b/c")));
    EXPECT_EQ(platform::FolderOf(platform::FolderOf("a")), ".");
}

}  // namespace
