// The reader against hostile archives and failing disks: every run ends with a clear outcome, stays inside
// its target, writes no more than an entry declares, and never leaves a damaged file it did not report.
#include <gtest/gtest.h>

#include "archive/format/Crc32.h"
#include "platform/Platform.h"
#include "tests/archive/ArchiveFixtures.h"
#include "tests/archive/FaultFixtures.h"

namespace {

using archivetest::BuildRawZip;
using archivetest::PyZip;
using archivetest::TRawEntry;
using faulttest::Bytes;
using faulttest::ExpectNoSilentDamage;
using faulttest::ExtractAll;
using faulttest::TFiles;
using testutil::TTempDir;

constexpr uint32_t kBombChunks = 48;  // 3 GiB of zeros from about 3 MB of data
constexpr uint64_t kBombSize = faulttest::kBombChunk * kBombChunks;
constexpr size_t kKiB = 1024;

// A few MIDlet-like files: text that compresses, bytes that do not, an empty one, nested folders.
TFiles SampleFiles() {
    std::string text;
    for (int i = 0; i < 400; ++i)
        text += "line " + std::to_string(i) + " names javax/microedition/lcdui/Canvas\n";
    return {{"META-INF/MANIFEST.MF", archivetest::TextBytes("Manifest-Version: 1.0\n")},
            {"a/Main.class", archivetest::TextBytes(text)},
            {"a/b/noise.bin", testutil::RandomBytes(20000, 7)},
            {"a/empty.txt", {}},
            {"icon.png", testutil::RandomBytes(6000, 8)}};
}

Bytes PackWithPython(const TTempDir& dir, const TFiles& files, bool stored = false) {
    const std::string zip = dir / "peer.zip";
    PyZip(zip, {files.begin(), files.end()}, stored);
    return testutil::ReadFile(zip);
}

// The bomb as one entry of `declared` bytes, followed by an ordinary small entry.
Bytes BombArchive(uint64_t declared) {
    static uint32_t crc = 0;
    static const Bytes data = faulttest::ZeroBomb(kBombChunks, crc);
    TRawEntry bomb{"bomb.bin", data};
    bomb.Method = 8;
    bomb.UncompressedSize = static_cast<int64_t>(declared);
    bomb.Crc = static_cast<int32_t>(crc);
    return BuildRawZip({bomb, {"after.txt", archivetest::TextBytes("after the bomb")}});
}

uint64_t SizeOf(const std::string& path) {
    return testutil::Exists(path) ? testutil::ReadFile(path).size() : 0;
}

// Expected: the bomb's data would inflate to 3 GiB but the entry declares 1 MiB. At most 1 MiB is written,
// the entry is reported as failed, and the small entry after it is still extracted.
TEST(ZipBomb, AnEntryNeverGrowsPastItsDeclaredSize) {
    TTempDir dir;
    const std::string zip = dir / "bomb.zip";
    testutil::WriteFile(zip, BombArchive(1u << 20));
    const auto outcome = ExtractAll(zip, dir / "out");
    EXPECT_LE(SizeOf(dir / "out/bomb.bin"), 1u << 20);
    EXPECT_TRUE(outcome.WasReported("bomb.bin"));
    EXPECT_EQ(testutil::ReadText(dir / "out/after.txt"), "after the bomb");
}

#ifndef _WIN32
// Expected: an honest 3 GiB entry meets a disk that is full after 16 MiB (a file-size limit). The write
// error is reported for that entry, the partial file stops at the limit, the run ends and the next
// entry is still written (it fits).
TEST(ZipBomb, AFullDiskEndsTheEntryCleanly) {
    TTempDir dir;
    const std::string zip = dir / "bomb.zip";
    testutil::WriteFile(zip, BombArchive(kBombSize));
    constexpr uint64_t kLimit = 16u << 20;
    faulttest::TExtractOutcome outcome;
    {
        faulttest::TFileSizeLimit disk(kLimit);
        outcome = ExtractAll(zip, dir / "out");
    }
    EXPECT_LE(SizeOf(dir / "out/bomb.bin"), kLimit);
    EXPECT_TRUE(outcome.WasReported("bomb.bin"));
    EXPECT_EQ(testutil::ReadText(dir / "out/after.txt"), "after the bomb");
    EXPECT_EQ(outcome.Count, 1);
}

// Expected: a stored entry larger than the room left is counted off once, its write error reported, and
// writing it stops at the first chunk that cannot go out; the files that fit stay counted.
TEST(FullDisk, AStoredEntryThatDoesNotFitIsCountedOffOnce) {
    TTempDir dir;
    TFiles files = SampleFiles();
    files["big.bin"] = testutil::RandomBytes(300 * kKiB, 9);
    const std::string zip = dir / "stored.zip";
    testutil::WriteFile(zip, PackWithPython(dir, files, true));
    faulttest::TExtractOutcome outcome;
    {
        faulttest::TFileSizeLimit disk(100 * kKiB);
        outcome = ExtractAll(zip, dir / "out");
    }
    EXPECT_EQ(outcome.Count, static_cast<int32_t>(files.size()) - 1);
    EXPECT_TRUE(outcome.WasReported("big.bin"));
    ExpectNoSilentDamage(files, outcome, dir / "out");
}

// Expected: an output path that leads to /dev/full (a link left in the target) makes that entry fail with
// a reported write error or be replaced by a real file; the other entries are written either way.
TEST(FullDisk, AnOutputLeadingToDevFullIsReportedOrReplaced) {
    TTempDir dir;
    const TFiles files = SampleFiles();
    const std::string zip = dir / "peer.zip";
    testutil::WriteFile(zip, PackWithPython(dir, files));
    testutil::MakeDirs(dir / "out/a");
    const std::string link = testutil::Quote(dir / "out/a/Main.class");
    ASSERT_EQ(testutil::RunHost("ln -s /dev/full " + link), 0);
    const auto outcome = ExtractAll(zip, dir / "out");
    if (testutil::RunHost("test -L " + link) == 0) {
        EXPECT_TRUE(outcome.WasReported("a/Main.class"));
        testutil::RunHost("rm " + link);  // reading it would never end
    }
    ExpectNoSilentDamage(files, outcome, dir / "out");
    EXPECT_EQ(testutil::ReadFile(dir / "out/icon.png"), files.at("icon.png"));
}

// Expected: a large deflated entry, written behind the decoder, meets a full disk: the failure reaches the
// events and the next entry is written, but no message box comes up (the console shows them on stderr).
TEST(FullDisk, ALargeDeflatedEntryOnAFullDiskRaisesNoMessageBox) {
    TTempDir dir;
    const TFiles files = {{"big.bin", archivetest::TextBytes(std::string(3u << 20, 'x'))},
                          {"after.txt", archivetest::TextBytes("after")}};
    const std::string zip = dir / "large.zip";
    testutil::WriteFile(zip, PackWithPython(dir, files));
    testutil::MakeDirs(dir / "out");
    ASSERT_EQ(testutil::RunHost("ln -s /dev/full " + testutil::Quote(dir / "out/big.bin")), 0);
    testing::internal::CaptureStderr();
    const auto outcome = ExtractAll(zip, dir / "out");
    const std::string shown = testing::internal::GetCapturedStderr();
    testutil::RunHost("rm " + testutil::Quote(dir / "out/big.bin"));
    EXPECT_EQ(shown.find("Disk full"), std::string::npos) << shown;
    EXPECT_TRUE(outcome.WasReported("big.bin"));
    EXPECT_EQ(testutil::ReadText(dir / "out/after.txt"), "after");
}
#endif

// Expected, for every cut at a 1 KiB boundary of archives made by the peers: the run ends, writes only
// inside its target, and every file it leaves either holds its original bytes or was reported.
TEST(TruncatedArchive, EveryKibibyteBoundaryEndsCleanlyWithoutSilentDamage) {
    const TFiles files = SampleFiles();
    TTempDir dir;
    for (bool stored : {false, true}) {
        const Bytes whole = PackWithPython(dir, files, stored);
        for (size_t cut = 0; cut < whole.size(); cut += kKiB) {
            TTempDir run;
            const std::string zip = run / "cut.zip";
            testutil::WriteFile(zip, Bytes(whole.begin(), whole.begin() + static_cast<long>(cut)));
            const auto outcome = ExtractAll(zip, run / "out");
            EXPECT_GE(outcome.Count, 0);
            EXPECT_LE(outcome.Count, static_cast<int32_t>(files.size()));
            ExpectNoSilentDamage(files, outcome, run / "out");
            for (const auto& path : archivetest::ListTree(run.Path()))
                EXPECT_TRUE(path == "cut.zip" || path.rfind("out/", 0) == 0) << path << " at cut " << cut;
        }
    }
}

// The central header's field holding the entry's local header offset.
constexpr size_t kLocalOffsetField = 42;

struct TDirectoryCase {
    const char* what;
    // New local header offset for central header `index` of `headers`.
    uint32_t (*offset)(const std::vector<size_t>& headers, size_t index, const Bytes& zip);
};

// Expected for each: the run ends, nothing outside the target, and whatever is written either matches
// the entry's original bytes or was reported (a CRC or header error names it).
const TDirectoryCase kDirectoryCases[] = {
    {"every entry beyond the end of the file",
     [](auto&, size_t, const Bytes& zip) { return static_cast<uint32_t>(zip.size() + 1000); }},
    {"every entry at the last byte",
     [](auto&, size_t, const Bytes& zip) { return static_cast<uint32_t>(zip.size() - 1); }},
    {"entries pointing at the next central header, the last at the first",
     [](auto& headers, size_t i, const Bytes&) { return static_cast<uint32_t>(headers[(i + 1) % headers.size()]); }},
    {"every entry pointing at the end record",
     [](auto&, size_t, const Bytes& zip) { return static_cast<uint32_t>(faulttest::EndRecord(zip)); }},
    {"every entry sharing the first local header", [](auto&, size_t, const Bytes&) { return 0u; }},
    {"offsets near 4 GiB", [](auto&, size_t i, const Bytes&) { return 0xFFFFFFFFu - static_cast<uint32_t>(i); }},
};

TEST(HostileDirectory, EntriesPointingAtEachOtherOrBeyondTheFileEndCleanly) {
    const TFiles files = SampleFiles();
    TTempDir dir;
    const Bytes original = PackWithPython(dir, files);
    const auto headers = faulttest::CentralHeaders(original);
    ASSERT_EQ(headers.size(), files.size());
    for (const auto& c : kDirectoryCases) {
        Bytes zip = original;
        for (size_t i = 0; i < headers.size(); ++i)
            faulttest::Put32(zip, headers[i] + kLocalOffsetField, c.offset(headers, i, original));
        TTempDir run;
        testutil::WriteFile(run / "hostile.zip", zip);
        const auto outcome = ExtractAll(run / "hostile.zip", run / "out");
        EXPECT_LE(outcome.Count, static_cast<int32_t>(files.size())) << c.what;
        ExpectNoSilentDamage(files, outcome, run / "out");
        EXPECT_EQ(testutil::ReadFile(run / "hostile.zip"), zip) << c.what;
    }
}

// End record fields: entries on this disk, entries in all, directory size, directory offset.
constexpr size_t kEndEntriesHere = 8, kEndEntries = 10, kEndDirSize = 12, kEndDirOffset = 16;

// Expected: an end record claiming 65,535 entries over a directory of one entry (or of none) gives at
// most the entries really there, each intact or reported, with no hang and no huge allocation.
TEST(HostileDirectory, AnEntryCountOf65535WithATinyDirectoryEndsCleanly) {
    const TFiles one = {{"only.txt", archivetest::TextBytes("the only entry")}};
    TTempDir dir;
    const Bytes original = PackWithPython(dir, one);
    const size_t end = faulttest::EndRecord(original);
    for (uint32_t dirSize : {faulttest::Get32(original, end + kEndDirSize), 0u, 1u}) {
        Bytes zip = original;
        faulttest::Put16(zip, end + kEndEntriesHere, 0xFFFF);
        faulttest::Put16(zip, end + kEndEntries, 0xFFFF);
        faulttest::Put32(zip, end + kEndDirSize, dirSize);
        TTempDir run;
        testutil::WriteFile(run / "many.zip", zip);
        const auto outcome = ExtractAll(run / "many.zip", run / "out");
        EXPECT_LE(outcome.Count, 1) << "directory size " << dirSize;
        ExpectNoSilentDamage(one, outcome, run / "out");
    }
    // The same claim with the directory offset beyond the file.
    Bytes zip = original;
    faulttest::Put16(zip, end + kEndEntries, 0xFFFF);
    faulttest::Put32(zip, end + kEndDirOffset, 0x7FFFFFF0);
    TTempDir run;
    testutil::WriteFile(run / "many.zip", zip);
    const auto outcome = ExtractAll(run / "many.zip", run / "out");
    EXPECT_LE(outcome.Count, 1);
    ExpectNoSilentDamage(one, outcome, run / "out");
}

// Expected: a target folder removed while the run is under way (after the first file) is either made
// again for the later files or each later file is reported; nothing is written elsewhere.
TEST(VanishingTarget, ATargetRemovedMidRunIsRecreatedOrReported) {
    const TFiles files = SampleFiles();
    TTempDir dir;
    testutil::WriteFile(dir / "peer.zip", PackWithPython(dir, files));
    const std::string target = dir / "out";
    int begun = 0;
    const auto outcome = ExtractAll(dir / "peer.zip", target, [&](archive::TUnJar& reader) {
        reader.OnBegin = [&](fw::TObject*, const std::string&, int32_t, bool&) {
            if (++begun == 2)
                testutil::RemoveTree(target);
        };
    });
    EXPECT_GE(begun, 2);
    ExpectNoSilentDamage(files, outcome, target);
    const size_t left = testutil::Exists(target) ? faulttest::ReadTree(target).size() : 0;
    EXPECT_LE(static_cast<size_t>(outcome.Count), left + 1);  // the first file went with the folder
    for (const auto& path : archivetest::ListTree(dir.Path()))
        EXPECT_TRUE(path == "peer.zip" || path.rfind("out/", 0) == 0) << path;
}

// Expected: a target path that is a file, not a folder, cannot take any entry: nothing is counted and the
// file keeps its bytes (works as root, where permission bits would not stop a write).
TEST(VanishingTarget, ATargetThatIsAFileTakesNothing) {
    const TFiles files = SampleFiles();
    TTempDir dir;
    testutil::WriteFile(dir / "peer.zip", PackWithPython(dir, files));
    testutil::WriteFile(dir / "out", std::string("not a folder"));
    const auto outcome = ExtractAll(dir / "peer.zip", dir / "out");
    EXPECT_EQ(outcome.Count, 0);
    EXPECT_EQ(testutil::ReadText(dir / "out"), "not a folder");
}

}  // namespace
