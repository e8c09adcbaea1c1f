// Extraction of archives written by peer tools (Info-ZIP zip, 7z, Python's zipfile, the JDK's jar).
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "archive/Messages.h"
#include "archive/read/UnZip.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;
using testutil::TTempDir;

namespace {
// A source tree, an archive of it made by `command` (run inside the tree; "ARCHIVE" names the archive),
// and a fresh target folder.
struct TPeerCase {
    TTempDir Dir;
    std::string Source = Dir / "src";
    std::string Target = Dir / "out";
    std::string Archive;

    TPeerCase(const std::string& archiveName, const std::string& command) : Archive(Dir / archiveName) {
        MakeSourceTree(Source);
        std::string cmd = command;
        const auto at = cmd.find("ARCHIVE");
        cmd.replace(at, 7, testutil::Quote(testutil::ToHostPath(Archive)));
        EXPECT_EQ(RunIn(Source, cmd + " >/dev/null 2>&1"), 0) << cmd;
    }

    int32_t Extract(TErrorLog* log = nullptr) {
        TUnJar reader(nullptr);
        reader.CreateStoredDirs = true;
        reader.FileSpec = {"*.*"};
        if (log)
            log->Attach(reader);
        reader.SetArchiveFile(Archive);
        reader.SetExtractDir(Target);
        return reader.Extract();
    }
};

constexpr int kFilesInTree = 5;  // readme, deep, random, empty, NOEXT

void ExpectSameAsPeer(TPeerCase& c) {
    TErrorLog log;
    EXPECT_EQ(c.Extract(&log), kFilesInTree);
    EXPECT_TRUE(log.Codes.empty()) << log.Codes.size() << " errors, first " << (log.Codes.empty() ? 0 : log.Codes[0]);
    EXPECT_EQ(CompareWithPeer(c.Archive, c.Target), "");
}
}  // namespace

TEST(UnZipPeer, ExtractsInfoZipDeflatedAndStoredArchives) {
    for (const char* cmd : {"zip -r -X ARCHIVE .", "zip -r -0 -X ARCHIVE ."}) {
        TPeerCase c("infozip.zip", cmd);
        ExpectSameAsPeer(c);
        EXPECT_TRUE(testutil::Exists(testutil::Join(c.Target, "emptydir"))) << cmd;
    }
}

TEST(UnZipPeer, ExtractsSevenZipDeflateArchives) {
    TPeerCase c("seven.zip", "7z a -tzip ARCHIVE .");
    ExpectSameAsPeer(c);
}

TEST(UnZipPeer, ExtractsPythonZipfileArchives) {
    TPeerCase c("python.zip",
                "python3 -c \"import os, sys, zipfile\n"
                "z = zipfile.ZipFile(sys.argv[1], 'w', zipfile.ZIP_DEFLATED)\n"
                "for d, _, fs in os.walk('.'):\n"
                "    if d != '.': z.write(d)\n"
                "    for f in fs: z.write(os.path.join(d, f))\n"
                "\" ARCHIVE");
    ExpectSameAsPeer(c);
}

TEST(UnZipPeer, ExtractsJarArchivesWithDataDescriptors) {
    TPeerCase c("tool.jar", "jar cf ARCHIVE .");
    // jar adds its manifest, writes sizes and CRC of deflated entries after the data, and gives its five
    // folder entries no folder bit: a jar counts those before it sees the trailing "/".
    TErrorLog log;
    constexpr int kJarFolders = 5;
    EXPECT_EQ(c.Extract(&log), kFilesInTree + 1 + kJarFolders);
    EXPECT_TRUE(log.Codes.empty());
    EXPECT_EQ(CompareWithPeer(c.Archive, c.Target), "");
    EXPECT_TRUE(testutil::Exists(testutil::Join(c.Target, "META-INF/MANIFEST.MF")));
}

TEST(UnZipPeer, ExtractsSevenZipDeflate64WithFarDistances) {
    TTempDir dir;
    const std::string source = dir / "src";
    // A random block repeated: the matches reach back 40000 bytes, beyond the deflate window.
    const Bytes block = testutil::RandomBytes(40000, 5);
    Bytes big;
    for (int i = 0; i < 6; ++i)
        big.insert(big.end(), block.begin(), block.end());
    testutil::WriteFile(testutil::Join(source, "big.bin"), big);
    testutil::WriteFile(testutil::Join(source, "small.txt"), std::string("a small Deflate64 entry, a small one\n"));
    const std::string archive = dir / "d64.zip";
    ASSERT_EQ(RunIn(source, "7z a -tzip -mm=Deflate64 " + testutil::Quote(testutil::ToHostPath(archive)) +
                                " . >/dev/null 2>&1"),
              0);
    TUnJar reader(nullptr);
    reader.FileSpec = {"*.*"};
    TErrorLog log;
    log.Attach(reader);
    reader.SetArchiveFile(archive);
    reader.SetExtractDir(dir / "out");
    EXPECT_EQ(reader.Extract(), 2);
    EXPECT_TRUE(log.Codes.empty());
    // Python cannot read Deflate64: compare with the files 7z packed, times included.
    for (const char* name : {"big.bin", "small.txt"}) {
        const std::string out = testutil::Join(dir / "out", name);
        EXPECT_EQ(testutil::ReadFile(out), testutil::ReadFile(testutil::Join(source, name))) << name;
        const auto delta =
            std::filesystem::last_write_time(out) - std::filesystem::last_write_time(testutil::Join(source, name));
        EXPECT_LE(std::chrono::abs(delta), std::chrono::seconds(2)) << name;
    }
}

TEST(UnZipPeer, CorrectsOffsetsOfAnArchiveWithBytesInFront) {
    TPeerCase c("plain.zip", "zip -r -X ARCHIVE .");
    const Bytes zip = testutil::ReadFile(c.Archive);
    Bytes shifted(1000, 0);
    shifted.insert(shifted.end(), zip.begin(), zip.end());
    testutil::WriteFile(c.Archive, shifted);
    TErrorLog log;
    EXPECT_EQ(c.Extract(&log), kFilesInTree);
    EXPECT_TRUE(log.Codes.empty());
    testutil::WriteFile(c.Archive, zip);  // the peer reads the unshifted copy
    EXPECT_EQ(CompareWithPeer(c.Archive, c.Target), "");
}

TEST(UnZipPeer, ExtractsAnArchiveBehindAnExecutableStub) {
    TPeerCase c("plain.zip", "zip -r -X ARCHIVE .");
    const Bytes zip = testutil::ReadFile(c.Archive);
    Bytes exe = TextBytes("MZ");
    exe.resize(4096, 0x90);
    exe.insert(exe.end(), zip.begin(), zip.end());
    const std::string exePath = c.Dir / "setup.exe";
    testutil::WriteFile(exePath, exe);
    TUnJar reader(nullptr);
    reader.FileSpec = {"*.*"};
    reader.CreateStoredDirs = true;
    reader.SetArchiveFile(exePath);
    EXPECT_EQ(reader.ArcType(), atZipExe);
    reader.SetExtractDir(c.Target);
    EXPECT_EQ(reader.Extract(), kFilesInTree);
    EXPECT_EQ(CompareWithPeer(c.Archive, c.Target), "");
}

TEST(UnZipPeer, ReadsArchivesWithShortAndLongComments) {
    for (int length : {100, 40000}) {
        TTempDir dir;
        const std::string archive = dir / "commented.zip";
        ASSERT_EQ(RunPython("import zipfile\n"
                            "z = zipfile.ZipFile(" +
                            PyPath(archive) +
                            ", 'w', zipfile.ZIP_DEFLATED)\n"
                            "z.writestr('a/one.txt', 'first entry ' * 50)\n"
                            "z.writestr('two.txt', 'second entry')\n"
                            "z.comment = b'c' * " +
                            std::to_string(length) +
                            "\n"
                            "z.close()\n"),
                  0);
        TUnJar reader(nullptr);
        reader.FileSpec = {"*.*"};
        reader.SetArchiveFile(archive);
        reader.SetExtractDir(dir / "out");
        EXPECT_EQ(reader.Extract(), 2) << length;
        EXPECT_EQ(CompareWithPeer(archive, dir / "out"), "") << length;
    }
}
