// The inflater of our own: deflate streams from zlib, hand-built Deflate64 streams, and every failure.
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>

#include "archive/codec/Inflater.h"
#include "tests/archive/ArchiveFixtures.h"

using namespace archive;
using namespace archivetest;

namespace {
// Writes bits first-bit-lowest, as deflate packs them.
class TBitWriter {
public:
    void Bits(uint32_t value, int count) {
        for (int i = 0; i < count; ++i)
            Bit((value >> i) & 1);
    }
    // A Huffman code goes out most significant bit first.
    void Code(uint32_t code, int length) {
        for (int i = length - 1; i >= 0; --i)
            Bit((code >> i) & 1);
    }
    void AlignToByte() {
        while (FCount != 0)
            Bit(0);
    }
    void Byte(uint8_t b) { Bits(b, 8); }
    // The fixed code of a literal/length symbol.
    void FixedSymbol(int symbol) {
        if (symbol < 144)
            Code(0x30 + symbol, 8);
        else if (symbol < 256)
            Code(0x190 + symbol - 144, 9);
        else if (symbol < 280)
            Code(symbol - 256, 7);
        else
            Code(0xC0 + symbol - 280, 8);
    }
    Bytes Finish() {
        AlignToByte();
        return FOut;
    }

private:
    void Bit(uint32_t bit) {
        if (FCount == 0)
            FOut.push_back(0);
        FOut.back() |= static_cast<uint8_t>(bit << FCount);
        FCount = (FCount + 1) % 8;
    }
    Bytes FOut;
    int FCount = 0;
};

struct TDecoded {
    Bytes Out;
    TInflateResult Result;
};

TDecoded Inflate(const TDeflateVariant& variant,
                 const Bytes& input,
                 size_t piece = 32768,
                 uint64_t maxOutput = UINT64_MAX) {
    TDecoded d;
    size_t pos = 0;
    const bool cancel = false;
    TInflater inflater(
        variant,
        [&](std::span<uint8_t> buffer) {
            const size_t n = std::min({piece, buffer.size(), input.size() - pos});
            std::copy_n(input.begin() + static_cast<long>(pos), n, buffer.begin());
            pos += n;
            return static_cast<int32_t>(n);
        },
        [&](std::span<const uint8_t> data) {
            d.Out.insert(d.Out.end(), data.begin(), data.end());
            return static_cast<int32_t>(data.size());
        },
        cancel, maxOutput);
    d.Result = inflater.Run();
    return d;
}

Bytes Text(size_t size) {
    const std::string words = "the quick brown fox jumps over the lazy dog while grandvue patches jars ";
    Bytes b;
    for (size_t i = 0; b.size() < size; ++i)
        b.push_back(static_cast<uint8_t>(words[(i * 7) % words.size()]));
    return b;
}

// A stored block holding `data`, not the last one.
void StoredBlock(TBitWriter& w, const Bytes& data, bool last) {
    w.Bits(last ? 1 : 0, 1);
    w.Bits(0, 2);
    w.AlignToByte();
    w.Bits(static_cast<uint32_t>(data.size()), 16);
    w.Bits(static_cast<uint32_t>(~data.size()) & 0xFFFF, 16);
    for (uint8_t b : data)
        w.Byte(b);
}
}  // namespace

TEST(Deflate64Decoder, DecodesWhatZlibDeflatesInPiecesOfAnySize) {
    const struct {
        Bytes Data;
        int Level, Strategy;
        const char* What;
    } cases[] = {
        {Text(300000), 9, Z_DEFAULT_STRATEGY, "dynamic blocks over several windows"},
        {testutil::RandomBytes(70000, 9), 6, Z_DEFAULT_STRATEGY, "incompressible data"},
        {Text(5000), 6, Z_FIXED, "fixed codes"},
        {Text(80000), 0, Z_DEFAULT_STRATEGY, "stored blocks"},
        {Bytes(100000, 'a'), 9, Z_RLE, "long runs"},
        {Bytes{}, 6, Z_DEFAULT_STRATEGY, "no data"},
    };
    for (const auto& c : cases) {
        const Bytes packed = RawDeflate(c.Data, c.Level, c.Strategy);
        for (size_t piece : {size_t{1}, size_t{31}, size_t{32768}}) {
            const TDecoded d = Inflate(kDeflateVariant, packed, piece);
            EXPECT_EQ(d.Result.Status, isOk) << c.What << ": " << d.Result.Message;
            EXPECT_TRUE(d.Out == c.Data) << c.What << " piece " << piece;
        }
    }
}

TEST(Deflate64Decoder, HandlesTheLongLengthCodeAndFarDistances) {
    const Bytes head = testutil::RandomBytes(50000, 21);
    TBitWriter w;
    StoredBlock(w, head, false);
    w.Bits(1, 1);  // last block, fixed codes
    w.Bits(1, 2);
    w.FixedSymbol(285);
    w.Bits(1000, 16);  // length 3 + 1000
    w.Code(30, 5);     // distance code 30: 32769 + 14 extra bits
    w.Bits(5, 14);
    w.FixedSymbol(285);
    w.Bits(0, 16);  // length 3
    w.Code(31, 5);  // distance code 31: 49153 + 14 extra bits
    w.Bits(0, 14);
    w.FixedSymbol(256);
    const Bytes stream = w.Finish();

    Bytes expected = head;
    for (int i = 0; i < 1003; ++i)
        expected.push_back(expected[expected.size() - 32774]);
    for (int i = 0; i < 3; ++i)
        expected.push_back(expected[expected.size() - 49153]);
    for (size_t piece : {size_t{1}, size_t{31}, size_t{32768}}) {
        const TDecoded d = Inflate(kDeflate64Variant, stream, piece);
        EXPECT_EQ(d.Result.Status, isOk) << d.Result.Message;
        EXPECT_TRUE(d.Out == expected) << piece;
    }
    // Plain deflate has neither: its length 285 is 258 and distance codes stop at 29.
    const TDecoded plain = Inflate(kDeflateVariant, stream);
    EXPECT_FALSE(plain.Result.Status == isOk && plain.Out == expected);
}

TEST(Deflate64Decoder, ReportsEveryKindOfDamage) {
    auto fixedMatchFirst = [] {
        TBitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.FixedSymbol(257);  // length 3 ...
        w.Code(0, 5);        // ... at distance 1, with nothing written yet
        w.FixedSymbol(256);
        return w.Finish();
    };
    auto dynamicHeader = [](uint32_t hlit, uint32_t hdist, uint32_t hclen, std::vector<uint32_t> clLengths) {
        TBitWriter w;
        w.Bits(1, 1);
        w.Bits(2, 2);
        w.Bits(hlit, 5);
        w.Bits(hdist, 5);
        w.Bits(hclen, 4);
        for (uint32_t len : clLengths)
            w.Bits(len, 3);
        w.Bits(0, 32);
        return w.Finish();
    };
    const Bytes good = RawDeflate(Text(20000), 9, Z_DEFAULT_STRATEGY);
    const struct {
        Bytes Input;
        uint64_t MaxOutput;
        const char* Message;
    } cases[] = {
        {{0x07, 0x00}, UINT64_MAX, "invalid block type"},
        {{0x01, 0x05, 0x00, 0x00, 0x00, 'h', 'e', 'l', 'l', 'o'}, UINT64_MAX, "invalid stored block lengths"},
        {Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2)), UINT64_MAX, "unexpected end of data"},
        {{}, UINT64_MAX, "unexpected end of data"},
        {fixedMatchFirst(), UINT64_MAX, "invalid distance too far back"},
        {dynamicHeader(30, 0, 0, {}), UINT64_MAX, "too many length or distance symbols"},
        {dynamicHeader(0, 0, 0, {1, 1, 1, 1}), UINT64_MAX, "invalid code lengths set"},
        {{0x01, 0x05, 0x00, 0xFA, 0xFF, 'h', 'e', 'l', 'l', 'o'}, 4, "more data than declared"},
    };
    for (const auto& c : cases) {
        const TDecoded d = Inflate(kDeflate64Variant, c.Input, 32768, c.MaxOutput);
        EXPECT_EQ(d.Result.Status, isDataError) << c.Message;
        EXPECT_STREQ(d.Result.Message, c.Message);
    }
}

TEST(Deflate64Decoder, EndsOnEveryPrefixAndOnGarbage) {
    const Bytes packed = RawDeflate(Text(3000), 9, Z_DEFAULT_STRATEGY);
    for (size_t cut = 0; cut < packed.size(); ++cut) {
        const TDecoded d =
            Inflate(kDeflate64Variant, Bytes(packed.begin(), packed.begin() + static_cast<long>(cut)), 32768, 3000);
        EXPECT_NE(d.Result.Status, isOk) << cut;
    }
    for (uint32_t seed = 0; seed < 200; ++seed) {
        const TDecoded d = Inflate(kDeflate64Variant, testutil::RandomBytes(64 + seed, seed), 7, 1 << 20);
        EXPECT_LE(d.Out.size(), size_t{1} << 20);
    }
}

// Hands out `packed` in the pieces the decoder asks for.
auto ReaderOf(const Bytes& packed) {
    return [&packed, pos = size_t{0}](std::span<uint8_t> buffer) mutable {
        const size_t n = std::min(buffer.size(), packed.size() - pos);
        std::copy_n(packed.begin() + static_cast<long>(pos), n, buffer.begin());
        pos += n;
        return static_cast<int32_t>(n);
    };
}

TEST(Deflate64Decoder, StopsWhenCanceled) {
    const Bytes packed = RawDeflate(Text(1000), 9, Z_DEFAULT_STRATEGY);
    const bool cancel = true;
    TInflater inflater(
        kDeflate64Variant, ReaderOf(packed),
        [](std::span<const uint8_t> data) { return static_cast<int32_t>(data.size()); }, cancel, UINT64_MAX);
    EXPECT_EQ(inflater.Run().Status, isCanceled);
}

// A window not written whole ends decoding: nothing more is decoded into a lost file, and the status says
// so even where the stream ends in damage, as the output lost is what the entry failed on.
TEST(Deflate64Decoder, StopsAtTheFirstWindowNotWrittenWhole) {
    // Random bytes come out as stored blocks, which read the same in both variants.
    const Bytes packed = RawDeflate(testutil::RandomBytes(200000, 5), 9, Z_DEFAULT_STRATEGY);
    const Bytes cut(packed.begin(), packed.begin() + 1000);
    const bool cancel = false;
    for (const int32_t shortBy : {0, 1}) {
        for (const Bytes* input : {&packed, &cut}) {
            int writes = 0;
            TInflater inflater(
                kDeflate64Variant, ReaderOf(*input),
                [&](std::span<const uint8_t> data) {
                    ++writes;
                    return shortBy == 0 ? 0 : static_cast<int32_t>(data.size()) - shortBy;
                },
                cancel, UINT64_MAX);
            EXPECT_EQ(inflater.Run().Status, isWriteError) << shortBy;
            EXPECT_EQ(writes, 1);
        }
    }
}
