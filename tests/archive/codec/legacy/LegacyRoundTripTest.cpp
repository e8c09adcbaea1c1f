// Round trips of varied data through the test-only encoders and the legacy decoders.
#include <gtest/gtest.h>

#include <functional>

#include "LegacyEncoders.h"
#include "LegacyHarness.h"

namespace legacytest {
namespace {

using namespace archive::legacy;

struct TVariant {
    const char* name;
    int method;
    uint16_t flags;
    std::function<Bytes(const Bytes&)> encode;
};

const std::vector<TVariant>& Variants() {
    static const std::vector<TVariant> variants = {
        {"shrink", kMethodShrunk, 0, [](const Bytes& d) { return Shrink(d).packed; }},
        {"reduce factor 1", 2, 0, [](const Bytes& d) { return Reduce(d, 1); }},
        {"reduce factor 2", 3, 0, [](const Bytes& d) { return Reduce(d, 2); }},
        {"reduce factor 3", 4, 0, [](const Bytes& d) { return Reduce(d, 3); }},
        {"reduce factor 4", 5, 0, [](const Bytes& d) { return Reduce(d, 4); }},
        {"implode 4K two trees", kMethodImploded, 0, [](const Bytes& d) { return Implode(d, false, false); }},
        {"implode 8K two trees", kMethodImploded, kFlagImplode8K,
         [](const Bytes& d) { return Implode(d, true, false); }},
        {"implode 4K three trees", kMethodImploded, kFlagImplodeLiterals,
         [](const Bytes& d) { return Implode(d, false, true); }},
        {"implode 8K three trees", kMethodImploded, kFlagImplode8K | kFlagImplodeLiterals,
         [](const Bytes& d) { return Implode(d, true, true); }},
    };
    return variants;
}

TEST(LegacyRoundTrip, EveryMethodRestoresEverySampleInAnyReadPieces) {
    const std::vector<TSample> samples = Samples();
    for (const TVariant& variant : Variants()) {
        for (const TSample& sample : samples) {
            const Bytes packed = variant.encode(sample.data);
            for (const int32_t piece : {1, 31, 32768}) {
                SCOPED_TRACE(std::string(variant.name) + ", " + sample.name + ", pieces of " + std::to_string(piece));
                const TDecoded decoded =
                    Decode(variant.method, variant.flags, packed, int64_t(sample.data.size()), {piece});
                EXPECT_EQ(decoded.status, lsOk);
                EXPECT_TRUE(decoded.data == sample.data);
                EXPECT_LE(decoded.largestChunk, 32768u);
            }
        }
    }
}

TEST(LegacyRoundTrip, CompressesRepetitiveData) {
    const Bytes data(100000, 'a');
    for (const TVariant& variant : Variants()) {
        SCOPED_TRACE(variant.name);
        EXPECT_LT(variant.encode(data).size(), data.size() / 10);
    }
}

TEST(LegacyRoundTrip, NeverWritesMoreThanTheDeclaredSize) {
    const Bytes data = Text(70000);
    for (const TVariant& variant : Variants()) {
        const Bytes packed = variant.encode(data);
        for (const size_t size : {size_t(0), size_t(1), size_t(32769), data.size() - 1}) {
            SCOPED_TRACE(std::string(variant.name) + ", size " + std::to_string(size));
            const TDecoded decoded = Decode(variant.method, variant.flags, packed, int64_t(size));
            EXPECT_EQ(decoded.status, lsOk);
            EXPECT_TRUE(decoded.data == Bytes(data.begin(), data.begin() + ptrdiff_t(size)));
        }
    }
}

TEST(LegacyRoundTrip, StopsAtTheFirstRefusedChunk) {
    const Bytes data = Text(70000);
    for (const TVariant& variant : Variants()) {
        SCOPED_TRACE(variant.name);
        TFeed feed;
        feed.refuseAfterWrites = 1;
        const TDecoded decoded =
            Decode(variant.method, variant.flags, variant.encode(data), int64_t(data.size()), feed);
        EXPECT_EQ(decoded.status, lsStopped);
        EXPECT_EQ(decoded.writes, 2u);
        EXPECT_TRUE(decoded.data == Bytes(data.begin(), data.begin() + 32768));
    }
}

TEST(LegacyRoundTrip, RejectsOtherMethodsAndNegativeSizes) {
    EXPECT_FALSE(IsLegacyMethod(0));
    EXPECT_FALSE(IsLegacyMethod(8));
    EXPECT_TRUE(IsLegacyMethod(4));
    EXPECT_EQ(Decode(8, 0, {1, 2, 3}, 3).status, lsDataError);
    EXPECT_EQ(Decode(kMethodShrunk, 0, Shrink({1}).packed, -1).status, lsDataError);
}

}  // namespace
}  // namespace legacytest
