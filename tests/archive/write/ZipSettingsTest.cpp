// Tests of the writer's settings: defaults, ArchiveFile and DefaultExt rules, method acceptance, stored names.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/names/EntryNames.h"
#include "archive/write/Jar.h"
#include "tests/TestUtil.h"

namespace {

using platform::PathDelim;

std::string D(std::string path) {
    std::replace(path.begin(), path.end(), '\\', PathDelim);
    return path;
}

TEST(ZipSettings, JarAndZipStartWithTheirDefaults) {
    archive::TJar jar;
    EXPECT_EQ(jar.DefaultExt(), ".jar");
    EXPECT_EQ(jar.ArcType(), archive::atJar);
    archive::TZip zip;
    EXPECT_EQ(zip.DefaultExt(), ".zip");
    EXPECT_EQ(zip.ArcType(), archive::atZip);
    EXPECT_EQ(jar.CompressMethod(), archive::cmDeflate);
    EXPECT_EQ(jar.DeflateType, archive::dtDeflateN);
    EXPECT_EQ(jar.CompressionMethod(), archive::cmTempFile);
    EXPECT_EQ(jar.Switch(), archive::swAdd);
    EXPECT_EQ(jar.StoredDirNames, archive::sdRelative);
    EXPECT_EQ(jar.DateAttribute, archive::daFileDate);
    EXPECT_TRUE(jar.RecurseDirs);
    EXPECT_FALSE(jar.IncludeHiddenDirs);
    EXPECT_FALSE(jar.StoreEmptySubDirs);
    EXPECT_TRUE(jar.TranslateOemChar);
    EXPECT_TRUE(jar.Attributes ==
                (archive::TFileAttributes{archive::fsZeroAttr, archive::fsReadOnly, archive::fsArchive,
                                          archive::fsCompressed, archive::fsEncrypted}));
    EXPECT_TRUE(jar.AttributesEx == archive::TFileAttributes{});
    ASSERT_EQ(jar.StoreFilesOfType.size(), 24u);
    EXPECT_EQ(jar.StoreFilesOfType.front(), ".ACE");
    EXPECT_EQ(jar.StoreFilesOfType.back(), ".ZOO");
}

TEST(ZipSettings, CompressMethodAcceptsOnlyStoreAndDeflate) {
    archive::TJar jar;
    jar.SetCompressMethod(archive::cmBZip2);
    EXPECT_EQ(jar.CompressMethod(), archive::cmDeflate);
    jar.SetCompressMethod(archive::cmStore);
    EXPECT_EQ(jar.CompressMethod(), archive::cmStore);
    jar.SetCompressMethod(archive::cmDeflate64);
    EXPECT_EQ(jar.CompressMethod(), archive::cmStore);
    jar.SetCompressMethod(archive::cmDeflate);
    EXPECT_EQ(jar.CompressMethod(), archive::cmDeflate);
}

TEST(ZipSettings, ArchiveFileGetsTheDefaultExtensionAndTheSystemDelimiter) {
    archive::TJar jar;
    jar.SetArchiveFile("out/game");
    EXPECT_EQ(jar.ArchiveFile(), std::string("out") + PathDelim + "game.jar");
    jar.SetArchiveFile("game.zip");
    EXPECT_EQ(jar.ArchiveFile(), "game.zip");
}

TEST(ZipSettings, DefaultExtIsNormalisedAndFollowedByTheArchiveName) {
    struct TCase {
        const char* Value;
        const char* Ext;
    };
    const TCase cases[] = {{"", ".jar"}, {".", ".jar"}, {"ZIP", ".zip"}, {".Jarx", ".jar"}, {"abcdef", ".abc"}};
    for (const TCase& c : cases) {
        archive::TJar jar;
        jar.SetDefaultExt(c.Value);
        EXPECT_EQ(jar.DefaultExt(), c.Ext) << c.Value;
    }
    archive::TJar jar;
    jar.SetArchiveFile("game");
    EXPECT_EQ(jar.ArchiveFile(), "game.jar");
    jar.SetDefaultExt(".zip");  // the old default extension is replaced
    EXPECT_EQ(jar.ArchiveFile(), "game.zip");
    jar.SetArchiveFile("other.txt");
    jar.SetDefaultExt(".pak");  // any other extension stays
    EXPECT_EQ(jar.ArchiveFile(), "other.txt");
}

TEST(ZipStoredName, EachModeKeepsItsPartOfThePath) {
    struct TCase {
        archive::TStoredDirNames Mode;
        const char* Full;
        const char* Root;
        const char* Stored;
    };
    const TCase cases[] = {
        {archive::sdRelative, "C:\\w\\temp\\com\\A.class", "C:\\w\\temp\\", "com\\A.class"},
        {archive::sdRelative, "C:\\W\\TEMP\\a.txt", "c:\\w\\temp\\", "a.txt"},
        {archive::sdRelative, "D:\\x\\a.txt", "C:\\w\\", "D:\\x\\a.txt"},
        {archive::sdNone, "C:\\w\\temp\\com\\A.class", "C:\\w\\temp\\", "A.class"},
        {archive::sdAbsolute, "C:\\w\\a.txt", "C:\\w\\", "C:\\w\\a.txt"},
        {archive::sdRelativeStoreStart, "C:\\w\\temp\\com\\A.class", "C:\\w\\temp\\", "temp\\com\\A.class"},
        {archive::sdExplorer_Auto, "C:\\w\\temp\\a.txt", "C:\\w\\temp\\", "a.txt"},
    };
    for (const TCase& c : cases)
        EXPECT_EQ(archive::MakeStoredName(D(c.Full), D(c.Root), c.Mode), D(c.Stored)) << c.Full << " " << c.Mode;
    EXPECT_EQ(archive::MakeStoredName(D("C:\\w\\temp\\a.txt"), D("C:\\w\\temp\\"),
                                      archive::sdExplorer_UserDefineDefaultDir, D("C:\\w\\")),
              D("temp\\a.txt"));
}

#ifdef _WIN32
TEST(ZipStoredName, AbsoluteModesDropDriveOrShare) {
    EXPECT_EQ(archive::MakeStoredName("C:\\w\\a.txt", "", archive::sdAbsoluteNoDrv), "\\w\\a.txt");
    EXPECT_EQ(archive::MakeStoredName("C:\\w\\a.txt", "", archive::sdAbsoluteNoRoot), "w\\a.txt");
    EXPECT_EQ(archive::MakeStoredName("\\\\srv\\share\\w\\a.txt", "", archive::sdAbsoluteNoDrv), "\\w\\a.txt");
    EXPECT_EQ(archive::MakeStoredName("\\\\srv\\share\\w\\a.txt", "", archive::sdAbsoluteNoRoot), "w\\a.txt");
}
#else
TEST(ZipStoredName, AbsoluteModesDropTheLeadingDelimiter) {
    EXPECT_EQ(archive::MakeStoredName("/w/a.txt", "", archive::sdAbsoluteNoDrv), "/w/a.txt");
    EXPECT_EQ(archive::MakeStoredName("/w/a.txt", "", archive::sdAbsoluteNoRoot), "w/a.txt");
}
#endif

TEST(ZipStoredName, EntryNamesUseForwardSlashes) {
    EXPECT_EQ(archive::ArchiveEntryName(D("com\\vidorurud\\fullscreen\\WideCv.class"), true),
              "com/vidorurud/fullscreen/WideCv.class");
}

}  // namespace
