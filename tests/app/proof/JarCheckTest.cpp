// The rebuilt-jar check against right and wrong rebuilds of originals made by hand and by the peer tools.
#include <gtest/gtest.h>

#include <functional>

#include "../job/JobFixture.h"
#include "app/job/PatchRule.h"
#include "app/job/ReplaceInFile.h"
#include "app/proof/DecodedClasses.h"
#include "app/proof/RebuiltJarCheck.h"
#include "app/proof/Substitute.h"
#include "archive/format/Crc32.h"
#include "archive/format/Records.h"
#include "archive/read/UnZip.h"
#include "tests/archive/ArchiveFixtures.h"

namespace {

using testutil::Bytes;
using testutil::TTempDir;

constexpr uint16_t kUtf8 = 0x0800;
constexpr uint16_t kDescriptor = 0x0008;
constexpr uint16_t kDeflated = 8;
constexpr size_t kEndRecordTotal = 10;  // offset of the total entry count in an end record

struct TEntry {
    std::string Name;
    Bytes Data;
    uint16_t Flags = 0;
};
using TEntries = std::vector<TEntry>;

const Bytes& Payload() {
    static const Bytes payload = testutil::RandomBytes(388, 77);
    return payload;
}

Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// A class larger than two read chunks, naming the canvas across both chunk boundaries and at its end.
Bytes BigClass() {
    Bytes data = testutil::RandomBytes(70000, 9);
    const std::string canvas = jobtest::kCanvas;
    for (size_t at : {size_t{32768 - 12}, size_t{65536 - 30}, data.size() - canvas.size()})
        std::copy(canvas.begin(), canvas.end(), data.begin() + static_cast<std::ptrdiff_t>(at));
    return data;
}

// The sample MIDlet, a UTF-8 name, a big class and one name twice (the later copy is the one extracted).
TEntries OriginalEntries() {
    TEntries entries;
    entries.push_back({"META-INF/", {}});
    for (const auto& [name, data] : jobtest::SampleTree())
        entries.push_back({name, data});
    entries.push_back({"res/na\xC3\xAFve-\xC3\xBC.txt", Text("utf-8 name"), kUtf8});
    entries.push_back({"game/Big.class", BigClass()});
    entries.push_back({"dup.txt", Text("first copy")});
    entries.push_back({"dup.txt", Text("second copy")});
    return entries;
}

// What a right rebuild holds: each name once with its last copy, classes patched, folders gone, payload added.
TEntries RightRebuild(const TEntries& original) {
    TEntries rebuilt;
    for (const TEntry& e : original) {
        if (e.Name.back() == '/')
            continue;
        std::erase_if(rebuilt, [&](const TEntry& r) { return r.Name == e.Name; });
        rebuilt.push_back({e.Name, jobtest::PatchedTree({{e.Name, e.Data}}).at(e.Name), e.Flags});
    }
    rebuilt.push_back({app::kPayloadEntryName, Payload()});
    return rebuilt;
}

TEntry& Find(TEntries& entries, const std::string& name) {
    for (TEntry& e : entries)
        if (e.Name == name)
            return e;
    throw std::runtime_error("no entry " + name);
}

void Remove(TEntries& entries, const std::string& name) {
    std::erase_if(entries, [&](const TEntry& e) { return e.Name == name; });
}

// The 22-byte end record starts this far from the end of an archive without a comment.
size_t EndRecordAt(const Bytes& zip) {
    return zip.size() - archive::kEndRecordSize;
}

template <typename T>
void Append(Bytes& to, const T& bytes) {
    to.insert(to.end(), bytes.begin(), bytes.end());
}

// Deflated entries built byte by byte. With descriptors, each entry's data are followed by a signed data
// descriptor and the central directory is left out, as a writer that never finished leaves them.
Bytes Pack(const TEntries& entries, bool descriptors = false) {
    Bytes zip, directory;
    for (const TEntry& e : entries) {
        const Bytes packed = archivetest::RawDeflate(e.Data);
        archive::TLocalHeader local;
        local.Method = kDeflated;
        local.Flags = e.Flags | (descriptors ? kDescriptor : 0);
        local.Crc32 = archive::Crc32(e.Data);
        local.CompressedSize = static_cast<uint32_t>(packed.size());
        local.UncompressedSize = static_cast<uint32_t>(e.Data.size());
        local.NameLength = static_cast<uint16_t>(e.Name.size());
        archive::TCentralHeader central;
        central.Method = local.Method;
        central.Flags = local.Flags;
        central.Crc32 = local.Crc32;
        central.CompressedSize = local.CompressedSize;
        central.UncompressedSize = local.UncompressedSize;
        central.NameLength = local.NameLength;
        central.LocalHeaderOffset = static_cast<uint32_t>(zip.size());
        Append(zip, local.Build());
        Append(zip, e.Name);
        Append(zip, packed);
        if (descriptors) {
            std::array<uint8_t, 16> d{};
            archive::PutU32(d, 0, archive::kSplitMarkerSig);
            archive::PutU32(d, 4, local.Crc32);
            archive::PutU32(d, 8, local.CompressedSize);
            archive::PutU32(d, 12, local.UncompressedSize);
            Append(zip, d);
        }
        Append(directory, central.Build());
        Append(directory, e.Name);
    }
    if (descriptors)
        return zip;
    archive::TEndRecord end;
    end.EntriesThisDisk = end.TotalEntries = static_cast<uint16_t>(entries.size());
    end.DirectorySize = static_cast<uint32_t>(directory.size());
    end.DirectoryOffset = zip.size();
    Append(zip, directory);
    const auto record = end.Build();
    zip.insert(zip.end(), record.begin(), record.begin() + archive::kEndRecordSize);
    return zip;
}

// The original's classes as the job's reader hands them over while it extracts the archive.
void ExtractWithClassTap(const std::string& archive, const std::string& target, app::TDecodedClasses& classes) {
    archive::TUnJar reader(nullptr);
    reader.FileSpec = {"*.*"};
    reader.SetArchiveFile(archive);
    reader.SetExtractDir(target);
    reader.OnEntryData = [&classes](const archive::TEntryInfo& entry, std::span<const uint8_t> data) {
        classes.Feed(entry.StoredName, data);
    };
    reader.Extract();
    EXPECT_TRUE(classes.Find("game/Board.class").has_value());
}

// Writes both archives and runs the check; with ReaderClasses, as the job runs it after its extraction.
struct TRun {
    TTempDir Dir;
    std::string Original = Dir / "game.jar";
    std::string Rebuilt = Dir / "game.jar.new";
    bool ReaderClasses = false;

    app::TJarCheckResult Check(const Bytes& original,
                               const Bytes& rebuilt,
                               const std::optional<app::TExpectedPayload>& payload = std::nullopt) {
        testutil::WriteFile(Original, original);
        testutil::WriteFile(Rebuilt, rebuilt);
        app::TDecodedClasses classes(app::JobProofRule());
        if (ReaderClasses)
            ExtractWithClassTap(Original, Dir / "extracted", classes);
        return app::CheckRebuiltJar(app::JobProofRule(), Original, Rebuilt, payload,
                                    ReaderClasses ? &classes : nullptr);
    }
};

struct TCase {
    const char* What;
    std::function<void(TEntries& original, TEntries& rebuilt)> Change;
    std::function<void(Bytes& original, Bytes& rebuilt)> Damage;
    app::TJarCheckReason Reason;
    std::string Entry;
    bool OriginalConcerned = false;
};

void Flip(Bytes& zip, const std::string& name) {
    // The first occurrence of the name is in its local header; its data follow.
    const auto at = std::search(zip.begin(), zip.end(), name.begin(), name.end());
    ASSERT_NE(at, zip.end());
    *(at + static_cast<std::ptrdiff_t>(name.size()) + 1) ^= 0x55;
}

void ExpectCase(const TCase& c, bool descriptors, bool readerClasses = false) {
    TEntries original = OriginalEntries();
    TEntries rebuilt = RightRebuild(original);
    if (c.Change)
        c.Change(original, rebuilt);
    Bytes originalZip = Pack(original, descriptors);
    Bytes rebuiltZip = Pack(rebuilt);
    if (c.Damage)
        c.Damage(originalZip, rebuiltZip);
    TRun run;
    run.ReaderClasses = readerClasses;
    const app::TJarCheckResult result = run.Check(originalZip, rebuiltZip);
    EXPECT_EQ(result.Reason, c.Reason) << c.What << ": " << result.Detail;
    EXPECT_EQ(result.Entry, c.Entry) << c.What;
    EXPECT_EQ(result.Ok(), c.Reason == app::jcOk) << c.What;
    if (!result.Ok()) {
        EXPECT_EQ(result.Archive, c.OriginalConcerned ? run.Original : run.Rebuilt) << c.What;
    }
}

const std::string kUtf8Name = "res/na\xC3\xAFve-\xC3\xBC.txt";

const std::vector<TCase>& Cases() {
    static const std::vector<TCase> cases = {
        {"a right rebuild", nullptr, nullptr, app::jcOk, ""},
        {"an entry left out", [](TEntries&, TEntries& r) { Remove(r, "res/i.png"); }, nullptr, app::jcEntryMissing,
         "res/i.png"},
        {"one byte changed", [](TEntries&, TEntries& r) { Find(r, "res/level.dat").Data[3] ^= 1; }, nullptr,
         app::jcEntryDiffers, "res/level.dat"},
        {"one byte more", [](TEntries&, TEntries& r) { Find(r, "empty.txt").Data.push_back(0); }, nullptr,
         app::jcEntryDiffers, "empty.txt"},
        {"bit 11 lost", [](TEntries&, TEntries& r) { Find(r, kUtf8Name).Flags = 0; }, nullptr, app::jcNameEncoding,
         kUtf8Name},
        {"bit 11 added to a name beyond ASCII",
         [](TEntries& o, TEntries& r) {
             Find(o, kUtf8Name).Flags = 0;
             Find(r, kUtf8Name).Flags = kUtf8;
         },
         nullptr, app::jcNameEncoding, kUtf8Name},
        {"bit 11 added to an ASCII name", [](TEntries&, TEntries& r) { Find(r, "res/LICENSE").Flags = kUtf8; }, nullptr,
         app::jcOk, ""},
        {"a class left unpatched",
         [](TEntries& o, TEntries& r) { Find(r, "game/Board.class").Data = Find(o, "game/Board.class").Data; }, nullptr,
         app::jcEntryDiffers, "game/Board.class"},
        {"a .CLASS name left unpatched",
         [](TEntries& o, TEntries& r) {
             Find(r, "game/deep/er/Menu.CLASS").Data = Find(o, "game/deep/er/Menu.CLASS").Data;
         },
         nullptr, app::jcEntryDiffers, "game/deep/er/Menu.CLASS"},
        {"a big class unpatched at its last occurrence only",
         [](TEntries&, TEntries& r) {
             Bytes& data = Find(r, "game/Big.class").Data;
             const std::string canvas = jobtest::kCanvas;
             std::copy(canvas.begin(), canvas.end(), data.end() - static_cast<std::ptrdiff_t>(canvas.size()));
         },
         nullptr, app::jcEntryDiffers, "game/Big.class"},
        {"a resource patched like a class",
         [](TEntries& o, TEntries& r) {
             Find(r, "res/level.dat").Data =
                 jobtest::PatchedTree({{"x.class", Find(o, "res/level.dat").Data}})["x.class"];
         },
         nullptr, app::jcEntryDiffers, "res/level.dat"},
        {"no payload", [](TEntries&, TEntries& r) { Remove(r, app::kPayloadEntryName); }, nullptr,
         app::jcPayloadMissing, ""},
        {"the earlier of two copies kept", [](TEntries&, TEntries& r) { Find(r, "dup.txt").Data = Text("first copy"); },
         nullptr, app::jcEntryDiffers, "dup.txt"},
        {"a file the original does not have",
         [](TEntries&, TEntries& r) {
             r.push_back({"junk.txt", Text("x")});
         },
         nullptr, app::jcUnexpectedEntry, "junk.txt"},
        {"a name stored twice in the rebuilt jar",
         [](TEntries&, TEntries& r) {
             r.push_back({"res/LICENSE", Text("no dot in this name\n")});
         },
         nullptr, app::jcUnexpectedEntry, "res/LICENSE"},
        {"data damaged behind a right directory", nullptr, [](Bytes&, Bytes& r) { Flip(r, "res/music.bin"); },
         app::jcRebuiltUnreadable, "res/music.bin"},
    };
    return cases;
}

TEST(JarCheck, TellsRightRebuildsFromWrongOnesAndNamesTheFirstEntryConcerned) {
    for (const TCase& c : Cases())
        ExpectCase(c, false);
}

// The classes' CRCs taken from the reader's decoding give the same verdicts as the check's own decoding.
TEST(JarCheck, GivesTheSameVerdictsWithTheClassesTheReaderDecoded) {
    for (const TCase& c : Cases())
        ExpectCase(c, false, true);
}

// What the reader saw is used only where it is what the records say: another entry's bytes under the name
// (an earlier copy, a damaged read) leave the check to decode the class itself.
TEST(JarCheckClasses, KeepsTheLaterOfTwoCopiesAndIsIgnoredWhereItDiffersFromTheRecords) {
    const Bytes board = jobtest::SampleTree().at("game/Board.class");
    const std::string name = "game/Board.class";
    app::TDecodedClasses classes(app::JobProofRule());
    classes.Feed(name, {});
    classes.Feed(name, Text("an earlier copy"));
    classes.Feed(name, {});
    classes.Feed(name, board);
    classes.Feed("res/level.dat", {});
    classes.Feed("res/level.dat", Text("not a class"));
    const auto seen = classes.Find(name);
    ASSERT_TRUE(seen.has_value());
    EXPECT_EQ(seen->Size, board.size());
    EXPECT_EQ(seen->Crc, archive::Crc32(board));
    EXPECT_EQ(seen->PatchedCrc, archive::Crc32(jobtest::PatchedTree({{name, board}}).at(name)));
    EXPECT_FALSE(classes.Find("res/level.dat").has_value());

    TEntries original = OriginalEntries();
    const Bytes originalZip = Pack(original);
    const Bytes rebuiltZip = Pack(RightRebuild(original));
    app::TDecodedClasses stale(app::JobProofRule());
    stale.Feed(name, {});
    stale.Feed(name, Text("an earlier copy"));
    TRun run;
    testutil::WriteFile(run.Original, originalZip);
    testutil::WriteFile(run.Rebuilt, rebuiltZip);
    const auto result = app::CheckRebuiltJar(app::JobProofRule(), run.Original, run.Rebuilt, std::nullopt, &stale);
    EXPECT_TRUE(result.Ok()) << result.Reason << " " << result.Entry << " " << result.Detail;
}

TEST(JarCheck, ReadsAnOriginalWithDataDescriptorsAndNoDirectoryByItsLocalHeaders) {
    for (const TCase& c : Cases())
        ExpectCase(c, true);
}

TEST(JarCheck, ComparesTheEndRecordsCountWithTheEntriesRead) {
    const std::vector<TCase> cases = {
        {"original claims one entry more", nullptr,
         [](Bytes& o, Bytes&) {
             archive::PutU16(o, EndRecordAt(o) + kEndRecordTotal,
                             archive::GetU16(o, EndRecordAt(o) + kEndRecordTotal) + 1);
         },
         app::jcCountMismatch, "", true},
        {"rebuilt claims one entry fewer", nullptr,
         [](Bytes&, Bytes& r) {
             archive::PutU16(r, EndRecordAt(r) + kEndRecordTotal,
                             archive::GetU16(r, EndRecordAt(r) + kEndRecordTotal) - 1);
         },
         app::jcCountMismatch, ""},
    };
    for (const TCase& c : cases)
        ExpectCase(c, false);
}

TEST(JarCheck, ChecksThePayloadAgainstWhatTheCallerExpects) {
    const TEntries original = OriginalEntries();
    const Bytes originalZip = Pack(original);
    const Bytes rebuiltZip = Pack(RightRebuild(original));
    const app::TExpectedPayload right{Payload().size(), archive::Crc32(Payload())};
    TRun run;
    EXPECT_TRUE(run.Check(originalZip, rebuiltZip, right).Ok());
    const auto result = run.Check(originalZip, rebuiltZip, app::TExpectedPayload{right.Size, right.Crc ^ 1});
    EXPECT_EQ(result.Reason, app::jcEntryDiffers);
    EXPECT_EQ(result.Entry, app::kPayloadEntryName);
}

// Bytes in front of the archive (a launcher stub) that its offsets do not count, and a comment with a
// false end-record signature in it.
TEST(JarCheck, AcceptsAnOriginalBehindAStubAndWithAComment) {
    const TEntries original = OriginalEntries();
    std::vector<archivetest::TRawEntry> raw;
    for (const TEntry& e : original)
        raw.push_back({.Name = e.Name, .Data = e.Data, .Flags = e.Flags});
    Bytes zip = archivetest::BuildRawZip(raw, std::string("PK\x05\x06 a comment", 14));
    Bytes stubbed = testutil::RandomBytes(5000, 3);
    stubbed.insert(stubbed.end(), zip.begin(), zip.end());
    TRun run;
    const auto result = run.Check(stubbed, Pack(RightRebuild(original)));
    EXPECT_TRUE(result.Ok()) << result.Reason << " " << result.Entry << " " << result.Detail;
}

TEST(JarCheck, NamesTheOriginalWhenItCannotBeRead) {
    const Bytes rebuilt = Pack(RightRebuild(OriginalEntries()));
    TRun run;
    const auto notZip = run.Check(Text("this is no archive at all, just text"), rebuilt);
    EXPECT_EQ(notZip.Reason, app::jcOriginalUnreadable);
    EXPECT_EQ(notZip.Archive, run.Original);
    const auto missing = app::CheckRebuiltJar(app::JobProofRule(), run.Dir / "nothing.jar", run.Rebuilt);
    EXPECT_EQ(missing.Reason, app::jcOriginalUnreadable);
    // A class stored with a method nobody decodes cannot be proved patched.
    std::vector<archivetest::TRawEntry> raw = {{.Name = "A.class", .Data = Text("abc"), .Method = 12}};
    const auto unknown = run.Check(archivetest::BuildRawZip(raw), Pack(RightRebuild({{"A.class", Text("abc")}})));
    EXPECT_EQ(unknown.Reason, app::jcOriginalUnreadable);
    EXPECT_EQ(unknown.Entry, "A.class");
}

// Every cut of the rebuilt jar fails cleanly; every cut of the original ends with some clear outcome.
TEST(JarCheck, SurvivesArchivesCutAtEveryOffset) {
    const TEntries original = {{"a.class", Text(std::string("x") + jobtest::kCanvas)}, {"b.txt", Text("bee")}};
    const Bytes originalZip = Pack(original);
    const Bytes rebuiltZip = Pack(RightRebuild(original));
    TTempDir dir;
    const std::string whole = dir / "whole.jar";
    const std::string wholeRebuilt = dir / "whole.new";
    testutil::WriteFile(whole, originalZip);
    testutil::WriteFile(wholeRebuilt, rebuiltZip);
    ASSERT_TRUE(app::CheckRebuiltJar(app::JobProofRule(), whole, wholeRebuilt).Ok());
    // A new file per cut: rewriting one file over and over waits on the disk each time.
    for (size_t cut = 0; cut < rebuiltZip.size(); ++cut) {
        const std::string file = dir / ("rebuilt" + std::to_string(cut));
        testutil::WriteFile(file, Bytes(rebuiltZip.begin(), rebuiltZip.begin() + static_cast<std::ptrdiff_t>(cut)));
        EXPECT_FALSE(app::CheckRebuiltJar(app::JobProofRule(), whole, file).Ok()) << "rebuilt cut at " << cut;
    }
    for (size_t cut = 0; cut < originalZip.size(); ++cut) {
        const std::string file = dir / ("original" + std::to_string(cut));
        testutil::WriteFile(file, Bytes(originalZip.begin(), originalZip.begin() + static_cast<std::ptrdiff_t>(cut)));
        app::CheckRebuiltJar(app::JobProofRule(), file, wholeRebuilt);
    }
}

// Originals as the peer tools write them (7z's Deflate64 included) against a rebuild by Python.
TEST(JarCheck, AcceptsRightRebuildsOfPeerArchives) {
    jobtest::TTree tree = jobtest::SampleTree();
    tree["game/Big.class"] = BigClass();
    jobtest::TTree rebuiltTree = jobtest::PatchedTree(tree);
    rebuiltTree[app::kPayloadEntryName] = Payload();
    TTempDir dir;
    ASSERT_TRUE(jobtest::PackWithPeer("python", rebuiltTree, dir / "rebuilt.jar"));
    for (const std::string peer : {"zip", "7z", "python", "jar", "7z-deflate64"}) {
        const std::string original = dir / (peer + ".jar");
        const bool made =
            peer == "7z-deflate64"
                ? testutil::HostHas("7z") &&
                      (jobtest::WriteTree(dir / "src", tree),
                       archivetest::RunIn(dir / "src", "7z a -tzip -mm=Deflate64 -bd " +
                                                           testutil::Quote(testutil::ToHostPath(original)) +
                                                           " . >/dev/null") == 0)
                : jobtest::PackWithPeer(peer, tree, original);
        if (!made)
            continue;
        const auto result = app::CheckRebuiltJar(app::JobProofRule(), original, dir / "rebuilt.jar");
        EXPECT_TRUE(result.Ok()) << peer << ": " << result.Reason << " " << result.Entry << " " << result.Detail;
    }
}

// The job's own engine: a jar patched by the job passes against a copy of the original.
TEST(JarCheck, AcceptsWhatTheJobWrites) {
    TTempDir dir;
    const std::string jar = dir / "game.jar";
    ASSERT_TRUE(jobtest::PackWithPeer("python", jobtest::SampleTree(), jar));
    testutil::WriteFile(dir / "original.jar", testutil::ReadFile(jar));
    jobtest::TJobRunner runner;
    runner.Run(jar);
    ASSERT_TRUE(runner.Errors().empty()) << runner.Errors().front();
    const auto result = app::CheckRebuiltJar(app::JobProofRule(), dir / "original.jar", jar);
    EXPECT_TRUE(result.Ok()) << result.Reason << " " << result.Entry << " " << result.Detail;
}

// The streaming twin gives what the patcher writes into a file, whatever the pieces it is fed in.
TEST(JarCheckSubstitution, MatchesThePatcherForAnyPieceSize) {
    const std::string canvas = jobtest::kCanvas;
    struct TText {
        std::string Content, Search, Replace;
    };
    const std::vector<TText> texts = {
        {canvas + canvas + "x" + canvas.substr(0, 20), canvas, jobtest::kWideCanvas},
        {std::string(40000, 'a') + canvas + std::string(30000, 'b') + canvas, canvas, jobtest::kWideCanvas},
        // Windows overlapping an earlier replacement are judged on the rewritten bytes.
        {"aaaaabaaab", "aa", "ab"},
        {"abababa", "aba", "bab"},
        {"", canvas, jobtest::kWideCanvas},
    };
    for (const TText& t : texts) {
        TTempDir dir;
        const std::string file = dir / "x.class";
        testutil::WriteFile(file, t.Content);
        app::ReplaceInFile(file, t.Search, t.Replace);
        const std::string expected = testutil::ReadText(file);
        for (size_t piece : {size_t{1}, size_t{31}, size_t{32768}}) {
            std::string got;
            app::jarcheck::TSubstitution s(t.Search, t.Replace,
                                           [&got](std::span<const uint8_t> b) { got.append(b.begin(), b.end()); });
            for (size_t at = 0; at < t.Content.size(); at += piece) {
                const std::string part = t.Content.substr(at, piece);
                s.Feed(std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(part.data()), part.size()));
            }
            s.Finish();
            EXPECT_EQ(got, expected) << t.Content.substr(0, 20) << " in pieces of " << piece;
        }
    }
}

}  // namespace
