// TDecompressStream: raw deflate through zlib, in chunks, never reading past the entry's data.
#include <gtest/gtest.h>

#include "archive/codec/DecompressStream.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;

namespace {
Bytes Repetitive(size_t size) {
    Bytes b(size);
    for (size_t i = 0; i < size; ++i)
        b[i] = static_cast<uint8_t>("grandvue archive "[i % 17] + (i / 5000) % 3);
    return b;
}

// Decodes `packed` (followed in the stream by `trailer`) with output requests of `piece` bytes, on
// `engine` when one is given.
Bytes Decode(const Bytes& packed,
             const Bytes& trailer,
             uint32_t chunk,
             uint32_t piece,
             int* lastCode = nullptr,
             TInflateEngine* engine = nullptr) {
    fw::TMemoryStream source;
    Bytes all = packed;
    all.insert(all.end(), trailer.begin(), trailer.end());
    LoadStream(source, all);
    TInflateEngine own;
    TDecompressStream stream(engine ? *engine : own, source, -15, packed.size());
    Bytes out;
    std::vector<uint8_t> buffer(piece);
    for (;;) {
        const int32_t n = stream.ReadChunk(buffer.data(), chunk, piece);
        if (lastCode)
            *lastCode = n;
        if (n <= 0)
            break;
        out.insert(out.end(), buffer.begin(), buffer.begin() + n);
        if (stream.Ended())
            break;
    }
    return out;
}
}  // namespace

TEST(InflateStream, DecodesInPiecesOfAnySize) {
    const Bytes plain = Repetitive(200000);
    const Bytes packed = RawDeflate(plain);
    for (uint32_t piece : {1u, 31u, 32768u})
        for (uint32_t chunk : {1u, 31u, 32768u})
            EXPECT_EQ(Decode(packed, {}, chunk, piece), plain) << piece << " " << chunk;
}

TEST(InflateStream, NeverReadsPastTheEntryData) {
    const Bytes plain = Repetitive(50000);
    const Bytes packed = RawDeflate(plain);
    const Bytes half(packed.begin(), packed.begin() + static_cast<long>(packed.size() / 2));
    // What follows the entry is another valid deflate stream: reading into it would decode more.
    int code = 0;
    const Bytes out = Decode(half, packed, 32768, 32768, &code);
    EXPECT_LT(out.size(), plain.size());
    EXPECT_TRUE(std::equal(out.begin(), out.end(), plain.begin()));
    EXPECT_EQ(code, TDecompressStream::kBufError);
}

TEST(InflateStream, PutsBackTheInputItDidNotUse) {
    const Bytes plain = Repetitive(1000);
    const Bytes packed = RawDeflate(plain);
    const Bytes trailer = TextBytes("PK next record");
    fw::TMemoryStream source;
    Bytes all = packed;
    all.insert(all.end(), trailer.begin(), trailer.end());
    LoadStream(source, all);
    {
        // The entry size is overstated: the stream reads the trailer too, and must return it.
        TInflateEngine engine;
        TDecompressStream stream(engine, source, -15, all.size());
        std::vector<uint8_t> buffer(2000);
        EXPECT_EQ(stream.ReadChunk(buffer.data(), 32768, 2000), 1000);
        EXPECT_TRUE(stream.Ended());
    }
    EXPECT_EQ(source.Position(), static_cast<int64_t>(packed.size()));
}

TEST(InflateStream, ReportsCorruptDataAsANegativeCode) {
    const Bytes corrupt = {0x07, 0xFF, 0xFF, 0xFF};  // block type 3 does not exist
    int code = 0;
    EXPECT_TRUE(Decode(corrupt, {}, 32768, 32768, &code).empty());
    EXPECT_EQ(code, TDecompressStream::kDataError);
}

// A run keeps one engine: an entry cut short or corrupt leaves nothing behind for the next one.
TEST(InflateStream, OneEngineDecodesEntryAfterEntry) {
    TInflateEngine engine;
    const Bytes first = Repetitive(70000);
    const Bytes second = Repetitive(5000);
    const Bytes packed = RawDeflate(first);
    const Bytes cut(packed.begin(), packed.begin() + static_cast<long>(packed.size() / 2));
    int code = 0;
    EXPECT_EQ(Decode(packed, {}, 31, 32768, nullptr, &engine), first);
    EXPECT_LT(Decode(cut, {}, 32768, 32768, &code, &engine).size(), first.size());
    EXPECT_EQ(Decode(RawDeflate(second), {}, 32768, 32768, nullptr, &engine), second);
    EXPECT_TRUE(Decode({0x07, 0xFF, 0xFF, 0xFF}, {}, 32768, 32768, &code, &engine).empty());
    EXPECT_EQ(code, TDecompressStream::kDataError);
    EXPECT_EQ(Decode(packed, TextBytes("PK"), 32768, 1000, nullptr, &engine), first);
}
