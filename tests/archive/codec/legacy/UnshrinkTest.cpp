// Shrunk streams: hand-packed code sequences, table growth and clearing, and the two fatal reports.
#include <gtest/gtest.h>

#include <cstring>

#include "LegacyEncoders.h"
#include "LegacyHarness.h"

namespace legacytest {
namespace {

using namespace archive::legacy;

// Packs codes at 9 bits, one bit wider after each "256, 1".
Bytes PackCodes(const std::vector<uint32_t>& codes) {
    TBitWriter out;
    int width = 9;
    for (size_t i = 0; i < codes.size(); ++i) {
        out.Put(codes[i], width);
        if (i > 0 && codes[i - 1] == 256 && codes[i] == 1)
            ++width;
    }
    return out.Finish();
}

Bytes Chars(const char* text) {
    return Bytes(text, text + std::strlen(text));
}

TDecoded Unshrink(const std::vector<uint32_t>& codes, size_t size) {
    return Decode(kMethodShrunk, 0, PackCodes(codes), int64_t(size));
}

struct TCase {
    const char* what;
    std::vector<uint32_t> codes;
    const char* expected;
};

TEST(Unshrink, DecodesHandPackedCodeSequences) {
    const TCase cases[] = {
        {"literals only", {'G', 'V'}, "GV"},
        // 257 = AB, 258 = BA, then 259 is the slot being defined: AB + A.
        {"code defined by its own use", {'A', 'B', 257, 259}, "ABABABA"},
        {"code size grows after 256 1", {'A', 256, 1, 'B', 257}, "ABAB"},
        // 257 = AB and 258 = BC are leaves and go; the next string, CB, takes 257 again.
        {"partial clear reuses the lowest slot", {'A', 'B', 'C', 256, 2, 'B', 257}, "ABCBCB"},
        // 257 = AA has the child 258 = AAA, so only 258 goes and becomes AB; 257 still reads AA.
        {"partial clear keeps strings that others extend", {'A', 257, 'A', 256, 2, 'B', 258, 257}, "AAAABABAA"},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const Bytes expected = Chars(c.expected);
        const TDecoded decoded = Unshrink(c.codes, expected.size());
        EXPECT_EQ(decoded.status, lsOk);
        EXPECT_EQ(std::string(decoded.data.begin(), decoded.data.end()), c.expected);
    }
}

TEST(Unshrink, ReportsBadBlockForBrokenCodeStreams) {
    const std::vector<std::pair<const char*, std::vector<uint32_t>>> cases = {
        {"stream ends before the first code", {}},
        {"only a control sequence", {256, 1}},
        {"256 followed by 3", {'A', 256, 3, 'B'}},
        {"256 followed by 0", {'A', 256, 0}},
        {"256 at the end", {'A', 256}},
        {"code size beyond 13 bits", {'A', 256, 1, 256, 1, 256, 1, 256, 1, 256, 1}},
        {"first code is not a literal", {300}},
        {"free code other than the next slot", {'A', 'B', 300}},
        // The clear frees 257..259, among them the previous code 258; the new 257 hangs on it.
        {"string built on a freed code", {'A', 'B', 'C', 258, 256, 2, 'D', 257}},
    };
    for (const auto& [what, codes] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(Unshrink(codes, 100).status, lsBadBlock);
    }
    EXPECT_EQ(Decode(kMethodShrunk, 0, {0x41}, 100).status, lsBadBlock) << "8 bits cannot hold a 9-bit code";
}

TEST(Unshrink, ReportsStackOverflowForACycleInTheTable) {
    // After the clear 257 is free while still the previous code: the next entry lands in 257 with
    // itself as parent, and expanding 257 never reaches a literal.
    const TDecoded decoded = Unshrink({'A', 'B', 257, 256, 2, 'A', 257}, 100);
    EXPECT_EQ(decoded.status, lsStackOverflow);
    EXPECT_EQ(std::string(decoded.data.begin(), decoded.data.end()), "ABABA") << "output before the fault stays";
}

TEST(Unshrink, EmptyEntryNeedsNoCode) {
    EXPECT_EQ(Decode(kMethodShrunk, 0, {}, 0).status, lsOk);
}

TEST(Unshrink, LargeInputsGrowToThirteenBitsAndClearRepeatedly) {
    const Bytes data = Random(1 << 20, 5);
    const TShrinkResult result = Shrink(data);
    EXPECT_EQ(result.codeSize, 13);
    EXPECT_GT(result.clears, 5);
    const TDecoded decoded = Decode(kMethodShrunk, 0, result.packed, int64_t(data.size()), {31});
    EXPECT_EQ(decoded.status, lsOk);
    EXPECT_TRUE(decoded.data == data);
}

TEST(Unshrink, RestoresDataAfterFrequentVoluntaryClears) {
    // Every clear walks the whole table, so these inputs stay small.
    const std::vector<TSample> samples = {{"text", Text(6000)}, {"random", Random(6000, 9)}};
    for (const uint32_t every : {1u, 2u, 7u, 100u}) {
        for (const TSample& sample : samples) {
            SCOPED_TRACE(sample.name + ", clear every " + std::to_string(every) + " codes");
            const TShrinkResult result = Shrink(sample.data, {every});
            EXPECT_GT(result.clears, 0);
            const TDecoded decoded = Decode(kMethodShrunk, 0, result.packed, int64_t(sample.data.size()));
            EXPECT_EQ(decoded.status, lsOk);
            EXPECT_TRUE(decoded.data == sample.data);
        }
    }
}

}  // namespace
}  // namespace legacytest
