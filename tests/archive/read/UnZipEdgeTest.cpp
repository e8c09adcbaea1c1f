// Extraction rules: directory entries by type, overwrite and read-only targets, names, masks and events.
#include <gtest/gtest.h>

#include "archive/Messages.h"
#include "archive/format/Records.h"
#include "archive/read/UnZip.h"
#include "platform/Platform.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;
using testutil::Join;

namespace {
TRawEntry Folder(const std::string& name, uint32_t attributes) {
    TRawEntry e{name, {}};
    e.ExternalAttributes = attributes;
    return e;
}

// A manifest in front makes an archive a jar by its content.
TRawEntry Manifest() {
    return {"META-INF/MANIFEST.MF", TextBytes("Manifest-Version: 1.0\r\n")};
}
}  // namespace

TEST(UnZipEdge, AJarRecognisesFoldersByTheTrailingSlash) {
    TRawRun run(BuildRawZip({Folder("META-INF/", 0), Folder("empty/", 0), {"META-INF/MANIFEST.MF", TextBytes("M")}}),
                "game.jar");
    run.Reader.CreateStoredDirs = true;
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 3);  // folder entries without the folder bit were counted as files first
    EXPECT_EQ(run.Reader.ArcType(), atJar);
    EXPECT_TRUE(log.Codes.empty());
    EXPECT_EQ(ListTree(run.Target), (std::vector<std::string>{"META-INF/", "META-INF/MANIFEST.MF", "empty/"}));
}

TEST(UnZipEdge, AJarFileWhoseAttributesClaimAFolderIsAnnouncedAndCounted) {
    TRawEntry odd{"a.class", TextBytes("class")};
    odd.ExternalAttributes = platform::faDirectory;
    TRawRun run(BuildRawZip({Manifest(), odd, {"b.class", TextBytes("b")}}), "game.jar");
    std::vector<std::string> begun;
    run.Reader.OnBegin = [&](fw::TObject*, const std::string& name, int32_t, bool&) { begun.push_back(name); };
    EXPECT_EQ(run.Extract(), 3);
    EXPECT_EQ(begun.size(), 3u);
    EXPECT_EQ(testutil::ReadText(Join(run.Target, "a.class")), "class");
}

TEST(UnZipEdge, AJarFileWhoseAttributesClaimAFolderNeverMakesTheCountNegative) {
    // Found by fuzzing: such an entry that could not be created took the count down without counting it first.
    TRawEntry odd{"blocked/a.class", TextBytes("class")};  // its folder is a file, so it cannot be created
    odd.ExternalAttributes = platform::faDirectory;
    TRawRun run(BuildRawZip({Manifest(), {"blocked", TextBytes("file")}, odd}), "game.jar");
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 2);
    ASSERT_FALSE(log.Codes.empty());
    EXPECT_EQ(log.Codes[0], kMsgErrorOpeningFile);
}

TEST(UnZipEdge, AZipTakesAFolderEntryWithoutTheFolderBitForAFolderLikeAJar) {
    TRawRun run(BuildRawZip({Folder("empty/", 0), {"a.txt", TextBytes("a")}}), "game.zip");
    run.Reader.CreateStoredDirs = true;
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 2);  // counted as a file first, as in a jar
    EXPECT_EQ(run.Reader.ArcType(), atZip);
    EXPECT_TRUE(log.Codes.empty());
    EXPECT_EQ(ListTree(run.Target), (std::vector<std::string>{"a.txt", "empty/"}));
}

TEST(UnZipEdge, AZipStillTakesTheFolderBitWithoutATrailingSlash) {
    TRawRun run(BuildRawZip({Folder("kept", platform::faDirectory), {"a.txt", TextBytes("a")}}), "game.zip");
    run.Reader.CreateStoredDirs = true;
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(ListTree(run.Target), (std::vector<std::string>{"a.txt", "kept/"}));
}

TEST(UnZipEdge, FolderEntriesAreCreatedOnlyWhenAsked) {
    const Bytes zip = BuildRawZip({Folder("kept/", platform::faDirectory)});
    for (bool create : {false, true}) {
        TRawRun run(zip);
        run.Reader.CreateStoredDirs = create;
        EXPECT_EQ(run.Extract(), 0);
        EXPECT_EQ(platform::DirectoryExists(Join(run.Target, "kept")), create);
    }
}

TEST(UnZipEdge, StoredFoldersOfFilesAreAlwaysCreated) {
    TRawRun run(BuildRawZip({{"a/b/c.class", TextBytes("class")}}));
    run.Reader.CreateStoredDirs = false;
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(testutil::ReadText(Join(run.Target, "a/b/c.class")), "class");
}

TEST(UnZipEdge, AReadOnlyTargetStaysAndIsNotCounted) {
    TRawRun run(BuildRawZip({{"locked.txt", TextBytes("new")}}));
    const std::string target = Join(run.Target, "locked.txt");
    testutil::WriteFile(target, std::string("old"));
    ASSERT_TRUE(platform::SetFileAttributes(target, platform::faReadOnly));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 0);
    // The end-of-entry check still runs and fails, which a handler hears about.
    EXPECT_EQ(log.Codes, (std::vector<int32_t>{kMsgErrorOpeningFile, kMsgCrcCheckFailed}));
    EXPECT_EQ(testutil::ReadText(target), "old");
    platform::SetFileAttributes(target, platform::faArchive);
}

TEST(UnZipEdge, TheLaterOfTwoEntriesWithOneNameWins) {
    TRawRun run(BuildRawZip({{"same.txt", TextBytes("first")}, {"same.txt", TextBytes("second")}}));
    EXPECT_EQ(run.Extract(), 2);
    EXPECT_EQ(testutil::ReadText(Join(run.Target, "same.txt")), "second");
}

TEST(UnZipEdge, AnExistingLongerFileIsReplacedWhole) {
    TRawRun run(BuildRawZip({{"pkg/a.txt", TextBytes("short")}}));
    testutil::WriteFile(Join(run.Target, "pkg/a.txt"), std::string("a much longer old content"));
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(testutil::ReadText(Join(run.Target, "pkg/a.txt")), "short");
}

TEST(UnZipEdge, DrivePrefixesAndLeadingDelimitersAreStripped) {
    TRawRun run(BuildRawZip({{"C:\\x\\y.txt", TextBytes("1")},
                             {"C:z.txt", TextBytes("2")},
                             {"\\lead\\w.txt", TextBytes("3")},
                             {"/abs/v.txt", TextBytes("4")}}));
    EXPECT_EQ(run.Extract(), 4);
    EXPECT_EQ(ListTree(run.Target),
              (std::vector<std::string>{"abs/", "abs/v.txt", "lead/", "lead/w.txt", "x/", "x/y.txt", "z.txt"}));
}

TEST(UnZipEdge, AnEmptyFileSpecSelectsNothingAndLeavesTheTargetAlone) {
    TRawRun run(BuildRawZip({{"a.txt", TextBytes("a")}}));
    run.Reader.FileSpec.clear();
    EXPECT_EQ(run.Extract(), 0);
    EXPECT_FALSE(testutil::Exists(run.Target));
    run.Reader.FileSpec = {"", ""};
    EXPECT_EQ(run.Extract(), 0);
}

TEST(UnZipEdge, AMaskWithoutADotGainsOneAndKeepsIt) {
    TRawRun run(BuildRawZip({{"README", TextBytes("r")}, {"docs/guide", TextBytes("g")}}));
    run.Reader.FileSpec = {"nomatch", "*.*"};
    EXPECT_EQ(run.Extract(), 2);
    EXPECT_EQ(run.Reader.FileSpec[0], "nomatch.");
    EXPECT_EQ(run.Reader.FileSpec[1], "*.*");
}

TEST(UnZipEdge, MasksSelectByNameOrByFolder) {
    const Bytes zip =
        BuildRawZip({{"top.txt", TextBytes("t")}, {"sub/low.txt", TextBytes("l")}, {"sub/img.png", TextBytes("p")}});
    struct TCase {
        std::vector<std::string> Masks;
        bool Recurse;
        std::vector<std::string> Expected;
    } cases[] = {
        {{"*.txt"}, true, {"sub/", "sub/low.txt", "top.txt"}},
        {{"*.txt"}, false, {"top.txt"}},
        {{"sub/*.*"}, false, {"sub/", "sub/img.png", "sub/low.txt"}},
        {{"SUB\\LOW.TXT"}, true, {"sub/", "sub/low.txt"}},
    };
    for (const auto& c : cases) {
        TRawRun run(zip);
        run.Reader.FileSpec = c.Masks;
        run.Reader.RecurseDirs = c.Recurse;
        run.Extract();
        EXPECT_EQ(ListTree(run.Target), c.Expected) << c.Masks[0] << " " << c.Recurse;
    }
}

TEST(UnZipEdge, ExcludedEntriesAreAnnouncedAndSkipped) {
    TRawRun run(BuildRawZip({{"keep.class", TextBytes("k")}, {"drop.txt", TextBytes("d")}}));
    run.Reader.ExcludeSpec = {"*.txt"};
    std::vector<std::string> excluded;
    run.Reader.OnExcludeFile = [&](fw::TObject*, const std::string& name) { excluded.push_back(name); };
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(excluded, std::vector<std::string>{"drop.txt"});
    EXPECT_EQ(ListTree(run.Target), std::vector<std::string>{"keep.class"});
}

TEST(UnZipEdge, CancellingFromAHandlerStopsTheRun) {
    TRawRun run(BuildRawZip({{"a.txt", TextBytes("a")}, {"b.txt", TextBytes("b")}, {"c.txt", TextBytes("c")}}));
    TErrorLog log;
    log.Attach(run.Reader);
    run.Reader.OnProgress = [&](fw::TObject*, uint8_t, uint8_t) { run.Reader.SetCancel(true); };
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_TRUE(log.Has(kMsgUserCanceled));
    EXPECT_EQ(ListTree(run.Target), std::vector<std::string>{"a.txt"});
}

TEST(UnZipEdge, EventsBracketTheRunAndProgressReachesOneHundred) {
    TRawRun run(BuildRawZip({{"a.bin", testutil::RandomBytes(100000, 3)}}));
    std::vector<std::string> events;
    int lastByFile = -1, lastByArchive = -1;
    run.Reader.OnActivate = [&](fw::TObject*) { events.push_back("activate"); };
    run.Reader.OnDeactivate = [&](fw::TObject*) { events.push_back("deactivate"); };
    run.Reader.OnBegin = [&](fw::TObject*, const std::string&, int32_t count, bool&) {
        events.push_back("begin " + std::to_string(count));
    };
    run.Reader.OnEnd = [&](fw::TObject*, const std::string&, bool pass) { events.push_back(pass ? "pass" : "fail"); };
    run.Reader.OnProgress = [&](fw::TObject*, uint8_t byFile, uint8_t byArchive) {
        lastByFile = byFile;
        lastByArchive = byArchive;
    };
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(events, (std::vector<std::string>{"activate", "begin 1", "pass", "deactivate"}));
    EXPECT_EQ(lastByFile, 100);
    EXPECT_EQ(lastByArchive, 100);
}

TEST(UnZipEdge, AVetoFromOnBeginSkipsTheFile) {
    TRawRun run(BuildRawZip({{"a.txt", TextBytes("a")}, {"b.txt", TextBytes("b")}}));
    run.Reader.OnBegin = [](fw::TObject*, const std::string& name, int32_t, bool& extract) {
        extract = name.find("a.txt") == std::string::npos;
    };
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(ListTree(run.Target), std::vector<std::string>{"b.txt"});
}

TEST(UnZipEdge, OverwriteModeSkipKeepsExistingFiles) {
    TRawRun run(BuildRawZip({{"a.txt", TextBytes("new")}, {"b.txt", TextBytes("new")}}));
    testutil::WriteFile(Join(run.Target, "a.txt"), std::string("old"));
    run.Reader.OverwriteMode = omSkip;
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(testutil::ReadText(Join(run.Target, "a.txt")), "old");
    EXPECT_EQ(testutil::ReadText(Join(run.Target, "b.txt")), "new");
}

TEST(UnZipEdge, ConfirmingOverwritesNeedsOnFileExists) {
    TRawRun run(BuildRawZip({{"a.txt", TextBytes("new")}}));
    testutil::WriteFile(Join(run.Target, "a.txt"), std::string("old"));
    run.Reader.ConfirmOverwrites = true;
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 0);
    EXPECT_EQ(log.Extended, std::vector<std::string>{"OnFileExists"});
    run.Reader.OnFileExists = [](fw::TObject*, const std::string& name, std::string& newName, TOverwriteMode&) {
        newName = name + ".copy";
    };
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(testutil::ReadText(Join(run.Target, "a.txt")), "old");
    EXPECT_EQ(testutil::ReadText(Join(run.Target, "a.txt.copy")), "new");
}

TEST(UnZipEdge, AnAesEntryIsDecodedByItsActualMethod) {
    TRawEntry e{"aes.txt", TextBytes("stored behind method 99")};
    e.Method = kMethodAes;
    e.Extra = {0x01, 0x99, 0x07, 0x00, 0x02, 0x00, 'A', 'E', 0x03, 0x00, 0x00};
    TRawRun run(BuildRawZip({e}));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_TRUE(log.Codes.empty());
    EXPECT_EQ(testutil::ReadText(Join(run.Target, "aes.txt")), "stored behind method 99");
}

TEST(UnZipEdge, AMissingArchiveIsNotFound) {
    TUnJar reader(nullptr);
    TErrorLog log;
    log.Attach(reader);
    reader.FileSpec = {"*.*"};
    reader.SetArchiveFile("/no/such/archive.jar");
    EXPECT_EQ(reader.ArchiveFile(), "");
    EXPECT_EQ(reader.ArcType(), atNA);
    EXPECT_EQ(reader.Extract(), 0);
    EXPECT_EQ(log.Codes, std::vector<int32_t>{kMsgFileNotFound});
}

TEST(UnZipEdge, AnEmptyDeflatedEntryIsAnEmptyFileThatPasses) {
    TRawEntry e{"empty.txt", RawDeflate({})};
    e.Method = 8;
    e.UncompressedSize = 0;
    e.Crc = 0;
    TRawRun run(BuildRawZip({e}));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_TRUE(log.Codes.empty());
    EXPECT_TRUE(testutil::ReadFile(Join(run.Target, "empty.txt")).empty());
}
