// Small deflated entries are inflated on a second thread: what the reader writes, reports and hands to its
// handlers must be what it gives when it inflates every entry itself, sound entries and damaged ones alike.
#include <gtest/gtest.h>

#include <map>

#include "archive/Messages.h"
#include "archive/format/Crc32.h"
#include "archive/format/Records.h"
#include "archive/pipeline/InflateAhead.h"
#include "archive/read/UnZip.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;

namespace {

Bytes Text(size_t lines, int seed) {
    Bytes text;
    for (size_t i = 0; i < lines; ++i) {
        const std::string line =
            "row " + std::to_string((i * 7919 + seed) % 1000) + " of entry " + std::to_string(seed) + "\n";
        text.insert(text.end(), line.begin(), line.end());
    }
    return text;
}

TRawEntry Deflated(const std::string& name, const Bytes& plain) {
    TRawEntry e{name, RawDeflate(plain, 6)};
    e.Method = kMethodDeflate;
    e.UncompressedSize = static_cast<int64_t>(plain.size());
    e.Crc = static_cast<int32_t>(Crc32(plain));
    return e;
}

// Sound entries around every kind of damage a small deflated entry can carry.
std::vector<TRawEntry> MixedEntries() {
    std::vector<TRawEntry> entries;
    for (int i = 0; i < 40; ++i)
        entries.push_back(Deflated("sound/" + std::to_string(i) + ".txt", Text(20 + i * 37, i)));
    TRawEntry cut = Deflated("damaged/cut.txt", Text(3000, 1));
    cut.Data.resize(cut.Data.size() / 2);
    TRawEntry shortStream = Deflated("damaged/short.txt", Text(50, 2));
    shortStream.UncompressedSize += 500;  // the stream ends before the stated size
    TRawEntry longStream = Deflated("damaged/long.txt", Text(500, 3));
    longStream.UncompressedSize -= 100;  // the stated size ends before the stream
    TRawEntry wrongCrc = Deflated("damaged/crc.txt", Text(400, 4));
    wrongCrc.Crc ^= 1;
    TRawEntry garbage = Deflated("damaged/garbage.bin", Text(400, 5));
    garbage.Data = testutil::RandomBytes(garbage.Data.size(), 5);
    TRawEntry stored{"stored.txt", Text(30, 6)};
    TRawEntry encrypted = Deflated("encrypted.txt", Text(30, 7));
    encrypted.Flags = kFlagEncrypted;
    TRawEntry empty = Deflated("empty.txt", {});
    for (const TRawEntry& e : {cut, shortStream, longStream, wrongCrc, garbage, stored, encrypted, empty}) {
        entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(entries.size() / 2), e);
        entries.push_back(Deflated("after/" + e.Name, Text(60, static_cast<int>(entries.size()))));
    }
    return entries;
}

// Everything a run shows: the count, the reports, the verdicts, the handler's chunks, and the files.
struct TRunRecord {
    int32_t Count = 0;
    std::vector<int32_t> Codes;
    std::vector<std::string> Names;
    std::vector<std::pair<std::string, bool>> Verdicts;
    std::vector<std::pair<std::string, size_t>> Chunks;
    std::map<std::string, Bytes> Files;
};

TRunRecord ExtractWith(const Bytes& zip, TWorkers workers) {
    TRawRun run(zip);
    run.Reader.Workers = workers;
    TErrorLog log;
    log.Attach(run.Reader);
    TRunRecord record;
    run.Reader.OnEnd = [&](fw::TObject*, const std::string& name, bool pass) {
        record.Verdicts.emplace_back(name, pass);
    };
    run.Reader.OnEntryData = [&](const TEntryInfo& entry, std::span<const uint8_t> data) {
        record.Chunks.emplace_back(entry.StoredName, data.size());
    };
    record.Count = run.Extract();
    record.Codes = log.Codes;
    record.Names = log.Names;
    for (const std::string& name : ListTree(run.Target))
        if (name.back() != '/')
            record.Files[name] = testutil::ReadFile(run.Target + "/" + name);
    return record;
}

// Where each raw entry's local header lies in what BuildRawZip makes: one after another from offset 0.
std::vector<TInflateAhead::TItem> ItemsOf(const std::vector<TRawEntry>& entries) {
    std::vector<TInflateAhead::TItem> items;
    int64_t at = 0;
    for (const TRawEntry& e : entries) {
        const uint64_t size = e.UncompressedSize < 0 ? e.Data.size() : static_cast<uint64_t>(e.UncompressedSize);
        items.push_back({at, e.Data.size(), size});
        at += static_cast<int64_t>(kLocalHeaderSize + e.Name.size() + e.Extra.size() + e.Data.size());
    }
    return items;
}

}  // namespace

TEST(InflateAhead, TheReaderGivesTheSameFilesReportsAndChunksAsInflatingItself) {
    const Bytes zip = BuildRawZip(MixedEntries());
    const TRunRecord itself = ExtractWith(zip, wkNever);
    const TRunRecord ahead = ExtractWith(zip, wkAuto);
    EXPECT_EQ(ahead.Count, itself.Count);
    EXPECT_EQ(ahead.Codes, itself.Codes);
    EXPECT_EQ(ahead.Names, itself.Names);
    EXPECT_EQ(ahead.Verdicts, itself.Verdicts);
    EXPECT_EQ(ahead.Chunks, itself.Chunks);
    EXPECT_EQ(ahead.Files, itself.Files);
    // The damage was met: the cut, short, wrong-CRC and garbage entries fail their checks.
    EXPECT_GE(std::count_if(itself.Verdicts.begin(), itself.Verdicts.end(), [](const auto& v) { return !v.second; }),
              4);
    EXPECT_EQ(itself.Files.at("sound/7.txt"), Text(20 + 7 * 37, 7));
}

TEST(InflateAhead, OnlyEntriesThatDecodeWholeToTheirSizeAreHandedOver) {
    std::vector<TRawEntry> entries = MixedEntries();
    testutil::TTempDir dir;
    const std::string path = dir / "mixed.zip";
    testutil::WriteFile(path, BuildRawZip(entries));
    TInflateAhead ahead(path, ItemsOf(entries));
    for (size_t i = 0; i < entries.size(); i += (i % 5 == 0) ? 2 : 1) {  // some entries are never asked for
        const TRawEntry& e = entries[i];
        const std::vector<uint8_t>* bytes = ahead.Take(i);
        const bool sound = e.Name.starts_with("sound/") || e.Name.starts_with("after/");
        if (sound) {
            ASSERT_NE(bytes, nullptr) << e.Name;
            EXPECT_EQ(Crc32(*bytes), static_cast<uint32_t>(e.Crc)) << e.Name;
        } else if (e.Name == "damaged/long.txt" || e.Name == "damaged/crc.txt") {
            // Whole to the stated size: the reader's own decoding would give these same bytes.
            ASSERT_NE(bytes, nullptr) << e.Name;
            EXPECT_EQ(bytes->size(), static_cast<size_t>(e.UncompressedSize)) << e.Name;
        } else {
            EXPECT_EQ(bytes, nullptr) << e.Name;
        }
    }
}

TEST(InflateAhead, AMissingArchiveOrAnEarlyEndNeverHangs) {
    std::vector<TRawEntry> entries;
    for (int i = 0; i < 300; ++i)
        entries.push_back(Deflated(std::to_string(i) + ".txt", Text(2000, i)));
    {
        TInflateAhead missing("no such archive.zip", ItemsOf(entries));
        EXPECT_EQ(missing.Take(0), nullptr);
        EXPECT_EQ(missing.Take(299), nullptr);
    }
    testutil::TTempDir dir;
    const std::string path = dir / "many.zip";
    testutil::WriteFile(path, BuildRawZip(entries));
    // More than the thread may hold, none taken: the thread waits, and ending the run releases it.
    TInflateAhead untaken(path, ItemsOf(entries));
    TInflateAhead last(path, ItemsOf(entries));
    const std::vector<uint8_t>* bytes = last.Take(299);
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(Crc32(*bytes), static_cast<uint32_t>(entries[299].Crc));
}
