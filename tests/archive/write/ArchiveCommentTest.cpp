// The archive comment: read with the end record, written by the writer, and carried from one to the other.
#include <gtest/gtest.h>

#include "archive/read/UnZip.h"
#include "archive/write/Jar.h"
#include "tests/archive/ArchiveFixtures.h"
#include "tests/archive/WriterFixtures.h"

using namespace archive;
using namespace archivetest;
using testutil::TTempDir;

namespace {
// Printable bytes with no signature in them, so a peer's text output can show them as they are.
std::string CommentOf(size_t size) {
    std::string text;
    for (size_t i = 0; i < size; ++i)
        text += static_cast<char>('a' + i % 26);
    return text;
}

// A jar of `folder` written by TJar with `comment` into `archive`; the number of files written.
int32_t WriteJar(const std::string& folder, const std::string& archive, const std::string& comment) {
    TJar jar(nullptr);
    EXPECT_TRUE(jar.SetArchiveComment(comment));
    jar.SetTempDir(folder + "-tmp");
    testutil::MakeDirs(folder + "-tmp");
    jar.SetArchiveFile(archive);
    jar.FileSpec = {testutil::Join(folder, "*.*")};
    return jar.Compress();
}

// Python's zipfile reads the comment of `archive` and compares it with the bytes in `expected`.
int PythonComparesComment(const std::string& archive, const std::string& expected) {
    return RunPython(
        "import sys, zipfile\n"
        "sys.exit(0 if zipfile.ZipFile(" +
        PyPath(archive) + ").comment == open(" + PyPath(expected) + ", 'rb').read() else 1)\n");
}

std::string ReadComment(const std::string& archive) {
    TUnJar reader(nullptr);
    reader.SetArchiveFile(archive);
    return reader.ArchiveComment();
}
}  // namespace

TEST(ArchiveComment, TheWriterWritesCommentsOfEveryLengthThatPeersRead) {
    for (const size_t size : {size_t{0}, size_t{1}, size_t{33}, kMaxArchiveComment}) {
        TTempDir dir;
        testutil::WriteFile(dir / "src/a.class", std::string("class"));
        const std::string comment = CommentOf(size);
        const std::string archive = dir / "game.jar";
        ASSERT_EQ(WriteJar(dir / "src", archive, comment), 1) << size;
        testutil::WriteFile(dir / "expected", comment);
        EXPECT_EQ(PythonComparesComment(archive, dir / "expected"), 0) << size;
        std::string shown;
        EXPECT_EQ(testutil::RunHost("unzip -z " + testutil::Quote(testutil::ToHostPath(archive)), &shown), 0) << size;
        const size_t lineEnd = shown.find('\n');
        ASSERT_NE(lineEnd, std::string::npos) << size;
        std::string body = shown.substr(lineEnd + 1);  // after unzip's "Archive:" line
        if (!body.empty() && body.back() == '\n')
            body.pop_back();
        EXPECT_EQ(body, comment) << size;
        EXPECT_EQ(writertest::PeerCheck(archive), "") << size;
    }
}

TEST(ArchiveComment, TheReaderGivesTheCommentPeersWrote) {
    const std::string levelPack = "Level pack 2, do not redistribute";
    struct TCase {
        const char* What;
        std::string Command;  // run in a folder holding a.class; ARCHIVE names the archive
        std::string Comment;
    };
    const TCase cases[] = {
        {"zip -z", "zip -q ARCHIVE a.class && printf '" + levelPack + "' | zip -qz ARCHIVE", levelPack},
        {"Python's zipfile",
         "python3 -c \"import sys, zipfile\nz = zipfile.ZipFile(sys.argv[1], 'w')\nz.write('a.class')\n"
         "z.comment = b'caf\\xc3\\xa9 \\x00 PK'\nz.close()\" ARCHIVE",
         "caf\xC3\xA9 " + std::string(1, '\0') + " PK"},
        {"no comment", "zip -q ARCHIVE a.class", ""},
    };
    for (const TCase& c : cases) {
        TTempDir dir;
        testutil::WriteFile(dir / "src/a.class", std::string("class"));
        const std::string archive = dir / "game.jar";
        std::string command = c.Command;
        for (size_t at; (at = command.find("ARCHIVE")) != std::string::npos;)
            command.replace(at, 7, testutil::Quote(testutil::ToHostPath(archive)));
        ASSERT_EQ(RunIn(dir / "src", command), 0) << c.What;
        EXPECT_EQ(ReadComment(archive), c.Comment) << c.What;
    }
}

TEST(ArchiveComment, ACommentCarriedFromReaderToWriterSurvivesARebuild) {
    TTempDir dir;
    testutil::WriteFile(dir / "src/a.class", std::string("class"));
    const std::string original = dir / "game.jar";
    ASSERT_EQ(RunIn(dir / "src", "zip -q " + testutil::Quote(testutil::ToHostPath(original)) +
                                     " a.class && printf 'Level pack 2' | zip -qz " +
                                     testutil::Quote(testutil::ToHostPath(original))),
              0);
    TUnJar reader(nullptr);
    reader.FileSpec = {"*.*"};
    reader.SetArchiveFile(original);
    reader.SetExtractDir(dir / "work");
    ASSERT_EQ(reader.Extract(), 1);
    const std::string rebuilt = dir / "rebuilt.jar";
    ASSERT_EQ(WriteJar(dir / "work", rebuilt, reader.ArchiveComment()), 1);
    EXPECT_EQ(ReadComment(rebuilt), "Level pack 2");
}

TEST(ArchiveComment, AnUpdateKeepsTheArchivesCommentUnlessOneIsSet) {
    TTempDir dir;
    testutil::WriteFile(dir / "src/a.class", std::string("class"));
    const std::string archive = dir / "game.jar";
    ASSERT_EQ(WriteJar(dir / "src", archive, "first"), 1);
    testutil::WriteFile(dir / "more/b.class", std::string("b"));
    TJar update(nullptr);
    update.SetTempDir(dir / "src-tmp");
    update.SetArchiveFile(archive);
    update.FileSpec = {testutil::Join(dir / "more", "*.*")};
    ASSERT_EQ(update.Compress(), 1);
    EXPECT_EQ(ReadComment(archive), "first");
    testutil::WriteFile(dir / "last/c.class", std::string("c"));
    update.FileSpec = {testutil::Join(dir / "last", "*.*")};
    ASSERT_TRUE(update.SetArchiveComment("second"));
    ASSERT_EQ(update.Compress(), 1);
    EXPECT_EQ(ReadComment(archive), "second");
}

TEST(ArchiveComment, ACommentTooLongForTheEndRecordIsRefused) {
    TJar jar(nullptr);
    ASSERT_TRUE(jar.SetArchiveComment("kept"));
    EXPECT_FALSE(jar.SetArchiveComment(std::string(kMaxArchiveComment + 1, 'x')));
    EXPECT_EQ(jar.ArchiveComment(), "kept");
}
