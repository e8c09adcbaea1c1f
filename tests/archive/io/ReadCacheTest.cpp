// The cached view of the archive must read exactly what the stream under it holds, wherever the
// reader seeks and however much it asks for.
#include <gtest/gtest.h>

#include <random>

#include "archive/io/ReadCache.h"
#include "framework/Exceptions.h"

namespace {

using archive::TReadCache;

// A source that counts its reads and hands out at most `Limit` bytes a call, as a pipe or a slow
// device may.
class TCountingSource : public fw::TMemoryStream {
public:
    int32_t Read(void* buffer, int32_t count) override {
        ++Reads;
        return fw::TMemoryStream::Read(buffer, std::min(count, Limit));
    }
    int Reads = 0;
    int32_t Limit = INT32_MAX;
};

std::vector<uint8_t> Pattern(size_t size) {
    std::vector<uint8_t> bytes(size);
    std::mt19937 random(7);
    for (auto& b : bytes)
        b = static_cast<uint8_t>(random());
    return bytes;
}

void Fill(TCountingSource& source, const std::vector<uint8_t>& bytes) {
    source.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    source.SetPosition(0);
}

// Random seeks and read lengths from 0 to past a window, anywhere in and beyond the file.
void CheckRandomReads(TCountingSource& source, const std::vector<uint8_t>& bytes) {
    TReadCache cache(source);
    std::mt19937 random(11);
    const auto size = static_cast<int64_t>(bytes.size());
    for (int i = 0; i < 3000; ++i) {
        const int64_t at = std::uniform_int_distribution<int64_t>(0, size + 10)(random);
        const int32_t want = std::uniform_int_distribution<int32_t>(0, i % 10 == 0 ? 200000 : 2000)(random);
        ASSERT_EQ(cache.Seek(at, fw::soBeginning), at);
        std::vector<uint8_t> got(static_cast<size_t>(want));
        const int32_t n = cache.Read(got.data(), want);
        const int64_t expected = std::clamp<int64_t>(size - at, 0, want);
        ASSERT_EQ(n, expected) << "at " << at << " want " << want;
        ASSERT_TRUE(std::equal(got.begin(), got.begin() + n, bytes.begin() + at)) << "at " << at;
        ASSERT_EQ(cache.Position(), at + n);
    }
}

TEST(ReadCache, ReadsWhatTheSourceHoldsWhereverItSeeks) {
    const std::vector<uint8_t> bytes = Pattern(300000);
    TCountingSource source;
    Fill(source, bytes);
    CheckRandomReads(source, bytes);
}

TEST(ReadCache, ShortReadsOfTheSourceAreNotTakenForItsEnd) {
    const std::vector<uint8_t> bytes = Pattern(150000);
    TCountingSource source;
    Fill(source, bytes);
    source.Limit = 4000;
    TReadCache cache(source);
    // A window shorter than asked still serves what it holds, and the next read loads on from there.
    std::vector<uint8_t> got(bytes.size());
    int64_t total = 0;
    while (total < static_cast<int64_t>(bytes.size())) {
        const int32_t n = cache.Read(got.data() + total, 3000);
        ASSERT_GT(n, 0) << "at " << total;
        total += n;
    }
    EXPECT_EQ(got, bytes);
    EXPECT_EQ(cache.Read(got.data(), 10), 0);
    // A large read goes past the windows and still gets everything.
    cache.Seek(1000, fw::soBeginning);
    ASSERT_EQ(cache.Read(got.data(), 100000), 100000);
    EXPECT_TRUE(std::equal(got.begin(), got.begin() + 100000, bytes.begin() + 1000));
}

TEST(ReadCache, HeadersAndSmallEntriesCostOneSourceReadPerWindow) {
    const std::vector<uint8_t> bytes = Pattern(64 * 1024 * 4);
    TCountingSource source;
    Fill(source, bytes);
    TReadCache cache(source);
    // Headers near the end alternating with small reads walking the front, as a directory scan does.
    uint8_t buffer[100];
    for (int64_t k = 0; k < 1000; ++k) {
        cache.Seek(200000 + k * 46, fw::soBeginning);
        ASSERT_EQ(cache.Read(buffer, 46), 46);
        cache.Seek(k * 30, fw::soBeginning);
        ASSERT_EQ(cache.Read(buffer, 30), 30);
    }
    EXPECT_LE(source.Reads, 4);
}

TEST(ReadCache, SeeksFromEveryOriginAndRefusesWrites) {
    TCountingSource source;
    Fill(source, Pattern(1000));
    TReadCache cache(source);
    EXPECT_EQ(cache.Size(), 1000);
    EXPECT_EQ(cache.Seek(-10, fw::soEnd), 990);
    EXPECT_EQ(cache.Seek(5, fw::soCurrent), 995);
    EXPECT_EQ(cache.Seek(-1, fw::soBeginning), -1);
    EXPECT_EQ(cache.Seek(INT64_MAX, fw::soCurrent), -1);  // would wrap
    EXPECT_EQ(cache.Seek(INT64_MIN, fw::soEnd), -1);
    EXPECT_EQ(cache.Position(), 995);
    EXPECT_EQ(cache.Write("x", 1), 0);
    EXPECT_THROW(cache.SetSize(0), fw::EWriteError);
}

}  // namespace
