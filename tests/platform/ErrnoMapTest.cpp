// The POSIX layer's mapping of errno values onto Windows error codes.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <cerrno>

#include "platform/Paths.h"
#include "platform/posix/Posix.h"
#include "tests/TestUtil.h"

namespace {

TEST(PosixErrorMap, ErrnoValuesBecomeWindowsCodes) {
    const struct {
        int Errno;
        uint32_t Code;
    } cases[] = {
        {0, platform::kErrorSuccess},
        {ENOTDIR, platform::kErrorPathNotFound},
        {EACCES, platform::kErrorAccessDenied},
        {EPERM, platform::kErrorAccessDenied},
        {EISDIR, platform::kErrorAccessDenied},
        {EROFS, platform::kErrorWriteProtect},
        {EEXIST, platform::kErrorFileExists},
        {ENOTEMPTY, platform::kErrorDirNotEmpty},
        {EBUSY, platform::kErrorSharingViolation},
        {ENOSPC, platform::kErrorDiskFull},
        {EDQUOT, platform::kErrorDiskFull},
        {EMFILE, platform::kErrorTooManyOpenFiles},
        {EBADF, platform::kErrorInvalidHandle},
        {ENOMEM, platform::kErrorNotEnoughMemory},
        {EINVAL, platform::kErrorInvalidParameter},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::posix::WindowsError(c.Errno), c.Code) << c.Errno;
}

// Windows tells a missing file in an existing folder from a path whose folder is missing.
TEST(PosixErrorMap, MissingNameDependsOnItsFolder) {
    testutil::TTempDir dir;
    EXPECT_EQ(platform::posix::WindowsError(ENOENT, dir / "none"), platform::kErrorFileNotFound);
    EXPECT_EQ(platform::posix::WindowsError(ENOENT, dir / "none/x"), platform::kErrorPathNotFound);
    EXPECT_EQ(platform::posix::WindowsError(ENOENT), platform::kErrorFileNotFound);
}

TEST(PosixPathParts, BaseAndFolderNames) {
    const struct {
        const char *Path, *Base, *Dir;
    } cases[] = {
        {"/a/b/c.txt", "c.txt", "/a/b"},
        {"c.txt", "c.txt", "."},
        {"/a/b/", "b", "/a"},
        {"/c", "c", "/"},
        {"/", "/", "/"},
        {"a//b", "b", "a"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::posix::BaseName(c.Path), c.Base) << c.Path;
        EXPECT_EQ(platform::FolderOf(c.Path), c.Dir) << c.Path;
    }
}

}  // namespace
#endif
