// Large entries are written on a second thread: the file, the CRC verdict and the reports must be the
// ones a write on the decoding thread gives, including when the output fails part way.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <random>

#include "archive/Messages.h"
#include "archive/format/Crc32.h"
#include "archive/pipeline/WriteBehind.h"
#include "archive/read/UnZip.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;

namespace {

uint32_t ZlibCrc(const Bytes& data, size_t count) {
    return static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(count)));
}

// Takes bytes until `Capacity` is reached, then takes part of a write and fails, as a full disk does.
class TFillingStream : public fw::TMemoryStream {
public:
    explicit TFillingStream(int64_t capacity) : Capacity(capacity) {}
    int32_t Write(const void* buffer, int32_t count) override {
        const auto room = static_cast<int32_t>(std::max<int64_t>(Capacity - Size(), 0));
        if (room < count)
            platform::SetLastError(platform::kErrorDiskFull);
        return fw::TMemoryStream::Write(buffer, std::min(count, room));
    }
    int64_t Capacity;
};

// Pieces from 1 byte to more than two blocks, as the decoders hand them over.
void PutInPieces(TWriteBehind& behind, const Bytes& data, uint32_t seed) {
    std::mt19937 random(seed);
    size_t at = 0;
    while (at < data.size()) {
        const size_t n = std::min(data.size() - at, std::uniform_int_distribution<size_t>(1, 600000)(random));
        behind.Put({data.data() + at, n});
        at += n;
    }
}

TEST(WriteBehind, WritesEveryEntryWholeAndInOrderWithItsCrc) {
    TWriteBehind behind;
    for (uint32_t seed = 1; seed <= 3; ++seed) {
        const Bytes data = testutil::RandomBytes(1500000 + seed * 12345, seed);
        fw::TMemoryStream out;
        behind.Begin(out, kCrcInit);
        PutInPieces(behind, data, seed);
        const TWriteBehind::TOutcome outcome = behind.Finish();
        EXPECT_FALSE(outcome.Failed);
        EXPECT_EQ(outcome.Written, data.size());
        EXPECT_EQ(outcome.Crc ^ kCrcInit, ZlibCrc(data, data.size()));
        EXPECT_EQ(out.Bytes(), data);
        EXPECT_EQ(behind.Finish().Crc, outcome.Crc);  // asked again: the same outcome
    }
}

TEST(WriteBehind, AFailedWriteLosesTheRestOfTheEntryOnly) {
    TWriteBehind behind;
    const Bytes data = testutil::RandomBytes(2000000, 9);
    TFillingStream full(700000);
    behind.Begin(full, kCrcInit);
    bool refused = false;
    for (size_t at = 0; at < data.size(); at += 32768)
        refused = !behind.Put({data.data() + at, std::min<size_t>(32768, data.size() - at)}) || refused;
    const TWriteBehind::TOutcome outcome = behind.Finish();
    EXPECT_TRUE(refused);
    EXPECT_TRUE(outcome.Failed);
    EXPECT_EQ(outcome.Error, platform::kErrorDiskFull);
    EXPECT_EQ(outcome.Written, 700000u);
    EXPECT_TRUE(std::equal(full.Bytes().begin(), full.Bytes().end(), data.begin()));
    // The CRC covers the whole blocks written before the failure.
    EXPECT_EQ(outcome.Crc ^ kCrcInit, ZlibCrc(data, 2 * 256 * 1024));

    fw::TMemoryStream next;
    behind.Begin(next, kCrcInit);
    EXPECT_TRUE(behind.Put({data.data(), 1000}));
    EXPECT_FALSE(behind.Finish().Failed);
    EXPECT_EQ(next.Size(), 1000);
}

// A large entry in a zip from the peer, then a small one: extracted with a progress handler (written on
// this thread) and without (written behind), the files and the reports are the same.
TEST(WriteBehind, ALargeEntryComesOutAsWithAProgressHandler) {
    testutil::TTempDir dir;
    Bytes big = testutil::RandomBytes(1 << 20, 3);
    for (int i = 0; i < 3000; ++i) {
        const std::string line = "line " + std::to_string(i) + " of the large text entry\n";
        big.insert(big.end(), line.begin(), line.end());
    }
    const std::string zip = dir / "large.zip";
    PyZip(zip, {{"data/big.bin", big}, {"small.txt", TextBytes("small")}});
    for (const bool progress : {false, true}) {
        const std::string out = dir / (progress ? "with" : "without");
        TUnZip reader(nullptr);
        reader.FileSpec = {"*.*"};
        reader.SetArchiveFile(zip);
        reader.SetExtractDir(out);
        TErrorLog log;
        log.Attach(reader);
        std::vector<bool> verdicts;
        reader.OnEnd = [&](fw::TObject*, const std::string&, bool pass) { verdicts.push_back(pass); };
        if (progress)
            reader.OnProgress = [](fw::TObject*, uint8_t, uint8_t) {};
        EXPECT_EQ(reader.Extract(), 2);
        EXPECT_EQ(testutil::ReadFile(out + "/data/big.bin"), big);
        EXPECT_EQ(testutil::ReadText(out + "/small.txt"), "small");
        EXPECT_EQ(verdicts, (std::vector<bool>{true, true}));
        EXPECT_TRUE(log.Codes.empty());
    }
}

// wkNever: a large entry without a progress handler is written on the caller's thread, each chunk on disk
// before the next one comes, and comes out whole.
TEST(WriteBehind, WorkersNeverWritesALargeEntryOnTheCallersThread) {
    testutil::TTempDir dir;
    const Bytes big = testutil::RandomBytes(3 << 20, 7);
    const std::string zip = dir / "large.zip";
    PyZip(zip, {{"big.bin", big}});
    const std::string out = dir / "out";
    TUnZip reader(nullptr);
    reader.FileSpec = {"*.*"};
    reader.Workers = wkNever;
    reader.SetArchiveFile(zip);
    reader.SetExtractDir(out);
    TErrorLog log;
    log.Attach(reader);
    uint64_t delivered = 0;
    bool behind = false;
    reader.OnEntryData = [&](const TEntryInfo&, std::span<const uint8_t> data) {
        behind = behind || std::filesystem::file_size(out + "/big.bin") != delivered;
        delivered += data.size();
    };
    EXPECT_EQ(reader.Extract(), 1);
    EXPECT_FALSE(behind);
    EXPECT_EQ(delivered, big.size());
    EXPECT_EQ(testutil::ReadFile(out + "/big.bin"), big);
    EXPECT_TRUE(log.Codes.empty());
}

TEST(WriteBehind, ALargeEntryWithAWrongCrcOrCutDataFailsItsCheck) {
    const Bytes plain = testutil::RandomBytes(3 << 20, 5);
    TRawEntry wrong{"wrong.bin", RawDeflate(plain, 1)};
    wrong.Method = 8;
    wrong.UncompressedSize = static_cast<int64_t>(plain.size());
    wrong.Crc = static_cast<int32_t>(ZlibCrc(plain, plain.size()) ^ 1);
    TRawEntry cut = wrong;
    cut.Name = "cut.bin";
    cut.Data.resize(cut.Data.size() / 2);
    cut.Crc = static_cast<int32_t>(ZlibCrc(plain, plain.size()));
    TRawRun run(BuildRawZip({wrong, cut}));
    TErrorLog log;
    log.Attach(run.Reader);
    EXPECT_EQ(run.Extract(), 2);
    EXPECT_EQ(testutil::ReadFile(run.Target + "/wrong.bin"), plain);
    const Bytes part = testutil::ReadFile(run.Target + "/cut.bin");
    EXPECT_LT(part.size(), plain.size());
    EXPECT_TRUE(std::equal(part.begin(), part.end(), plain.begin()));
    EXPECT_EQ(log.Codes, (std::vector<int32_t>{kMsgCrcCheckFailed, kMsgCrcCheckFailed}));
}

}  // namespace
