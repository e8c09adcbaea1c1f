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

TEST(PlatformCopyFile, KeepsLastWriteTimeAndReportsMissingSource) {
    TTempDir dir;
    WriteFile(dir / "a", "data");
    platform::TFileTime when;
    ASSERT_TRUE(platform::DosDateTimeToFileTime((30 << 9) | (5 << 5) | 4, 0, when));
    ASSERT_TRUE(platform::SetFileTimes(dir / "a", nullptr, nullptr, &when));
    ASSERT_TRUE(platform::CopyFile(dir / "a", dir / "b", true));
    platform::TFindHandle find;
    platform::TFindData data;
    ASSERT_TRUE(find.First(dir / "b", data));
    EXPECT_EQ(data.LastWriteTime, when);
    EXPECT_FALSE(platform::CopyFile(dir / "none", dir / "c", false));
    EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
    EXPECT_FALSE(platform::CopyFile(dir / "a", dir / "none/c", false));
    EXPECT_EQ(platform::LastError(), platform::kErrorPathNotFound);
}

TEST(PlatformMoveFile, RefusesExistingTargetWhileReplaceOverwrites) {
    TTempDir dir;
    WriteFile(dir / "a", "A");
    WriteFile(dir / "b", "B");
    EXPECT_FALSE(platform::MoveFile(dir / "a", dir / "b"));
    EXPECT_EQ(platform::LastError(), platform::kErrorAlreadyExists);
    EXPECT_EQ(ReadText(dir / "b"), "B");
    ASSERT_TRUE(platform::ReplaceFile(dir / "a", dir / "b"));
    EXPECT_EQ(ReadText(dir / "b"), "A");
    EXPECT_FALSE(platform::FileExists(dir / "a"));
    ASSERT_TRUE(platform::MoveFile(dir / "b", dir / "c"));
    EXPECT_EQ(ReadText(dir / "c"), "A");
    EXPECT_FALSE(platform::MoveFile(dir / "none", dir / "d"));
    EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
}

TEST(PlatformDeleteFile, RemovesFileButNotReadOnlyOrFolder) {
    TTempDir dir;
    WriteFile(dir / "a", "A");
    EXPECT_TRUE(platform::DeleteFile(dir / "a"));
    EXPECT_FALSE(platform::FileExists(dir / "a"));
    EXPECT_FALSE(platform::DeleteFile(dir / "a"));
    EXPECT_EQ(platform::LastError(), platform::kErrorFileNotFound);
    testutil::MakeDirs(dir / "sub");
    EXPECT_FALSE(platform::DeleteFile(dir / "sub"));
    EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied);
    WriteFile(dir / "ro", "R");
    ASSERT_TRUE(platform::SetFileAttributes(dir / "ro", platform::faReadOnly));
    EXPECT_FALSE(platform::DeleteFile(dir / "ro"));
    EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied);
}

TEST(PlatformFolders, CreateRemoveAndCurrentFolder) {
    TTempDir dir;
    const std::string sub = dir / "sub";
    ASSERT_TRUE(platform::CreateDirectory(sub));
    EXPECT_FALSE(platform::CreateDirectory(sub));
    EXPECT_EQ(platform::LastError(), platform::kErrorAlreadyExists);
    EXPECT_FALSE(platform::CreateDirectory(dir / "none/sub"));
    EXPECT_EQ(platform::LastError(), platform::kErrorPathNotFound);
    WriteFile(dir / "sub/f", "x");
    EXPECT_FALSE(platform::RemoveDirectory(sub));
    EXPECT_EQ(platform::LastError(), platform::kErrorDirNotEmpty);
    const std::string before = platform::GetCurrentDirectory();
    ASSERT_TRUE(platform::SetCurrentDirectory(sub));
    EXPECT_EQ(platform::ExpandFileName("f"), platform::ExpandFileName(sub + platform::PathDelim + "f"));
    EXPECT_TRUE(platform::FileExists("f"));
    ASSERT_TRUE(platform::SetCurrentDirectory(before));
    ASSERT_TRUE(platform::DeleteFile(dir / "sub/f"));
    EXPECT_TRUE(platform::RemoveDirectory(sub));
    EXPECT_FALSE(platform::DirectoryExists(sub));
}

TEST(PlatformFolders, ExpandFileNameFoldsDotSegments) {
    TTempDir dir;
    const std::string d(1, platform::PathDelim);
    EXPECT_EQ(platform::ExpandFileName(dir.Path() + d + "a" + d + "." + d + "b" + d + ".." + d + "c"),
              dir.Path() + d + "a" + d + "c");
    EXPECT_FALSE(platform::ExeName().empty());
    EXPECT_TRUE(platform::FileExists(platform::ExeName()));
}

TEST(PlatformTempFileName, CreatesEmptyFileWithPrefixAndHexName) {
    TTempDir dir;
    const std::string path = platform::GetTempFileName(dir.Path(), "kxa");
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(platform::FileExists(path));
    EXPECT_EQ(ReadText(path), "");
    const std::string name = path.substr(path.find_last_of(platform::PathDelim) + 1);
    ASSERT_GE(name.size(), 9u);
    EXPECT_EQ(name.substr(0, 3), "kxa");
    EXPECT_EQ(name.substr(name.size() - 4), ".tmp");
    const std::string hex = name.substr(3, name.size() - 7);
    EXPECT_LE(hex.size(), 4u);
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEFabcdef"), std::string::npos) << name;  // Wine writes lower case
}

TEST(PlatformTempFileName, EveryCallGivesANewFileAndLongPrefixesAreCut) {
    TTempDir dir;
    const std::string a = platform::GetTempFileName(dir.Path(), "kxa");
    const std::string b = platform::GetTempFileName(dir.Path(), "kxa");
    EXPECT_NE(a, b);
    EXPECT_TRUE(platform::FileExists(a));
    EXPECT_TRUE(platform::FileExists(b));
    const std::string c = platform::GetTempFileName(dir.Path(), "longer");
    EXPECT_EQ(c.substr(c.find_last_of(platform::PathDelim) + 1, 4).substr(0, 3), "lon");
    EXPECT_EQ(platform::GetTempFileName(dir / "none", "kxa"), "");
    EXPECT_FALSE(platform::GetTempPath().empty());
    EXPECT_EQ(platform::GetTempPath().back(), platform::PathDelim);
}

TEST(PlatformHandles, ReadWriteSeekTruncateAndSize) {
    TTempDir dir;
    const std::string file = dir / "h.bin";
    platform::THandle h = platform::FileCreate(file);
    ASSERT_NE(h, platform::kInvalidHandle);
    EXPECT_EQ(platform::FileWrite(h, "0123456789", 10), 10);
    EXPECT_EQ(platform::FileSize(h), 10);
    EXPECT_EQ(platform::FileSeek(h, 4, platform::kSeekBegin), 4);
    char buf[8] = {};
    EXPECT_EQ(platform::FileRead(h, buf, 3), 3);
    EXPECT_EQ(std::string(buf, 3), "456");
    EXPECT_EQ(platform::FileSeek(h, -2, platform::kSeekEnd), 8);
    EXPECT_EQ(platform::FileRead(h, buf, 8), 2);  // a short read at the end is no error
    EXPECT_EQ(platform::FileRead(h, buf, 8), 0);
    EXPECT_EQ(platform::FileSeek(h, 6, platform::kSeekBegin), 6);
    EXPECT_TRUE(platform::FileTruncate(h));
    EXPECT_EQ(platform::FileSize(h), 6);
    EXPECT_EQ(platform::FileSeek(h, -1, platform::kSeekBegin), -1);
    EXPECT_EQ(platform::LastError(), platform::kErrorNegativeSeek);
    EXPECT_TRUE(platform::FileClose(h));
    EXPECT_EQ(ReadText(file), "012345");
}

TEST(PlatformHandles, OpenFailuresCarryWindowsCodes) {
    TTempDir dir;
    struct TCase {
        std::string Path;
        uint32_t Mode;
        uint32_t Error;
    };
    WriteFile(dir / "ro", "x");
    ASSERT_TRUE(platform::SetFileAttributes(dir / "ro", platform::faReadOnly));
    testutil::MakeDirs(dir / "sub");
    const TCase cases[] = {
        {dir / "none", platform::fmOpenRead, platform::kErrorFileNotFound},
        {dir / "none/x", platform::fmOpenRead, platform::kErrorPathNotFound},
        {dir / "sub", platform::fmOpenReadWrite, platform::kErrorAccessDenied},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(platform::FileOpen(c.Path, c.Mode), platform::kInvalidHandle) << c.Path;
        EXPECT_EQ(platform::LastError(), c.Error) << c.Path;
    }
    // Wine running as root writes through the missing permission; Windows and our layer refuse.
    if (!testutil::UnderWine()) {
        EXPECT_EQ(platform::FileOpen(dir / "ro", platform::fmOpenReadWrite), platform::kInvalidHandle);
        EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied);
    }
    const platform::THandle h = platform::FileOpen(dir / "ro", platform::fmOpenRead | platform::fmShareDenyNone);
    ASSERT_NE(h, platform::kInvalidHandle);
    EXPECT_TRUE(platform::FileClose(h));
}

// Creating only where nothing is there never touches an existing file; creating outright replaces one,
// but not a read-only one or a folder.
TEST(PlatformHandles, CreateNewAndCreateOverExistingFiles) {
    TTempDir dir;
    WriteFile(dir / "old", "keep");
    testutil::MakeDirs(dir / "sub");
    EXPECT_EQ(platform::FileCreateNew(dir / "old"), platform::kInvalidHandle);
    EXPECT_EQ(platform::LastError(), platform::kErrorFileExists);
    EXPECT_EQ(ReadText(dir / "old"), "keep");
    EXPECT_EQ(platform::FileCreateNew(dir / "none/x"), platform::kInvalidHandle);
    EXPECT_EQ(platform::LastError(), platform::kErrorPathNotFound);
    EXPECT_EQ(platform::FileCreate(dir / "sub"), platform::kInvalidHandle);
    EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied);

    platform::THandle h = platform::FileCreateNew(dir / "new");
    ASSERT_NE(h, platform::kInvalidHandle);
    EXPECT_EQ(platform::FileWrite(h, "abc", 3), 3);
    EXPECT_TRUE(platform::FileClose(h));
    EXPECT_EQ(ReadText(dir / "new"), "abc");

    h = platform::FileCreate(dir / "old");
    ASSERT_NE(h, platform::kInvalidHandle);
    EXPECT_EQ(platform::FileSize(h), 0);
    EXPECT_TRUE(platform::FileClose(h));
    EXPECT_EQ(ReadText(dir / "old"), "");

    // Wine running as root writes through the missing permission; Windows and our layer refuse.
    if (!testutil::UnderWine()) {
        WriteFile(dir / "ro", "kept");
        ASSERT_TRUE(platform::SetFileAttributes(dir / "ro", platform::faReadOnly));
        EXPECT_EQ(platform::FileCreate(dir / "ro"), platform::kInvalidHandle);
        EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied);
        EXPECT_EQ(platform::FileOpen(dir / "ro", platform::fmOpenWrite), platform::kInvalidHandle);
        EXPECT_EQ(platform::LastError(), platform::kErrorAccessDenied);
        EXPECT_EQ(ReadText(dir / "ro"), "kept");
    }
}

// Sharing is the system's business: Windows enforces it, the POSIX layer cannot.
TEST(PlatformHandles, ExclusiveOpenBlocksASecondOpenOnWindows) {
    if (platform::PathDelim == '/')
        GTEST_SKIP() << "no sharing modes on POSIX";
    TTempDir dir;
    WriteFile(dir / "x", "x");
    const platform::THandle h = platform::FileOpen(dir / "x", platform::fmOpenReadWrite | platform::fmShareExclusive);
    ASSERT_NE(h, platform::kInvalidHandle);
    EXPECT_EQ(platform::FileOpen(dir / "x", platform::fmOpenRead | platform::fmShareDenyNone),
              platform::kInvalidHandle);
    EXPECT_EQ(platform::LastError(), platform::kErrorSharingViolation);
    platform::FileClose(h);
}

TEST(PlatformHandles, FullDeviceReportsDiskFull) {
    const std::string full = testutil::FromHostPath("/dev/full");
    const platform::THandle h = platform::FileOpen(full, platform::fmOpenWrite | platform::fmShareDenyNone);
    if (h == platform::kInvalidHandle)
        GTEST_SKIP() << "no /dev/full here";
    EXPECT_EQ(platform::FileWrite(h, "x", 1), -1);
    EXPECT_EQ(platform::LastError(), platform::kErrorDiskFull);
    platform::FileClose(h);
}

TEST(PlatformShellDelete, RemovesWholeTreesAndReportsMissingNames) {
    TTempDir dir;
    WriteFile(dir / "work/a/b/c.class", "x");
    WriteFile(dir / "work/.hidden", "x");
    WriteFile(dir / "lone.txt", "x");
    ASSERT_TRUE(platform::SetFileAttributes(dir / "work/a/b/c.class", platform::faReadOnly));
    const std::string list = (dir / "work") + '\0' + (dir / "lone.txt") + '\0' + '\0';
    const uint16_t flags = platform::FOF_SILENT | platform::FOF_NOCONFIRMATION;
    EXPECT_EQ(platform::ShellDelete(list.c_str(), flags), 0);
    EXPECT_FALSE(testutil::Exists(dir / "work"));
    EXPECT_FALSE(testutil::Exists(dir / "lone.txt"));
    const std::string missing = (dir / "work") + '\0' + '\0';
    EXPECT_NE(platform::ShellDelete(missing.c_str(), flags), 0);
}

TEST(PlatformDrives, FolderOnAWritableVolumeIsReady) {
    TTempDir dir;
    EXPECT_EQ(platform::DriveStateOf(dir.Path()), platform::dsReady);
    EXPECT_EQ(platform::DriveStateOf(dir / "not/yet/made"), platform::dsReady);
    if (platform::PathDelim == '\\') {
        EXPECT_EQ(platform::DriveStateOf("Q:\\x"), platform::dsNotAccessible);
    }
}

TEST(PlatformErrors, LastErrorIsKeptAndHasAText) {
    platform::SetLastError(platform::kErrorSharingViolation);
    EXPECT_EQ(platform::LastError(), platform::kErrorSharingViolation);
    for (uint32_t code : {platform::kErrorFileNotFound, platform::kErrorAccessDenied, platform::kErrorDiskFull}) {
        const std::string text = platform::SysErrorMessage(code);
        EXPECT_FALSE(text.empty()) << code;
        EXPECT_NE(text.back(), '\n') << code;
    }
}

// Where a move is a rename: the writer moves its temporary archive then, and copies it otherwise.
TEST(PlatformSameVolume, OneFolderIsOneVolume) {
    testutil::TTempDir dir;
    EXPECT_TRUE(platform::SameVolume(dir / "a.tmp", dir / "b.jar"));
#ifdef _WIN32
    EXPECT_TRUE(platform::SameVolume("C:\\x\\a.tmp", "c:\\y\\b.jar"));
    EXPECT_FALSE(platform::SameVolume("C:\\x\\a.tmp", "D:\\x\\b.jar"));
    EXPECT_FALSE(platform::SameVolume("\\\\server\\share\\a.tmp", "\\\\server\\share\\b.jar"));
#else
    EXPECT_FALSE(platform::SameVolume(dir / "a.tmp", "/proc/self/b.jar"));  // another file system
    EXPECT_FALSE(platform::SameVolume(dir / "a.tmp", "/no/such/folder/b.jar"));
#endif
}

}  // namespace
