// Reduced streams: hand-coded copy-stage bytes, every follower-set width, and damaged streams.
#include <gtest/gtest.h>

#include "LegacyEncoders.h"
#include "LegacyHarness.h"

namespace legacytest {
namespace {

using namespace archive::legacy;

// Empty follower sets for all 256 bytes, so every stage byte follows as 8 plain bits.
Bytes WithoutFollowers(const Bytes& stage) {
    TBitWriter out;
    for (int owner = 0; owner < 256; ++owner)
        out.Put(0, 6);
    for (const uint8_t value : stage)
        out.Put(value, 8);
    return out.Finish();
}

struct TCase {
    const char* what;
    int factor;
    Bytes stage;
    Bytes expected;
};

TEST(Unreduce, DecodesHandCodedCopyStages) {
    const TCase cases[] = {
        {"plain bytes", 1, {'a', 'b'}, {'a', 'b'}},
        {"escaped DLE", 2, {144, 0, 'x'}, {144, 'x'}},
        // Marker 1: length 1 + 3, distance 2 + 1.
        {"short copy", 1, {'a', 'b', 'c', 144, 1, 2}, {'a', 'b', 'c', 'a', 'b', 'c', 'a'}},
        // Factor 4 keeps four length bits; 15 means one more length byte: 15 + 2 + 3 = 20.
        {"long copy", 4, {'z', 144, 0x0F, 2, 0}, Bytes(21, 'z')},
        // Factor 1: the top bit of the marker is distance bit 8; (1 << 8) + 0 + 1 = 257 back.
        {"far copy reaches before the start", 1, {'q', 144, 0x80 | 1, 0}, {'q', 0, 0, 0, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TDecoded decoded =
            Decode(kMethodReducedFirst + c.factor - 1, 0, WithoutFollowers(c.stage), int64_t(c.expected.size()));
        EXPECT_EQ(decoded.status, lsOk);
        EXPECT_TRUE(decoded.data == c.expected);
    }
}

TEST(Unreduce, DecodesFollowerIndexesOfEveryWidth) {
    const Bytes data = Text(40000);
    for (const uint32_t most : {1u, 2u, 3u, 5u, 9u, 17u, 32u}) {
        SCOPED_TRACE("sets of up to " + std::to_string(most));
        const TDecoded decoded = Decode(3, 0, Reduce(data, 2, most), int64_t(data.size()), {31});
        EXPECT_EQ(decoded.status, lsOk);
        EXPECT_TRUE(decoded.data == data);
    }
}

TEST(Unreduce, ReportsDataErrorForDamagedStreams) {
    TBitWriter oversized;
    oversized.Put(33, 6);  // the set of byte 255 claims 33 followers
    TBitWriter badIndex;
    for (int owner = 255; owner > 0; --owner)
        badIndex.Put(0, 6);
    badIndex.Put(3, 6);  // byte 0 has three followers: indexes take two bits
    badIndex.Put('a', 8);
    badIndex.Put('b', 8);
    badIndex.Put('c', 8);
    badIndex.Put(0, 1);
    badIndex.Put(3, 2);  // index 3 of a set of three
    const std::vector<std::pair<const char*, Bytes>> cases = {
        {"no data at all", {}},
        {"follower sets cut short", Bytes(100, 0)},
        {"set larger than 32", oversized.Finish()},
        {"index outside its set", badIndex.Finish()},
        {"data ends before the declared size", WithoutFollowers({'a', 'b'})},
    };
    for (const auto& [what, packed] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(Decode(kMethodReducedFirst, 0, packed, 3).status, lsDataError);
    }
}

}  // namespace
}  // namespace legacytest
