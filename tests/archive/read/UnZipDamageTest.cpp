// Damaged and hostile archives: each ends with the reader's reports, no crash, no hang, no write outside.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/Messages.h"
#include "archive/format/Crc32.h"
#include "archive/read/UnZip.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;
using testutil::TTempDir;

namespace {
Bytes Text(size_t lines) {
    Bytes text;
    for (size_t i = 0; i < lines; ++i) {
        const std::string line = "row " + std::to_string(i * 7919 % 1000) + " with some words\n";
        text.insert(text.end(), line.begin(), line.end());
    }
    return text;
}

Bytes Concat(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}
}  // namespace

TEST(UnZipDamage, TruncatedDeflateDataLeavesAShorterFileAndFailsTheCrc) {
    const Bytes plain = Text(3000);
    Bytes packed = RawDeflate(plain);
    packed.resize(packed.size() / 2);
    TRawEntry e{"cut.txt", packed};
    e.Method = 8;
    e.UncompressedSize = static_cast<int64_t>(plain.size());
    e.Crc = static_cast<int32_t>(Crc32(plain));
    TRawRun run(BuildRawZip({e}));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 1);
    const Bytes out = testutil::ReadFile(run.Target + "/cut.txt");
    EXPECT_LT(out.size(), plain.size());
    EXPECT_TRUE(std::equal(out.begin(), out.end(), plain.begin()));
    EXPECT_EQ(log.Codes, std::vector<int32_t>{kMsgCrcCheckFailed});
}

TEST(UnZipDamage, ADeflateStreamEndingBeforeTheStoredSizePassesOnOnlyWhatItDecoded) {
    const Bytes plain = TextBytes("hello world");
    TRawEntry e{"early.txt", RawDeflate(plain)};
    e.Method = 8;
    e.UncompressedSize = 1000;
    e.Crc = static_cast<int32_t>(Crc32(Concat(plain, Bytes(989, ' '))));
    TRawRun run(BuildRawZip({e}));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(testutil::ReadFile(run.Target + "/early.txt"), plain);
    EXPECT_EQ(log.Codes, std::vector<int32_t>{kMsgCrcCheckFailed});
}

TEST(UnZipDamage, AWrongCrcIsReportedOnlyToHandlers) {
    TRawEntry e{"a.txt", TextBytes("payload")};
    e.Crc = 0x12345678;
    const Bytes zip = BuildRawZip({e});
    {
        TRawRun run(zip);
        testing::internal::CaptureStderr();
        EXPECT_EQ(run.Extract(), 1);
        EXPECT_EQ(testing::internal::GetCapturedStderr(), "");  // no message box
        EXPECT_EQ(testutil::ReadText(run.Target + "/a.txt"), "payload");
    }
    {
        TRawRun run(zip);
        TErrorLog log;
        log.Attach(run.Reader);
        run.Extract();
        EXPECT_EQ(log.Codes, std::vector<int32_t>{kMsgCrcCheckFailed});
        EXPECT_EQ(log.Names, std::vector<std::string>{"a.txt"});
    }
    {
        TRawRun run(zip);
        TErrorLog log;
        log.Attach(run.Reader);
        std::vector<bool> verdicts;
        run.Reader.OnEnd = [&](fw::TObject*, const std::string&, bool pass) { verdicts.push_back(pass); };
        run.Extract();
        EXPECT_EQ(verdicts, std::vector<bool>{false});
        EXPECT_TRUE(log.Codes.empty());
    }
}

TEST(UnZipDamage, AnUnsupportedMethodLeavesAnEmptyFileAndTheOthersAreWritten) {
    TTempDir dir;
    testutil::WriteFile(dir / "src/one.txt", Text(100));
    const std::string archive = dir / "bzip2.zip";
    ASSERT_EQ(RunIn(dir / "src",
                    "7z a -tzip -mm=BZip2 " + testutil::Quote(testutil::ToHostPath(archive)) + " . >/dev/null 2>&1"),
              0);
    // A method without decoder next to a stored entry: only the first is left empty.
    TRawEntry lzma{"lzma.bin", TextBytes("not really lzma")};
    lzma.Method = 14;
    TRawRun mixed(BuildRawZip({lzma, {"plain.txt", TextBytes("plain")}}));
    TErrorLog mixedLog;
    mixedLog.Attach(mixed.Reader);
    EXPECT_EQ(mixed.Extract(), 2);
    EXPECT_TRUE(testutil::ReadFile(mixed.Target + "/lzma.bin").empty());
    EXPECT_EQ(testutil::ReadText(mixed.Target + "/plain.txt"), "plain");
    EXPECT_TRUE(mixedLog.Has(kMsgUnsupportedMethod));

    TUnJar reader(nullptr);
    reader.FileSpec = {"*.*"};
    TErrorLog log;
    log.Attach(reader);
    reader.SetArchiveFile(archive);
    reader.SetExtractDir(dir / "out");
    EXPECT_EQ(reader.Extract(), 1);
    EXPECT_TRUE(testutil::ReadFile(dir / "out/one.txt").empty());
    EXPECT_EQ(log.Codes.front(), kMsgUnsupportedMethod);
}

TEST(UnZipDamage, AnEncryptedEntryIsNeitherWrittenNorCounted) {
    TTempDir dir;
    testutil::WriteFile(dir / "src/secret.txt", std::string("top secret"));
    const std::string archive = dir / "locked.zip";
    ASSERT_EQ(RunIn(dir / "src",
                    "zip -P secret " + testutil::Quote(testutil::ToHostPath(archive)) + " secret.txt >/dev/null 2>&1"),
              0);
    TUnJar reader(nullptr);
    reader.FileSpec = {"*.*"};
    TErrorLog log;
    log.Attach(reader);
    reader.SetArchiveFile(archive);
    reader.SetExtractDir(dir / "out");
    EXPECT_EQ(reader.Extract(), 0);
    EXPECT_FALSE(testutil::Exists(dir / "out/secret.txt"));
    ASSERT_FALSE(log.Codes.empty());
    EXPECT_EQ(log.Codes[0], kMsgRequiredEventNotAssigned);
    EXPECT_EQ(log.Extended[0], "OnGetPassword");

    int asked = 0;
    reader.OnGetPassword = [&](fw::TObject*, const std::string&, std::string& password, bool&) {
        ++asked;
        password = "secret";
    };
    EXPECT_EQ(reader.Extract(), 0);
    EXPECT_EQ(asked, reader.PasswordAttempts);
}

TEST(UnZipDamage, ABadStoredBlockStopsTheEntry) {
    // Final stored block of 5 bytes whose NLEN is not the complement of LEN.
    TRawEntry e{"bad.txt", {0x01, 0x05, 0x00, 0x00, 0x00, 'h', 'e', 'l', 'l', 'o'}};
    e.Method = 8;
    e.UncompressedSize = 5;
    e.Crc = static_cast<int32_t>(Crc32(TextBytes("hello")));
    TRawRun run(BuildRawZip({e}));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_TRUE(testutil::ReadFile(run.Target + "/bad.txt").empty());
    EXPECT_EQ(log.Codes, std::vector<int32_t>{kMsgCrcCheckFailed});
}

TEST(UnZipDamage, GarbageAfterTheEndRecordIsIgnored) {
    Bytes zip = BuildRawZip({{"a.txt", TextBytes("alpha")}, {"b.txt", TextBytes("beta")}});
    zip = Concat(zip, Bytes(300, 0xAB));
    TRawRun run(zip);
    EXPECT_EQ(run.Extract(), 2);
    EXPECT_EQ(testutil::ReadText(run.Target + "/b.txt"), "beta");
}

TEST(UnZipDamage, NamesThatWouldLeaveTheTargetAreRefusedAndNotCounted) {
    const char* hostile[] = {"../evil1.txt", "a/../../evil2.txt", "..\\evil3.txt", "C:..\\evil4.txt", "x/.."};
    std::vector<TRawEntry> entries;
    for (const char* name : hostile)
        entries.push_back({name, TextBytes("pwned")});
    entries.push_back({"ok.txt", TextBytes("fine")});
    TRawRun run(BuildRawZip(entries));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(log.Codes, std::vector<int32_t>(std::size(hostile), kMsgErrorOpeningFile));
    for (const auto& path : ListTree(run.Dir.Path()))
        EXPECT_EQ(path.find("evil"), std::string::npos) << path;
    EXPECT_EQ(testutil::ReadText(run.Target + "/ok.txt"), "fine");
}

TEST(UnZipDamage, ALongNameKeeps255BytesAndTheExtraFieldIsReadWhereItIs) {
    const std::string name(300, 'n');
    const Bytes extra = {0x99, 0x99, 0x02, 0x00, 0xAA, 0xBB};
    Bytes bytes(name.begin(), name.end());
    bytes = Concat(bytes, extra);
    bytes.push_back(0x42);
    fw::TMemoryStream stream;
    LoadStream(stream, bytes);
    const TStoredName stored = ReadStoredName(stream, static_cast<uint16_t>(name.size()), 6);
    EXPECT_EQ(stored.Raw, name.substr(0, 255));
    EXPECT_EQ(stored.Extra, extra);
    EXPECT_TRUE(stored.Complete);
    EXPECT_EQ(stream.Position(), 306);
}

TEST(UnZipDamage, EveryTruncationEndsCleanlyInsideTheTarget) {
    const Bytes plain = Text(200);
    TRawEntry deflated{"d/deflated.txt", RawDeflate(plain)};
    deflated.Method = 8;
    deflated.UncompressedSize = static_cast<int64_t>(plain.size());
    deflated.Crc = static_cast<int32_t>(Crc32(plain));
    const Bytes zip = BuildRawZip({deflated, {"stored.txt", TextBytes("stored bytes")}}, "note");
    TTempDir dir;
    for (size_t cut = 0; cut <= zip.size(); cut += 1) {
        const std::string archive = dir / "cut.zip";
        testutil::WriteFile(archive, Bytes(zip.begin(), zip.begin() + static_cast<long>(cut)));
        TUnJar reader(nullptr);
        reader.FileSpec = {"*.*"};
        reader.SetArchiveFile(archive);
        reader.SetExtractDir(dir / "out");
        const int32_t count = reader.Extract();
        EXPECT_GE(count, 0);
        EXPECT_LE(count, 2);
    }
    for (const auto& path : ListTree(dir.Path()))
        EXPECT_TRUE(path == "cut.zip" || path.rfind("out/", 0) == 0) << path;
}
