// Files by name: copy with fail-if-exists, move, replace, delete and unique temporary names.
#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

using testutil::ReadText;
using testutil::TTempDir;
using testutil::WriteFile;

TEST(PlatformCopyFile, RefusesExistingTargetWhenAskedToFail) {
    TTempDir dir;
    WriteFile(dir / "a", "new");
    WriteFile(dir / "b", "old");
    EXPECT_FALSE(platform::CopyFile(dir / "a", dir / "b", true));
    EXPECT_EQ(platform::LastError(), platform::kErrorFileExists);
    EXPECT_EQ(ReadText(dir / "b"), "old");
    EXPECT_TRUE(platform::CopyFile(dir / "a", dir / "b", false));
    EXPECT_EQ(ReadText(dir / "b"), "new");
}

TEST(PlatformTempFileName, CreatesEmptyFileWithPrefixAndHexName) {
    TTempDir dir;
    const std::string path = platform::GetTempFileName(dir.Path(), "kxa");
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(platform::FileExists(path));
    EXPECT_EQ(ReadText(path), "");
}

}  // namespace
