// Archives that could lose or merge entries silently: damaged directories, headers shared by several
// entries, names that collide on disk, sizes only in data descriptors. Each comes back whole or reported.
#include <gtest/gtest.h>

#include <algorithm>

#include "archive/Messages.h"
#include "archive/format/Crc32.h"
#include "archive/format/Records.h"
#include "archive/names/EntryNames.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;
using testutil::TTempDir;

namespace {

constexpr size_t kCentralOffsetAt = 42;  // local header offset in a central header
constexpr uint16_t kDeflated = 8;
const std::vector<std::string> kCutWalk = {"archive ends before its central directory"};

// Positions of the central headers of a stored archive whose data hold no signature.
std::vector<size_t> CentralHeaders(const Bytes& zip) {
    std::vector<size_t> at;
    for (size_t i = 0; i + 4 <= zip.size(); ++i)
        if (GetU32(zip, i) == kCentralHeaderSig)
            at.push_back(i);
    return at;
}

std::vector<TRawEntry> Entries(std::initializer_list<const char*> names) {
    std::vector<TRawEntry> entries;
    for (const char* name : names)
        entries.push_back({name, TextBytes(std::string("data of ") + name)});
    return entries;
}

bool Reported(const TErrorLog& log, const std::string& name) {
    return std::find(log.Names.begin(), log.Names.end(), name) != log.Names.end();
}

std::string Out(TRawRun& run, const std::string& name) {
    return testutil::Join(run.Target, name);
}

}  // namespace

TEST(UnZipAmbiguity, ADamagedSecondCentralHeaderIsReportedWithTheEntriesItHides) {
    Bytes zip = BuildRawZip(Entries({"a.bin", "b.bin", "c.bin", "d.bin"}));
    zip[CentralHeaders(zip)[1] + 3] ^= 0xFF;
    TRawRun run(zip);
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 1);
    ASSERT_EQ(log.Codes.size(), 1u);
    EXPECT_EQ(log.Codes[0], kMsgBadOffsetToLocalHeader);
    EXPECT_EQ(log.Names[0], "b.bin");
    EXPECT_EQ(log.Extended[0], "central directory holds 1 of 4 entries");
}

TEST(UnZipAmbiguity, CentralHeadersSharingOneLocalHeaderAreReportedNotMerged) {
    // Same data length, so only the names tell the entries apart.
    Bytes zip = BuildRawZip({{"a.bin", TextBytes("aaaa")}, {"b.bin", TextBytes("bbbb")}, {"c.bin", TextBytes("cccc")}});
    for (const size_t header : CentralHeaders(zip))
        PutU32(zip, header + kCentralOffsetAt, 0);
    TRawRun run(zip);
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(testutil::ReadText(Out(run, "a.bin")), "aaaa");
    EXPECT_FALSE(testutil::Exists(Out(run, "b.bin")));
    EXPECT_TRUE(Reported(log, "b.bin"));
    EXPECT_TRUE(Reported(log, "c.bin"));
    EXPECT_EQ(log.Extended[0], "local header names a.bin");
}

TEST(UnZipAmbiguity, DuplicateNamesStillLetTheLaterEntryWin) {
    TRawRun run(BuildRawZip({{"dup.txt", TextBytes("first")}, {"dup.txt", TextBytes("second")}}));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 2);
    EXPECT_TRUE(log.Codes.empty());
    EXPECT_EQ(testutil::ReadText(Out(run, "dup.txt")), "second");
}

TEST(UnZipAmbiguity, LongNamesThatMeetOnceCutAreReported) {
    std::string prefix;
    for (int i = 0; i < 4; ++i)
        prefix += std::string(50, static_cast<char>('a' + i)) + "/";
    prefix += std::string(kMaxNameLength - prefix.size(), 'e');
    TRawRun run(BuildRawZip({{prefix + "-one.txt", TextBytes("one")}, {prefix + "-two.txt", TextBytes("two")}}));
    TErrorLog log;
    log.Attach(run.Reader);
    run.Extract();
    const std::string cut = ConvertEntryName(prefix, false);
    const auto clash = std::find(log.Extended.begin(), log.Extended.end(),
                                 std::string("name cut to 255 bytes meets another entry's name"));
    ASSERT_NE(clash, log.Extended.end());
    EXPECT_EQ(log.Names[static_cast<size_t>(clash - log.Extended.begin())], cut);
#ifndef _WIN32
    EXPECT_EQ(testutil::ReadText(Out(run, prefix)), "one");
#endif
}

// Windows would write both into one file; POSIX keeps two.
TEST(UnZipAmbiguity, NamesDifferingOnlyInCaseAreReportedWhereTheyWouldMerge) {
    TRawRun run(BuildRawZip(Entries({"a.class", "A.class"})));
    TErrorLog log;
    log.Attach(run.Reader);
    run.Extract();
#ifdef _WIN32
    EXPECT_TRUE(Reported(log, "A.class"));
    EXPECT_EQ(testutil::ReadText(Out(run, "a.class")), "data of a.class");
#else
    EXPECT_TRUE(log.Codes.empty());
    EXPECT_EQ(testutil::ReadText(Out(run, "A.class")), "data of A.class");
#endif
}

// The correction search runs at the directory's first header only: one wrong offset later on stays that
// entry's own fault.
TEST(UnZipAmbiguity, OneWrongOffsetBehindTheFirstEntryFailsThatEntryAlone) {
    Bytes zip = BuildRawZip(Entries({"a.bin", "b.bin", "c.bin", "d.bin"}));
    const size_t second = CentralHeaders(zip)[1] + kCentralOffsetAt;
    PutU32(zip, second, GetU32(zip, second) + 7);
    TRawRun run(zip);
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 3);
    EXPECT_EQ(log.Codes, std::vector<int32_t>{kMsgBadOffsetToLocalHeader});
    EXPECT_EQ(log.Names, std::vector<std::string>{"b.bin"});
    for (const char* name : {"a.bin", "c.bin", "d.bin"})
        EXPECT_EQ(testutil::ReadText(Out(run, name)), std::string("data of ") + name);
}

namespace {

struct TDescriptor {
    const char* What;
    bool Signed;
    bool Wide;
    uint32_t CrcXor;  // non-zero: a descriptor that does not agree with the data
};

// A deflated entry whose sizes and CRC follow its data, then a plain stored one; no directory at all,
// as in a download cut short.
Bytes DescribedWalk(const Bytes& data, const TDescriptor& d, uint16_t method = kDeflated) {
    const Bytes packed = method == kDeflated ? RawDeflate(data) : data;
    const uint32_t crc = Crc32(data);
    TLocalHeader local;
    local.VersionNeeded = 20;
    local.Flags = kFlagDataDescriptor;
    local.Method = method;
    local.NameLength = 5;
    Bytes out;
    const auto append = [&out](const auto& bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); };
    append(local.Build());
    append(std::string("d.txt"));
    append(packed);
    Bytes descriptor(24);
    size_t at = 0;
    if (d.Signed)
        PutU32(descriptor, (at += 4) - 4, kSplitMarkerSig);
    PutU32(descriptor, at, crc ^ d.CrcXor);
    at += 4;
    if (d.Wide) {
        PutU64(descriptor, at, packed.size());
        PutU64(descriptor, at + 8, data.size());
        at += 16;
    } else {
        PutU32(descriptor, at, static_cast<uint32_t>(packed.size()));
        PutU32(descriptor, at + 4, static_cast<uint32_t>(data.size()));
        at += 8;
    }
    descriptor.resize(at);
    append(descriptor);
    const Bytes after = TextBytes("after");
    TLocalHeader next;
    next.VersionNeeded = 20;
    next.Crc32 = Crc32(after);
    next.CompressedSize = next.UncompressedSize = static_cast<uint32_t>(after.size());
    next.NameLength = 9;
    append(next.Build());
    append(std::string("after.txt"));
    append(after);
    return out;
}

Bytes Cut(Bytes bytes, size_t size) {
    bytes.resize(size);
    return bytes;
}

}  // namespace

TEST(UnZipAmbiguity, AWalkFindsEntriesWhoseSizesFollowTheirData) {
    const Bytes data = testutil::RandomBytes(70000, 3);
    for (const TDescriptor d :
         {TDescriptor{"signed", true, false, 0}, TDescriptor{"unsigned", false, false, 0},
          TDescriptor{"signed Zip64", true, true, 0}, TDescriptor{"unsigned Zip64", false, true, 0}}) {
        TRawRun run(DescribedWalk(data, d));
        TErrorLog log;
        log.Attach(run.Reader);
        EXPECT_EQ(run.Extract(), 2) << d.What;
        EXPECT_EQ(log.Extended, kCutWalk) << d.What;
        EXPECT_EQ(testutil::ReadFile(Out(run, "d.txt")), data) << d.What;
        EXPECT_EQ(testutil::ReadText(Out(run, "after.txt")), "after") << d.What;
    }
}

TEST(UnZipAmbiguity, AWalkReportsEntriesItCannotDelimit) {
    const Bytes data = TextBytes("described data, described data, described data");
    const struct {
        const char* What;
        Bytes Archive;
        int32_t Code;
    } cases[] = {
        {"descriptor with another CRC", DescribedWalk(data, {"", true, false, 1}), kMsgCrcCheckFailed},
        {"stored data", DescribedWalk(data, {"", true, false, 0}, 0), kMsgUnsupportedMethod},
        {"deflate stream cut short", Cut(DescribedWalk(data, {"", true, false, 0}), 40), kMsgCrcCheckFailed},
    };
    for (const auto& c : cases) {
        TRawRun run(c.Archive);
        TErrorLog log;
        log.Attach(run.Reader);
        EXPECT_EQ(run.Extract(), 0) << c.What;
        EXPECT_EQ(log.Codes, std::vector<int32_t>{c.Code}) << c.What;
        EXPECT_EQ(log.Names, std::vector<std::string>{"d.txt"}) << c.What;
        EXPECT_FALSE(testutil::Exists(Out(run, "d.txt"))) << c.What;
    }
}

// The JDK's jar writes every deflated entry with a descriptor; cut before its directory, it is walked.
TEST(UnZipAmbiguity, AJdkJarCutBeforeItsDirectoryComesBackWhole) {
    if (!testutil::HostHas("jar"))
        GTEST_SKIP() << "no jar tool on the host";
    TTempDir dir;
    MakeSourceTree(dir / "src");
    const std::string whole = dir / "whole.jar";
    ASSERT_EQ(RunIn(dir / "src", "jar cf " + testutil::Quote(testutil::ToHostPath(whole)) + " ."), 0);
    const Bytes bytes = testutil::ReadFile(whole);
    size_t end = bytes.size() - kEndRecordSize;
    while (end > 0 && GetU32(bytes, end) != kEndRecordSig)
        --end;
    const uint32_t directory = GetU32(bytes, end + 16);
    TRawRun run(Bytes(bytes.begin(), bytes.begin() + directory), "cut.jar");
    run.Reader.CreateStoredDirs = true;
    TErrorLog log;
    log.Attach(run.Reader);
    run.Extract();
    EXPECT_EQ(log.Extended, kCutWalk);
    EXPECT_EQ(CompareWithPeer(whole, run.Target), "");
}

// A comment too long for the end-record search hides a whole archive: the walk reaches its directory.
TEST(UnZipAmbiguity, AWalkThatReachesTheDirectoryHasSeenEveryEntry) {
    TRawRun run(BuildRawZip(Entries({"a.bin", "b.bin"}), std::string(40000, 'c')));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 2);
    EXPECT_TRUE(log.Codes.empty());
}

TEST(UnZipAmbiguity, AWalkCutInsideAHeaderIsReported) {
    const Bytes whole = BuildRawZip(Entries({"a.bin", "b.bin", "c.bin"}));
    const size_t second = 30 + 5 + 13;  // header, name and data of a.bin
    TRawRun run(Cut(whole, second + 20));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 1);
    EXPECT_EQ(log.Extended, kCutWalk);
}
