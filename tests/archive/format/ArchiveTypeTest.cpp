// Archive typing and directory location: extensions, stubs, prepended bytes, comments, Zip64 and damage.
#include <gtest/gtest.h>

#include "archive/format/ArchiveType.h"
#include "archive/format/Records.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;

namespace {
TArchiveLocation Classify(const Bytes& bytes) {
    fw::TMemoryStream stream;
    LoadStream(stream, bytes);
    return ClassifyArchive(stream);
}

Bytes TwoEntries(const std::string& comment = "") {
    return BuildRawZip({{"a.txt", TextBytes("hello")}, {"dir/b.txt", TextBytes("world")}}, comment);
}

Bytes Prepend(size_t count, uint8_t value, const Bytes& archive) {
    Bytes out(count, value);
    out.insert(out.end(), archive.begin(), archive.end());
    return out;
}
}  // namespace

struct TTypeCase {
    std::vector<std::string> Names;
    bool Walked;  // without its end record: typed by the first local header
    TArcType Expected;
};

TEST(ArchiveTypeClassify, TypesByTheFirstEntryAfterTheSignature) {
    const TTypeCase cases[] = {
        {{"a.txt", "dir/b.txt"}, false, atZip},
        {{"META-INF/MANIFEST.MF", "a.class"}, false, atJar},
        {{"META-INF/", "META-INF/MANIFEST.MF", "a.class"}, false, atJar},
        {{"meta-inf/Manifest.mf", "a.class"}, false, atJar},
        {{"a.class", "META-INF/MANIFEST.MF"}, false, atZip},  // where no jar reader looks for it
        {{"META-INF/MANIFEST.MF.bak", "a.class"}, false, atZip},
        {{"META-INF/MANIFEST.MF", "a.class"}, true, atJar},
        {{"a.txt"}, true, atZip},
    };
    for (const TTypeCase& c : cases) {
        std::vector<TRawEntry> entries;
        for (const std::string& name : c.Names)
            entries.push_back({name, name.ends_with('/') ? Bytes{} : TextBytes("x")});
        Bytes zip = BuildRawZip(entries);
        if (c.Walked)
            zip.resize(zip.size() - kEndRecordSize);
        const auto loc = Classify(zip);
        EXPECT_EQ(loc.ArcType, c.Expected) << c.Names[0] << (c.Walked ? " (walked)" : "");
        EXPECT_EQ(loc.LocalWalk(), c.Walked) << c.Names[0];
    }
    EXPECT_EQ(Classify(TextBytes("this is not an archive at all")).ArcType, atNA);
    const Bytes zip = TwoEntries();
    EXPECT_EQ(Classify(Bytes(zip.begin(), zip.begin() + 19)).ArcType, atNA);
}

TEST(ArchiveTypeClassify, FindsTheDirectoryOfAPlainArchive) {
    const Bytes zip = TwoEntries();
    const auto loc = Classify(zip);
    EXPECT_TRUE(loc.State & lfEndRecord);
    EXPECT_TRUE(loc.State & lfValidDirectory);
    EXPECT_TRUE(loc.State & lfValidLocalHeader);
    EXPECT_EQ(loc.StartOffset, 0);
    EXPECT_EQ(loc.EndRecord.TotalEntries, 2);
    EXPECT_EQ(GetU32(zip, static_cast<size_t>(loc.Position)), kCentralHeaderSig);
}

TEST(ArchiveTypeClassify, SkipsLeadingZerosAndFindsTheDirectoryBehindThem) {
    const Bytes zip = Prepend(1000, 0, TwoEntries());
    const auto loc = Classify(zip);
    EXPECT_EQ(loc.ArcType, atZip);
    EXPECT_TRUE(loc.State & lfValidDirectory);
    EXPECT_FALSE(loc.State & lfValidLocalHeader);  // the stored offsets are 1000 short
    EXPECT_EQ(GetU32(zip, static_cast<size_t>(loc.Position)), kCentralHeaderSig);
}

TEST(ArchiveTypeClassify, TypesAnArchiveBehindAnExecutableStub) {
    Bytes stub = TextBytes("MZ");
    stub.resize(3000, 0x90);
    Bytes exe = stub;
    const Bytes zip = TwoEntries();
    exe.insert(exe.end(), zip.begin(), zip.end());
    EXPECT_EQ(Classify(exe).ArcType, atZipExe);
    EXPECT_EQ(Classify(stub).ArcType, atNA);
}

TEST(ArchiveTypeClassify, WalksLocalHeadersWhenTheCommentHidesTheEndRecord) {
    const auto loc = Classify(TwoEntries(std::string(40000, 'c')));
    EXPECT_EQ(loc.ArcType, atZip);
    EXPECT_TRUE(loc.LocalWalk());
    EXPECT_EQ(loc.Position, 0);
    const auto small = Classify(TwoEntries(std::string(100, 'c')));
    EXPECT_TRUE(small.State & lfValidDirectory);
}

TEST(ArchiveTypeClassify, AnEndRecordAloneIsNotFound) {
    TEndRecord end;
    const auto bytes = end.Build();
    const auto loc = Classify(Bytes(bytes.begin(), bytes.begin() + kEndRecordSize));
    EXPECT_EQ(loc.ArcType, atZip);
    EXPECT_FALSE(loc.State & lfEndRecord);
}

TEST(ArchiveTypeClassify, FallsBackOnTheLocalHeadersWhenTheDirectoryIsDamaged) {
    Bytes zip = TwoEntries();
    // Break the directory size so neither candidate holds a central header.
    const size_t endPos = zip.size() - kEndRecordSize;
    PutU32(zip, endPos + 12, GetU32(zip, endPos + 12) + 7);
    const auto loc = Classify(zip);
    EXPECT_TRUE(loc.LocalWalk());
    EXPECT_EQ(loc.Position, 0);
}

TEST(ArchiveTypeClassify, UsesTheZip64RecordsInFrontOfTheEndRecord) {
    Bytes zip = TwoEntries();
    const size_t endPos = zip.size() - kEndRecordSize;
    const auto end = *TEndRecord::Parse(std::span(zip).subspan(endPos));
    TZip64EndRecord z64;
    z64.DirectorySize = end.DirectorySize;
    z64.DirectoryOffset = end.DirectoryOffset;
    TZip64Locator locator;
    locator.Zip64EndOffset = endPos;  // where the Zip64 end record will sit
    Bytes tail(zip.begin() + static_cast<long>(endPos), zip.end());
    zip.resize(endPos);
    const auto z64Bytes = z64.Build();
    const auto locBytes = locator.Build();
    zip.insert(zip.end(), z64Bytes.begin(), z64Bytes.end());
    zip.insert(zip.end(), locBytes.begin(), locBytes.end());
    zip.insert(zip.end(), tail.begin(), tail.end());
    const auto loc = Classify(zip);
    EXPECT_TRUE(loc.State & lfZip64Locator);
    EXPECT_TRUE(loc.State & lfZip64EndRecord);
    EXPECT_TRUE(loc.State & lfValidDirectory);
    EXPECT_EQ(loc.Position, static_cast<int64_t>(end.DirectoryOffset));
}

TEST(ArchiveTypeClassify, SurvivesEveryTruncation) {
    const Bytes zip = TwoEntries("comment");
    for (size_t cut = 0; cut < zip.size(); ++cut) {
        const auto loc = Classify(Bytes(zip.begin(), zip.begin() + static_cast<long>(cut)));
        EXPECT_GE(loc.Position, 0) << cut;
    }
}

// The first value's low half decides, so "PK" as the last two bytes of the 32767 read still counts.
TEST(ArchiveTypeClassify, AnArchiveBehindAlmostAWindowOfZerosIsStillAZip) {
    for (const size_t zeros : {32764u, 32765u}) {
        const TArchiveLocation loc = Classify(Prepend(zeros, 0, TwoEntries()));
        EXPECT_EQ(loc.ArcType, atZip) << zeros;
    }
}
