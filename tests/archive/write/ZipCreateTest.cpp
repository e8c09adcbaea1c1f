// Tests of TJar::Compress on new archives: what peers say, header values, method choice, failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "archive/Messages.h"
#include "archive/format/Crc32.h"
#include "archive/write/Jar.h"
#include "tests/TestUtil.h"
#include "tests/archive/WriterFixtures.h"

namespace {

using platform::PathDelim;
using testutil::Bytes;
using writertest::TParsedArchive;

struct TErrorCall {
    std::string FileName, ExtendedMsg;
    int32_t Code;
};

class ZipCreate : public ::testing::Test {
protected:
    ZipCreate() {
        testutil::MakeDirs(Work());
        testutil::MakeDirs(FDir / "out");
        testutil::MakeDirs(Temp());
        FJar.SetTempDir(Temp());
        FJar.OnError = [this](fw::TObject*, const std::string& file, const std::string& ext, const std::string&,
                              int32_t code) {
            FErrors.push_back({file, ext, code});
        };
    }
    std::string Work() const { return FDir / "work"; }
    std::string Temp() const { return FDir / "tmp"; }
    std::string Target() const { return FDir / "out/game.jar"; }
    void Make(const std::string& rel, const Bytes& data) { testutil::WriteFile(Work() + PathDelim + D(rel), data); }
    void Make(const std::string& rel, const std::string& text) { Make(rel, Bytes(text.begin(), text.end())); }
    static std::string D(std::string rel) {
        std::replace(rel.begin(), rel.end(), '/', PathDelim);
        return rel;
    }
    int32_t Compress() {
        FJar.SetArchiveFile(Target());
        FJar.FileSpec = {Work() + PathDelim + "*.*"};
        return FJar.Compress();
    }
    TParsedArchive Parsed() { return writertest::ParseArchive(testutil::ReadFile(Target())); }
    const writertest::TParsedEntry* Find(const TParsedArchive& a, const std::string& name) {
        const auto it = std::find_if(a.Entries.begin(), a.Entries.end(),
                                     [&](const writertest::TParsedEntry& e) { return e.CentralName == name; });
        return it == a.Entries.end() ? nullptr : &*it;
    }
    bool Reported(int32_t code) const {
        return std::any_of(FErrors.begin(), FErrors.end(), [&](const TErrorCall& e) { return e.Code == code; });
    }
    bool TempFolderEmpty() {
        platform::TFindHandle find;
        platform::TFindData data;
        bool more = find.First(Temp() + PathDelim + "*", data);
        for (; more; more = find.Next(data))
            if (data.Name != "." && data.Name != "..")
                return false;
        return true;
    }

    testutil::TTempDir FDir;
    archive::TJar FJar;
    std::vector<TErrorCall> FErrors;
};

std::string Text(size_t size) {
    std::string s;
    while (s.size() < size)
        s += "public class WideCv extends javax.microedition.lcdui.Canvas {}\n";
    return s.substr(0, size);
}

TEST_F(ZipCreate, PacksTheWorkFolderIntoAJarThatEveryPeerAccepts) {
    Make("META-INF/MANIFEST.MF", "Manifest-Version: 1.0\nMIDlet-1: Game, , Main\n");
    Make("a.class", Text(2000));
    Make("com/vidorurud/fullscreen/WideCv.class", Text(388));
    EXPECT_EQ(Compress(), 3);
    EXPECT_TRUE(FErrors.empty());
    EXPECT_EQ(writertest::PeerCheck(Target()), "");
    const TParsedArchive a = Parsed();
    ASSERT_TRUE(a.Ok) << a.Problem;
    std::set<std::string> names;
    for (const auto& e : a.Entries)
        names.insert(e.CentralName);
    EXPECT_EQ(names,
              (std::set<std::string>{"META-INF/MANIFEST.MF", "a.class", "com/vidorurud/fullscreen/WideCv.class"}));
    if (testutil::HostHas("jar")) {
        const std::string listed = writertest::JarList(Target());
        for (const std::string& n : names)
            EXPECT_NE(listed.find(n), std::string::npos) << n;
        EXPECT_EQ(listed.find("META-INF/\n"), std::string::npos);
    }
    const auto* wide = Find(a, "com/vidorurud/fullscreen/WideCv.class");
    ASSERT_NE(wide, nullptr);
    const std::string source = Text(388);
    EXPECT_EQ(writertest::RawInflate(wide->Data, 388), Bytes(source.begin(), source.end()));
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(ZipCreate, HeaderValuesAreThoseOfTheTablesInBothPlaces) {
    Make("a.class", Text(5000));
    Make("b/c.txt", Text(600));
    Make("b/empty.dat", "");
    ASSERT_EQ(Compress(), 3);
    const TParsedArchive a = Parsed();
    ASSERT_TRUE(a.Ok) << a.Problem;
    ASSERT_EQ(a.Entries.size(), 3u);
    EXPECT_EQ(a.End.TotalEntries, 3);
    EXPECT_EQ(a.End.EntriesThisDisk, 3);
    EXPECT_EQ(a.End.ThisDisk, 0);
    EXPECT_EQ(a.End.DirectoryDisk, 0);
    EXPECT_EQ(a.End.CommentLength, 0);
    uint64_t expectedOffset = 0;
    for (const auto& e : a.Entries) {
        SCOPED_TRACE(e.CentralName);
        const std::string path = Work() + PathDelim + D(e.CentralName);
        platform::TFindHandle find;
        platform::TFindData data;
        ASSERT_TRUE(find.First(path, data));
        platform::TFileTime local;
        uint16_t date = 0, time = 0;
        platform::FileTimeToLocalFileTime(data.LastWriteTime, local);
        platform::FileTimeToDosDateTime(local, date, time);
        const Bytes content = testutil::ReadFile(path);

        EXPECT_EQ(e.LocalOffset, expectedOffset);  // entries follow each other without gaps
        expectedOffset += archive::kLocalHeaderSize + e.Local.NameLength + e.Local.CompressedSize;
        EXPECT_EQ(e.Local.VersionNeeded, 20);
        EXPECT_EQ(e.Central.VersionNeeded, 20);
        EXPECT_EQ(e.Central.VersionMadeBy, 20);
        EXPECT_EQ(e.Local.Flags, 0);
        EXPECT_EQ(e.Local.Flags & 0x0008, 0);  // no data descriptor
        EXPECT_EQ(e.Local.ExtraLength, 0);
        EXPECT_EQ(e.Central.ExtraLength, 0);
        EXPECT_EQ(e.Central.CommentLength, 0);
        EXPECT_EQ(e.Central.DiskNumberStart, 0);
        EXPECT_EQ(e.Central.InternalAttributes, 1);
        EXPECT_EQ(e.Central.ExternalAttributes, data.Attr & 0x40BF);
        EXPECT_EQ(e.Local.DateTime, (static_cast<uint32_t>(date) << 16) | time);
        EXPECT_EQ(e.Local.Crc32, archive::Crc32(content));
        EXPECT_EQ(e.Local.UncompressedSize, content.size());
        EXPECT_EQ(e.Local.Method, content.empty() ? 0 : 8);
        EXPECT_EQ(e.LocalName, e.CentralName);
        EXPECT_EQ(e.Central.Flags, e.Local.Flags);
        EXPECT_EQ(e.Central.Method, e.Local.Method);
        EXPECT_EQ(e.Central.DateTime, e.Local.DateTime);
        EXPECT_EQ(e.Central.Crc32, e.Local.Crc32);
        EXPECT_EQ(e.Central.CompressedSize, e.Local.CompressedSize);
        EXPECT_EQ(e.Central.UncompressedSize, e.Local.UncompressedSize);
        EXPECT_EQ(e.Central.NameLength, e.Local.NameLength);
    }
    EXPECT_EQ(a.DirectoryOffset, expectedOffset);
}

TEST_F(ZipCreate, MethodFollowsSizeContentAndExtension) {
    struct TCase {
        const char* Name;
        Bytes Data;
        uint16_t Method;
    };
    const std::string text = Text(3000);
    const TCase cases[] = {
        {"empty.bin", {}, 0},
        {"random100.bin", testutil::RandomBytes(100, 11), 0},  // grows under deflate, below 257 bytes
        {"random300.bin", testutil::RandomBytes(300, 12), 8},  // grows too, but deflated from 257 bytes on
        {"text200.txt", Bytes(text.begin(), text.begin() + 200), 8},
        {"lib.JAR", Bytes(text.begin(), text.end()), 0},
        {"inner.zip", Bytes(text.begin(), text.end()), 0},
        {"noext", Bytes(text.begin(), text.end()), 8},
    };
    for (const TCase& c : cases)
        Make(c.Name, c.Data);
    ASSERT_EQ(Compress(), 7);
    const TParsedArchive a = Parsed();
    ASSERT_TRUE(a.Ok) << a.Problem;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const auto* e = Find(a, c.Name);
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(e->Local.Method, c.Method);
        EXPECT_EQ(e->Local.Flags, 0);
        EXPECT_EQ(e->Local.UncompressedSize, c.Data.size());
        EXPECT_EQ(c.Method == 0 ? e->Data : writertest::RawInflate(e->Data, c.Data.size()), c.Data);
    }
    EXPECT_EQ(Find(a, "empty.bin")->Local.Crc32, 0u);
    EXPECT_EQ(Find(a, "empty.bin")->Local.CompressedSize, 0u);
    EXPECT_GT(Find(a, "random300.bin")->Local.CompressedSize, 300u);
    EXPECT_EQ(writertest::PeerCheck(Target()), "");
}

TEST_F(ZipCreate, DeflateTypeSetsLevelFlagsAndStoreMethodStoresAll) {
    Make("a.txt", Text(4000));
    const std::pair<archive::TDeflateType, uint16_t> cases[] = {
        {archive::dtDeflateF, 4}, {archive::dtDeflateN, 0}, {archive::dtDeflateX, 2}};
    for (const auto& [type, flags] : cases) {
        FJar.DeflateType = type;
        ASSERT_EQ(Compress(), 1);
        const TParsedArchive a = Parsed();
        ASSERT_EQ(a.Entries.size(), 1u);
        EXPECT_EQ(a.Entries[0].Local.Method, 8);
        EXPECT_EQ(a.Entries[0].Local.Flags, flags);
        EXPECT_EQ(a.Entries[0].Central.Flags, flags);
        platform::DeleteFile(Target());
    }
    FJar.SetCompressMethod(archive::cmStore);
    ASSERT_EQ(Compress(), 1);
    EXPECT_EQ(Parsed().Entries[0].Local.Method, 0);
    EXPECT_EQ(writertest::PeerCheck(Target()), "");
}

TEST_F(ZipCreate, EmptyFolderGivesNoArchiveAndNothingToDo) {
    EXPECT_EQ(Compress(), 0);
    EXPECT_FALSE(testutil::Exists(Target()));
    EXPECT_TRUE(Reported(archive::kMsgNothingToDo));
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(ZipCreate, HiddenOnlyFileIsLeftOut) {
    Make("shown.txt", "a");
    Make("secret.txt", "b");
    if (!platform::SetFileAttributes(Work() + PathDelim + "secret.txt", platform::faHidden) ||
        platform::GetFileAttributes(Work() + PathDelim + "secret.txt") != platform::faHidden)
        GTEST_SKIP() << "no file can be hidden only here (Wine adds the archive bit to every file)";
    EXPECT_EQ(Compress(), 1);
    const TParsedArchive a = Parsed();
    ASSERT_EQ(a.Entries.size(), 1u);
    EXPECT_EQ(a.Entries[0].CentralName, "shown.txt");
    platform::SetFileAttributes(Work() + PathDelim + "secret.txt", platform::faNormal);
}

TEST_F(ZipCreate, MissingTargetFolderReportsInvalidDirectory) {
    Make("a.txt", "a");
    FJar.SetArchiveFile(FDir / "nowhere/game.jar");
    FJar.FileSpec = {Work() + PathDelim + "*.*"};
    EXPECT_EQ(FJar.Compress(), 0);
    EXPECT_FALSE(testutil::Exists(FDir / "nowhere"));
    ASSERT_EQ(FErrors.size(), 1u);
    EXPECT_EQ(FErrors[0].Code, archive::kMsgInvalidDirectory);
    EXPECT_EQ(FErrors[0].ExtendedMsg, FDir / "nowhere" + PathDelim);
}

TEST_F(ZipCreate, TempDirPointingNowhereFallsBackToTheSystemFolder) {
    Make("a.txt", Text(1000));
    const std::string missing = FDir / "no/such/folder";
    FJar.BeginLoading();
    FJar.SetTempDir(missing);  // as read from a stored form: kept as text, not created
    FJar.EndLoading();
    EXPECT_EQ(FJar.TempDir(), platform::GetTempPath());
    EXPECT_EQ(Compress(), 1);
    EXPECT_FALSE(testutil::Exists(missing));
    EXPECT_EQ(writertest::PeerCheck(Target()), "");
}

TEST_F(ZipCreate, TemporaryFileInsideTheScannedFolderIsNotPacked) {
    Make("a.txt", "abc");
    FJar.SetTempDir(Work());
    EXPECT_EQ(Compress(), 1);
    const TParsedArchive a = Parsed();
    ASSERT_EQ(a.Entries.size(), 1u);
    EXPECT_EQ(a.Entries[0].CentralName, "a.txt");
}

TEST_F(ZipCreate, FailedFinalMoveKeepsTheTemporaryArchiveAndReportsIt) {
    Make("a.txt", Text(1000));
    testutil::MakeDirs(Target());  // a folder where the archive should go: neither rename nor copy can work
    EXPECT_EQ(Compress(), 0);
    ASSERT_EQ(FErrors.size(), 1u);
    EXPECT_EQ(FErrors[0].Code, archive::kMsgErrorOpeningFile);
    EXPECT_EQ(FErrors[0].ExtendedMsg, Target());
    const std::string kept = FErrors[0].FileName;
    ASSERT_TRUE(testutil::Exists(kept));
    EXPECT_EQ(kept.rfind(Temp(), 0), 0u);
    EXPECT_EQ(writertest::PeerCheck(kept), "");
    EXPECT_TRUE(writertest::ParseArchive(testutil::ReadFile(kept)).Ok);
}

TEST_F(ZipCreate, OnBeginCanDropAFile) {
    Make("keep.txt", "k");
    Make("drop.txt", "d");
    FJar.OnBegin = [](fw::TObject*, const std::string& file, int32_t, bool& go) {
        go = file.find("drop") == std::string::npos;
    };
    EXPECT_EQ(Compress(), 1);
    const TParsedArchive a = Parsed();
    ASSERT_TRUE(a.Ok);
    ASSERT_EQ(a.Entries.size(), 1u);
    EXPECT_EQ(a.Entries[0].CentralName, "keep.txt");
}

TEST_F(ZipCreate, CancelDuringTheRunLeavesNoArchiveAndNoTemporaryFile) {
    for (int i = 0; i < 4; ++i)
        Make("f" + std::to_string(i) + ".txt", Text(3000));
    int begun = 0;
    FJar.OnBegin = [&](fw::TObject*, const std::string&, int32_t, bool&) {
        if (++begun == 2)
            FJar.SetCancel(true);
    };
    EXPECT_EQ(Compress(), 0);
    EXPECT_FALSE(testutil::Exists(Target()));
    EXPECT_TRUE(Reported(archive::kMsgUserCanceled));
    EXPECT_TRUE(TempFolderEmpty());
}

TEST_F(ZipCreate, EventsBracketTheRunAndReportEveryWrittenEntry) {
    Make("a.txt", "a");
    Make("b.txt", "b");
    std::vector<std::string> log;
    FJar.OnActivate = [&](fw::TObject*) { log.push_back("activate"); };
    FJar.OnDeactivate = [&](fw::TObject*) { log.push_back("deactivate"); };
    FJar.OnEnd = [&](fw::TObject*, const std::string& name, bool pass) {
        log.push_back("end " + name + (pass ? " ok" : " bad"));
    };
    std::vector<int32_t> offsets;
    FJar.OnRead = [&](fw::TObject*, int32_t offset, int32_t) { offsets.push_back(offset); };
    ASSERT_EQ(Compress(), 2);
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log.front(), "activate");
    EXPECT_EQ(log.back(), "deactivate");
    const TParsedArchive a = Parsed();
    ASSERT_EQ(offsets.size(), 2u);
    EXPECT_EQ(offsets[0], static_cast<int32_t>(a.Entries[0].LocalOffset));
    EXPECT_EQ(offsets[1], static_cast<int32_t>(a.Entries[1].LocalOffset));
}

TEST_F(ZipCreate, NothingLeavesCompressWhenTheSourceCannotBeRead) {
    Make("a.txt", "a");
    Make("b.txt", "b");
    FJar.OnBegin = [&](fw::TObject*, const std::string& file, int32_t, bool&) {
        if (file.find("b.txt") != std::string::npos)
            platform::DeleteFile(file);  // gone before it is opened
    };
    EXPECT_EQ(Compress(), 1);
    EXPECT_TRUE(Reported(archive::kMsgErrorOpeningFile));
    EXPECT_EQ(writertest::PeerCheck(Target()), "");
}

// Workers deflating ahead (small files in memory, large ones into temporary files) and the caller's thread
// alone write the same bytes, whatever each file turns out to be.
TEST_F(ZipCreate, WorkersOrNoneGiveTheSameArchive) {
    for (int i = 0; i < 40; ++i)
        Make("src/c" + std::to_string(i) + ".java", Text(100 + 997 * static_cast<size_t>(i)));
    Make("empty.txt", "");
    Make("noise.bin", testutil::RandomBytes(200, 3));   // small and not shrinking: stored
    Make("store.zip", testutil::RandomBytes(5000, 4));  // stored by its extension
    Make("large.txt", Text(3 * 1024 * 1024));           // above the in-memory limit
    Make("large.bin", testutil::RandomBytes(1536 * 1024, 5));
    std::vector<Bytes> archives;
    for (const archive::TWorkers workers : {archive::wkNever, archive::wkAuto}) {
        FJar.Workers = workers;
        ASSERT_EQ(Compress(), 45);
        archives.push_back(testutil::ReadFile(Target()));
        platform::DeleteFile(Target());
    }
    EXPECT_EQ(archives[0], archives[1]);
    EXPECT_TRUE(FErrors.empty());
}

}  // namespace
