// The file-handle owner and the write-beside routine: one close per handle, no temporary file left behind.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <utility>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/FileHandle.h"
#include "platform/Platform.h"
#include "platform/WriteBeside.h"
#include "tests/TestUtil.h"

namespace {

using testutil::ReadText;
using testutil::TTempDir;
using testutil::WriteFile;

// The names in a folder, "." and ".." left out.
int CountFiles(const std::string& folder) {
    platform::TFindHandle find;
    platform::TFindData data;
    int count = 0;
    for (bool more = find.First(folder + platform::PathDelim + "*", data); more; more = find.Next(data))
        count += data.Name != "." && data.Name != ".." ? 1 : 0;
    return count;
}

bool WriteText(platform::TBesideFile& file, const std::string& text) {
    const platform::THandle h = file.Handle();
    return h != platform::kInvalidHandle &&
           platform::FileWrite(h, text.data(), static_cast<uint32_t>(text.size())) == static_cast<int32_t>(text.size());
}

TEST(PlatformFileHandle, ClosesOnceWhetherMovedClosedOrReleased) {
    TTempDir dir;
    WriteFile(dir / "a", "abc");
    platform::TFileHandle first(platform::FileOpen(dir / "a", platform::fmOpenRead | platform::fmShareExclusive));
    ASSERT_TRUE(first.Valid());
    platform::TFileHandle second(std::move(first));
    EXPECT_FALSE(first.Valid());
    ASSERT_TRUE(second.Valid());
    char byte = 0;
    EXPECT_EQ(platform::FileRead(second.Get(), &byte, 1), 1) << "the moved handle is the same open file";
    EXPECT_TRUE(second.Close());
    EXPECT_FALSE(second.Valid());
    EXPECT_TRUE(second.Close()) << "nothing open: nothing to fail";

    platform::TFileHandle third(platform::FileOpen(dir / "a", platform::fmOpenRead | platform::fmShareDenyNone));
    const platform::THandle raw = third.Release();
    EXPECT_FALSE(third.Valid());
    EXPECT_TRUE(platform::FileClose(raw)) << "a released handle is the caller's to close";
}

TEST(PlatformFileHandle, KeepsTheErrorCodeOfWhatFailedBeforeItWent) {
    TTempDir dir;
    WriteFile(dir / "a", "abc");
    {
        platform::TFileHandle file(platform::FileOpen(dir / "a", platform::fmOpenRead | platform::fmShareDenyNone));
        ASSERT_TRUE(file.Valid());
        platform::SetLastError(platform::kErrorDiskFull);
    }
    EXPECT_EQ(platform::LastError(), platform::kErrorDiskFull);
    platform::TFileHandle target;
    target = platform::TFileHandle(platform::FileOpen(dir / "a", platform::fmOpenRead | platform::fmShareDenyNone));
    EXPECT_TRUE(target.Valid());
}

TEST(PlatformWriteBeside, ReplacesOrRefusesAnExistingTargetAsTheRuleSays) {
    TTempDir dir;
    WriteFile(dir / "t.txt", "old");
    const auto writeNew = [](platform::TBesideFile& file) { return WriteText(file, "new"); };
    EXPECT_FALSE(platform::WriteBeside(dir / "t.txt", writeNew, {.Prefix = "gvt", .Replace = false}));
    EXPECT_EQ(platform::LastError(), platform::kErrorAlreadyExists);
    EXPECT_EQ(ReadText(dir / "t.txt"), "old");
    EXPECT_EQ(CountFiles(dir.Path()), 1) << "the temporary file is gone";
    EXPECT_TRUE(platform::WriteBeside(dir / "t.txt", writeNew, {.Prefix = "gvt"}));
    EXPECT_EQ(ReadText(dir / "t.txt"), "new");
    EXPECT_TRUE(platform::WriteBeside(dir / "u.txt", writeNew, {.Prefix = "gvt", .Replace = false}));
    EXPECT_EQ(ReadText(dir / "u.txt"), "new");
    EXPECT_EQ(CountFiles(dir.Path()), 2);
}

TEST(PlatformWriteBeside, LeavesNoTemporaryFileWhenTheWriteFailsOrThrows) {
    TTempDir dir;
    WriteFile(dir / "t.txt", "old");
    const auto fail = [](platform::TBesideFile& file) {
        WriteText(file, "half");
        platform::SetLastError(platform::kErrorDiskFull);
        return false;
    };
    EXPECT_FALSE(platform::WriteBeside(dir / "t.txt", fail, {.Prefix = "gvt"}));
    EXPECT_EQ(platform::LastError(), platform::kErrorDiskFull);
    const auto raise = [](platform::TBesideFile& file) -> bool {
        WriteText(file, "half");
        throw std::runtime_error("stopped");
    };
    EXPECT_THROW(platform::WriteBeside(dir / "t.txt", raise, {.Prefix = "gvt"}), std::runtime_error);
    EXPECT_EQ(ReadText(dir / "t.txt"), "old");
    EXPECT_EQ(CountFiles(dir.Path()), 1);
    const auto writeNew = [](platform::TBesideFile& file) { return WriteText(file, "new"); };
    EXPECT_FALSE(platform::WriteBeside(dir / "missing/t.txt", writeNew, {.Prefix = "gvt"}));
    EXPECT_NE(platform::LastError(), platform::kErrorSuccess);
}

TEST(PlatformWriteBeside, TakesTheModelsRightsOrFailsWithoutAModelUnlessAllowed) {
    TTempDir dir;
    WriteFile(dir / "model", "m");
#ifndef _WIN32
    ASSERT_EQ(::chmod((dir / "model").c_str(), 0640), 0);
#endif
    const auto writeNew = [](platform::TBesideFile& file) { return WriteText(file, "new"); };
    EXPECT_TRUE(platform::WriteBeside(dir / "t.txt", writeNew, {.Prefix = "gvt", .Model = dir / "model"}));
#ifndef _WIN32
    struct stat st {};
    ASSERT_EQ(::stat((dir / "t.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
#endif
    EXPECT_FALSE(platform::WriteBeside(dir / "u.txt", writeNew, {.Prefix = "gvt", .Model = dir / "gone"}));
    EXPECT_FALSE(platform::FileExists(dir / "u.txt"));
    EXPECT_TRUE(platform::WriteBeside(dir / "u.txt", writeNew,
                                      {.Prefix = "gvt", .Model = dir / "gone", .ModelMayBeMissing = true}));
    EXPECT_EQ(CountFiles(dir.Path()), 3);
}

TEST(PlatformWriteBeside, SettlesACompleteFileWithoutCopyingIt) {
    TTempDir dir;
    WriteFile(dir / "t.txt", "old");
    WriteFile(dir / "built", "new");
    EXPECT_TRUE(platform::SettleBeside(dir / "built", dir / "t.txt", {.Model = dir / "t.txt"}));
    EXPECT_EQ(ReadText(dir / "t.txt"), "new");
    EXPECT_FALSE(platform::FileExists(dir / "built"));
    EXPECT_FALSE(platform::SettleBeside(dir / "built", dir / "t.txt", {}));
    EXPECT_EQ(ReadText(dir / "t.txt"), "new");
}

}  // namespace
