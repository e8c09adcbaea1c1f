// Paths and names outside the ANSI code page: folders and files made, found, copied, moved, read and
// removed by their UTF-8 names, and the host sees the same names on its disk.
#include <gtest/gtest.h>

#include <set>

#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

using testutil::TTempDir;

// A Latin folder outside code page 1251, a Latin name outside 1251 and 866, a Russian name with a blank, and a
// name outside every single-byte code page.
const char kFolder[] = "M\xC3\xBCller";
const char* const kNames[] = {"na\xC3\xAFve-\xC3\xBC.txt",
                              "\xD0\x97\xD0\xBC\xD0\xB5\xD0\xB9\xD0\xBA\xD0\xB0 \xD0\xB8\xD0\xB3\xD1\x80\xD0\xB0.jar",
                              "\xE6\x97\xA5\xE6\x9C\xAC.jar"};

void WriteAll(const std::string& path, const std::string& data) {
    const platform::THandle h = platform::FileCreate(path);
    ASSERT_NE(h, platform::kInvalidHandle) << path;
    EXPECT_EQ(platform::FileWrite(h, data.data(), static_cast<uint32_t>(data.size())),
              static_cast<int32_t>(data.size()));
    EXPECT_TRUE(platform::FileClose(h));
}

std::string ReadAll(const std::string& path) {
    const platform::THandle h = platform::FileOpen(path, platform::fmOpenRead | platform::fmShareDenyWrite);
    if (h == platform::kInvalidHandle)
        return "<cannot open>";
    std::string data(static_cast<size_t>(platform::FileSize(h)), '\0');
    const int32_t n = platform::FileRead(h, data.data(), static_cast<uint32_t>(data.size()));
    platform::FileClose(h);
    return n == static_cast<int32_t>(data.size()) ? data : "<short read>";
}

std::set<std::string> Listing(const std::string& folder) {
    std::set<std::string> names;
    platform::TFindHandle find;
    platform::TFindData data;
    for (bool more = find.First(folder + platform::PathDelim + "*", data); more; more = find.Next(data))
        if (data.Name != "." && data.Name != "..")
            names.insert(data.Name);
    return names;
}

// What the host lists in a folder, one name a line, as bytes.
std::set<std::string> HostListing(const std::string& folder) {
    std::string out;
    EXPECT_EQ(testutil::RunHost("ls -A " + testutil::Quote(testutil::ToHostPath(folder)), &out), 0);
    std::set<std::string> names;
    for (size_t from = 0, at; (at = out.find('\n', from)) != std::string::npos; from = at + 1)
        names.insert(out.substr(from, at - from));
    return names;
}

TEST(PlatformUnicodeNames, FilesAreMadeFoundCopiedMovedReadAndDeletedByName) {
    TTempDir dir;
    const std::string folder = dir / kFolder;
    ASSERT_TRUE(platform::CreateDirectory(folder));
    EXPECT_TRUE(platform::DirectoryExists(folder));
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        const std::string path = folder + platform::PathDelim + name;
        WriteAll(path, name);
        EXPECT_TRUE(platform::FileExists(path));
        EXPECT_TRUE(platform::CopyFile(path, path + ".bak", true));
        EXPECT_TRUE(platform::MoveFile(path + ".bak", path + ".moved"));
        EXPECT_TRUE(platform::ReplaceFile(path + ".moved", path));
        EXPECT_TRUE(platform::ReplaceFileDurably(path, path + ".final"));
        EXPECT_EQ(ReadAll(path + ".final"), name);
        EXPECT_TRUE(platform::SetFileAttributes(path + ".final", platform::faReadOnly));
        EXPECT_EQ(platform::GetFileAttributes(path + ".final") & platform::faReadOnly, platform::faReadOnly);
        EXPECT_TRUE(platform::SetFileAttributes(path + ".final", platform::faArchive));
        EXPECT_FALSE(platform::FileExists(path));
    }
    const std::set<std::string> expected = {std::string(kNames[0]) + ".final", std::string(kNames[1]) + ".final",
                                            std::string(kNames[2]) + ".final"};
    EXPECT_EQ(Listing(folder), expected);
    EXPECT_EQ(HostListing(folder), expected);  // the disk carries the very names, not look-alikes
    for (const std::string& name : expected)
        EXPECT_TRUE(platform::DeleteFile(folder + platform::PathDelim + name));
    EXPECT_TRUE(platform::RemoveDirectory(folder));
    EXPECT_FALSE(platform::DirectoryExists(folder));
}

TEST(PlatformUnicodeNames, FoldersTempNamesAndTheCurrentFolderKeepTheName) {
    TTempDir dir;
    const std::string folder = dir / kFolder;
    ASSERT_TRUE(platform::CreateDirectory(folder));
    const std::string unique = platform::CreateUniqueDirectory(folder, kNames[2]);
    ASSERT_FALSE(unique.empty());
    EXPECT_EQ(unique.rfind(folder + platform::PathDelim + kNames[2], 0), 0u) << unique;
    EXPECT_TRUE(platform::DirectoryExists(unique));
    const std::string temp = platform::GetTempFileName(unique, "kxa");
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.rfind(unique + platform::PathDelim + "kxa", 0), 0u) << temp;
    EXPECT_TRUE(platform::FileExists(temp));
    EXPECT_EQ(platform::DriveStateOf(unique), platform::dsReady);

    const std::string before = platform::GetCurrentDirectory();
    ASSERT_TRUE(platform::SetCurrentDirectory(folder));
    EXPECT_EQ(platform::GetCurrentDirectory(), platform::ExpandFileName(folder));
    EXPECT_EQ(platform::ExpandFileName(kNames[1]), platform::ExpandFileName(folder) + platform::PathDelim + kNames[1]);
    ASSERT_TRUE(platform::SetCurrentDirectory(before));
    EXPECT_EQ(platform::ResolvePath(folder), platform::ExpandFileName(folder));
}

TEST(PlatformUnicodeNames, ShellDeleteRemovesATreeWithSuchNames) {
    TTempDir dir;
    const std::string folder = dir / kFolder;
    ASSERT_TRUE(platform::CreateDirectory(folder));
    for (const char* name : kNames)
        WriteAll(folder + platform::PathDelim + name, "x");
    const std::string lone = dir / kNames[2];
    WriteAll(lone, "x");
    const std::string list = folder + '\0' + lone + '\0' + '\0';
    EXPECT_EQ(platform::ShellDelete(list.c_str(), platform::FOF_SILENT | platform::FOF_NOCONFIRMATION), 0);
    EXPECT_FALSE(platform::DirectoryExists(folder));
    EXPECT_FALSE(platform::FileExists(lone));
}

TEST(PlatformUnicodeNames, ProfileAtSuchAPathIsWrittenAndRead) {
    TTempDir dir;
    const std::string folder = dir / kFolder;
    ASSERT_TRUE(platform::CreateDirectory(folder));
    const std::string ini = folder + platform::PathDelim + kNames[2] + ".ini";
    ASSERT_TRUE(platform::WritePrivateProfileString("Grandvue", "Backup", "0", ini));
    EXPECT_EQ(platform::GetPrivateProfileString("Grandvue", "Backup", "1", ini), "0");
    EXPECT_EQ(HostListing(folder), std::set<std::string>{std::string(kNames[2]) + ".ini"});
}

}  // namespace
