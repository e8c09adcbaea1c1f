// Imploded streams: hand-coded Shannon-Fano trees and items, and damaged tree descriptions.
#include <gtest/gtest.h>

#include <string>

#include "LegacyEncoders.h"
#include "LegacyHarness.h"

namespace legacytest {
namespace {

using namespace archive::legacy;

// 64 values of six bits each: value v gets code 63 - v.
const Bytes kFlatTree = {3, 0xF5, 0xF5, 0xF5, 0xF5};
// Lengths: 0 -> 1, 1 -> 2, 2 and 3 -> 7, 4..63 -> 8 bits (a complete code). Handed out from the
// longest up: 63 = 00000000, ..., 4 = 00111011, 3 = 0011110, 2 = 0011111, 1 = 01, 0 = 1.
const Bytes kMixedTree = {6, 0x00, 0x01, 0x16, 0xF7, 0xF7, 0xF7, 0xB7};

void PutBytes(TBitWriter& out, const Bytes& bytes) {
    for (const uint8_t value : bytes)
        out.Put(value, 8);
}

void PutBits(TBitWriter& out, const std::string& bits) {
    for (const char bit : bits)
        out.Put(bit == '1' ? 1 : 0, 1);
}

TEST(Explode, DecodesHandCodedItems) {
    TBitWriter out;
    PutBytes(out, kMixedTree);  // lengths
    PutBytes(out, kFlatTree);   // distances
    PutBits(out, "1");
    out.Put('A', 8);
    PutBits(out, "1");
    out.Put('B', 8);
    // Copy, distance 2 (low bits 1, high 0 = 111111), length value 1 (01) + 2.
    PutBits(out, "0");
    out.Put(1, 6);
    PutBits(out,
            "111111"
            "01");
    // Copy, distance 1, length value 63 (00000000) with the extra byte 10: 63 + 10 + 2.
    PutBits(out, "0");
    out.Put(0, 6);
    PutBits(out,
            "111111"
            "00000000");
    out.Put(10, 8);
    // Copy, distance 3, length value 0 (1) + 2.
    PutBits(out, "0");
    out.Put(2, 6);
    PutBits(out,
            "111111"
            "1");
    // Copy, distance 80 (79 = 1 << 6 | 15; high 1 = 111110), length value 4 (00111011) + 2.
    PutBits(out, "0");
    out.Put(15, 6);
    PutBits(out,
            "111110"
            "00111011");
    const std::string expected = "ABABA" + std::string(75, 'A') + "AA" + "ABAAAA";
    const TDecoded decoded = Decode(kMethodImploded, 0, out.Finish(), int64_t(expected.size()));
    EXPECT_EQ(decoded.status, lsOk);
    EXPECT_EQ(std::string(decoded.data.begin(), decoded.data.end()), expected);
}

TEST(Explode, TakesWindowSizeAndLiteralTreeFromTheFlags) {
    struct TFlagCase {
        uint16_t flags;
        int lowBits;
        const char* expected;  // copies count from 3 with a literal tree, else from 2
    } const cases[] = {
        {0, 6, "abab"},
        {kFlagImplode8K, 7, "abab"},
        {kFlagImplodeLiterals, 6, "ababa"},
        {kFlagImplode8K | kFlagImplodeLiterals, 7, "ababa"},
    };
    for (const TFlagCase& c : cases) {
        SCOPED_TRACE(c.flags);
        const bool literalTree = c.flags & kFlagImplodeLiterals;
        TBitWriter out;
        if (literalTree)
            PutBytes(out, Bytes{15, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7, 0xF7,
                                0xF7, 0xF7});  // 256 values of eight bits: v gets 255 - v
        PutBytes(out, kFlatTree);
        PutBytes(out, kFlatTree);
        for (const uint8_t literal : {'a', 'b'}) {
            PutBits(out, "1");
            if (literalTree)
                out.PutCode(255 - literal, 8);
            else
                out.Put(literal, 8);
        }
        PutBits(out, "0");
        out.Put(1, c.lowBits);  // distance 2
        PutBits(out,
                "111111"
                "111111");  // high distance 0, length value 0
        const std::string expected = c.expected;
        const TDecoded decoded = Decode(kMethodImploded, c.flags, out.Finish(), int64_t(expected.size()));
        EXPECT_EQ(decoded.status, lsOk);
        EXPECT_EQ(std::string(decoded.data.begin(), decoded.data.end()), expected);
    }
}

TEST(Explode, ReportsDataErrorForDamagedStreams) {
    TBitWriter unknownCode;
    PutBytes(unknownCode, kFlatTree);
    PutBytes(unknownCode, {3, 0xF6, 0xF6, 0xF6, 0xF6});  // 64 codes of seven bits fill half the space
    PutBits(unknownCode, "0");
    unknownCode.Put(0, 6);
    PutBits(unknownCode, "1111111111111111");
    TBitWriter longLengthCut;
    PutBytes(longLengthCut, kFlatTree);
    PutBytes(longLengthCut, kFlatTree);
    PutBits(longLengthCut, "0");
    longLengthCut.Put(0, 6);
    PutBits(longLengthCut,
            "111111"
            "000000");  // length value 63: an extra byte follows, but only five bits of padding do
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"no data at all", {}},
        {"tree covers 63 values", {3, 0xF5, 0xF5, 0xF5, 0xE5}},
        {"tree covers more than 64 values", {4, 0xF5, 0xF5, 0xF5, 0xF5, 0xF5}},
        {"more codes than 16 bits hold", {3, 0xF0, 0xF0, 0xF0, 0xF0}},
        {"tree description cut short", {3, 0xF5, 0xF5}},
        {"data ends after the trees", {3, 0xF5, 0xF5, 0xF5, 0xF5, 3, 0xF5, 0xF5, 0xF5, 0xF5}},
        {"code no tree knows", unknownCode.Finish()},
        {"long length without its extra byte", longLengthCut.Finish()},
    };
    for (const auto& [what, packed] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(Decode(kMethodImploded, 0, packed, 10).status, lsDataError);
    }
}

}  // namespace
}  // namespace legacytest
