// The inflater of our own: deflate streams from zlib, hand-built Deflate64 streams, and every failure.
#include <gtest/gtest.h>

#include <zlib.h>

#include <array>
#include <string>
#include <vector>

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

namespace {
// The codes of a canonical Huffman code from its lengths (RFC 1951, 3.2.2).
std::vector<uint32_t> CanonicalCodes(const std::vector<uint8_t>& lengths) {
    std::array<uint32_t, kMaxCodeBits + 1> count{}, next{};
    for (uint8_t length : lengths)
        if (length != 0)
            ++count[length];
    uint32_t code = 0;
    for (int bits = 1; bits <= kMaxCodeBits; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    std::vector<uint32_t> codes(lengths.size());
    for (size_t i = 0; i < lengths.size(); ++i)
        if (lengths[i] != 0)
            codes[i] = next[lengths[i]]++;
    return codes;
}

// A code-length symbol: a length (0..15) or a repeat (16, 17, 18) with its extra bits.
struct TLengthSymbol {
    uint32_t Symbol;
    uint32_t Extra = 0;
};
constexpr size_t kCodeLengthSymbols = 19;
constexpr std::array<uint8_t, kCodeLengthSymbols> kLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                  11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr std::array<int, 3> kRepeatExtraBits = {2, 3, 7};  // of symbols 16, 17 and 18

// A complete code-length code: symbols 0..12 of four bits, 13..18 of five.
std::vector<uint8_t> CodeLengthLengths() {
    std::vector<uint8_t> lengths(kCodeLengthSymbols, 4);
    std::fill(lengths.begin() + 13, lengths.end(), 5);
    return lengths;
}

// The last block, dynamic: `hlit` literal/length and `hdist` distance lengths sent as `symbols`.
void DynamicHeader(TBitWriter& w, uint32_t hlit, uint32_t hdist, const std::vector<TLengthSymbol>& symbols) {
    const std::vector<uint8_t> clLengths = CodeLengthLengths();
    const std::vector<uint32_t> codes = CanonicalCodes(clLengths);
    w.Bits(1, 1);
    w.Bits(2, 2);
    w.Bits(hlit - 257, 5);
    w.Bits(hdist - 1, 5);
    w.Bits(kCodeLengthSymbols - 4, 4);
    for (uint8_t symbol : kLengthOrder)
        w.Bits(clLengths[symbol], 3);
    for (const TLengthSymbol& s : symbols) {
        w.Code(codes[s.Symbol], clLengths[s.Symbol]);
        if (s.Symbol >= 16)
            w.Bits(s.Extra, kRepeatExtraBits[s.Symbol - 16]);
    }
}

// Runs of zero lengths: 18 repeats 11 + extra (at most 138).
constexpr TLengthSymbol kZeros138{18, 127};
TLengthSymbol Zeros(uint32_t count) {
    return {18, count - 11};
}
}  // namespace

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
    // A fixed block of one literal, then a match of length 3 at distance code `distance`; `more` goes on.
    auto fixedMatchAfterLiteral = [](uint32_t distance, bool more) {
        TBitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        w.FixedSymbol('a');
        w.FixedSymbol(257);
        w.Code(distance, 5);
        if (more) {
            w.Bits(0, 16);
            w.FixedSymbol(256);
        }
        return w.Finish();
    };
    auto fixedLiterals = [](const std::string& text) {
        TBitWriter w;
        w.Bits(1, 1);
        w.Bits(1, 2);
        for (char c : text)
            w.FixedSymbol(static_cast<uint8_t>(c));
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
    // A dynamic block whose lengths are `symbols`, followed by `body` bits (lowest first) and zero bytes.
    auto dynamic = [](uint32_t hlit, uint32_t hdist, const std::vector<TLengthSymbol>& symbols, uint32_t body = 0,
                      int bodyBits = 0) {
        TBitWriter w;
        DynamicHeader(w, hlit, hdist, symbols);
        w.Bits(body, bodyBits);
        w.Bits(0, 32);
        return w.Finish();
    };
    // The lengths end with a repeat whose extra bits the stream no longer holds.
    auto cutInLastRepeat = [] {
        TBitWriter w;
        DynamicHeader(w, 257, 1, {kZeros138, Zeros(109)});
        w.Code(CanonicalCodes(CodeLengthLengths())[18], 5);  // with 103 bits sent, six of its seven extra are missing
        return w.Finish();
    };
    const Bytes good = RawDeflate(Text(20000), 9, Z_DEFAULT_STRATEGY);
    const struct {
        const char* Fault;
        const TDeflateVariant& Variant;
        Bytes Input;
        uint64_t MaxOutput;
        const char* Message;
    } cases[] = {
        {"block_type_3", kDeflate64Variant, {0x07, 0x00}, UINT64_MAX, "invalid block type"},
        {"stored_length_not_matching_its_complement",
         kDeflate64Variant,
         {0x01, 0x05, 0x00, 0x00, 0x00, 'h', 'e', 'l', 'l', 'o'},
         UINT64_MAX,
         "invalid stored block lengths"},
        {"stream_cut_in_half", kDeflate64Variant,
         Bytes(good.begin(), good.begin() + static_cast<long>(good.size() / 2)), UINT64_MAX, "unexpected end of data"},
        {"no_data", kDeflate64Variant, {}, UINT64_MAX, "unexpected end of data"},
        {"stream_ends_inside_distance_extra_bits", kDeflate64Variant, fixedMatchAfterLiteral(29, false), UINT64_MAX,
         "unexpected end of data"},
        {"stream_ends_inside_the_last_length_repeat", kDeflate64Variant, cutInLastRepeat(), UINT64_MAX,
         "unexpected end of data"},
        {"match_before_any_output", kDeflate64Variant, fixedMatchFirst(), UINT64_MAX, "invalid distance too far back"},
        {"distance_code_30_in_deflate", kDeflateVariant, fixedMatchAfterLiteral(30, true), UINT64_MAX,
         "invalid distance code"},
        {"literal_missing_from_an_incomplete_code", kDeflate64Variant,
         dynamic(257, 1, {kZeros138, Zeros(118), {1}, {1}}, 1, 1), UINT64_MAX, "invalid literal/length code"},
        {"hlit_past_286", kDeflate64Variant, dynamicHeader(30, 0, 0, {}), UINT64_MAX,
         "too many length or distance symbols"},
        {"code_length_code_incomplete", kDeflate64Variant, dynamicHeader(0, 0, 0, {1, 1, 1, 1}), UINT64_MAX,
         "invalid code lengths set"},
        {"repeat_with_no_length_before", kDeflate64Variant, dynamic(257, 1, {{16, 0}}), UINT64_MAX,
         "invalid bit length repeat"},
        {"repeat_past_the_last_length", kDeflate64Variant, dynamic(257, 1, {kZeros138, kZeros138}), UINT64_MAX,
         "invalid bit length repeat"},
        {"no_end_of_block_code", kDeflate64Variant, dynamic(257, 1, {{1}, {1}, kZeros138, Zeros(117), {1}}), UINT64_MAX,
         "invalid code -- missing end-of-block"},
        {"literal_code_oversubscribed", kDeflate64Variant,
         dynamic(257, 1, {{1}, {1}, {1}, kZeros138, Zeros(115), {1}, {1}}), UINT64_MAX, "invalid literal/lengths set"},
        {"distance_code_oversubscribed", kDeflate64Variant,
         dynamic(257, 3, {kZeros138, Zeros(118), {1}, {1}, {1}, {1}}), UINT64_MAX, "invalid distances set"},
        {"stored_block_longer_than_declared",
         kDeflate64Variant,
         {0x01, 0x05, 0x00, 0xFA, 0xFF, 'h', 'e', 'l', 'l', 'o'},
         4,
         "more data than declared"},
        {"literal_past_the_declared_size", kDeflate64Variant, fixedLiterals("ab"), 1, "more data than declared"},
    };
    for (const auto& c : cases) {
        const TDecoded d = Inflate(c.Variant, c.Input, 32768, c.MaxOutput);
        EXPECT_EQ(d.Result.Status, isDataError) << c.Fault;
        EXPECT_STREQ(d.Result.Message, c.Message) << c.Fault;
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
