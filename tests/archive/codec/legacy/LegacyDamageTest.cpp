// Hostile input for every legacy method: truncation at every offset and random bit damage.
#include <gtest/gtest.h>

#include <random>

#include "LegacyEncoders.h"
#include "LegacyHarness.h"

namespace legacytest {
namespace {

using namespace archive::legacy;

struct TMethod {
    const char* name;
    int method;
    uint16_t flags;
    Bytes packed;
};

std::vector<TMethod> Methods(const Bytes& data) {
    return {
        {"shrink", kMethodShrunk, 0, Shrink(data, {50}).packed},
        {"reduce", 5, 0, Reduce(data, 4, 5)},
        {"implode 4K", kMethodImploded, 0, Implode(data, false, false)},
        {"implode 8K with literals", kMethodImploded, kFlagImplode8K | kFlagImplodeLiterals, Implode(data, true, true)},
    };
}

// What any outcome must respect: a known status and never more than the declared size.
void ExpectBounded(const TDecoded& decoded, size_t size) {
    EXPECT_LE(decoded.data.size(), size);
    EXPECT_LE(decoded.largestChunk, 32768u);
    EXPECT_TRUE(decoded.status == lsOk || decoded.status == lsBadBlock || decoded.status == lsStackOverflow ||
                decoded.status == lsDataError);
}

TEST(LegacyDamage, EveryTruncationEndsCleanly) {
    const Bytes data = Text(3000);
    for (const TMethod& method : Methods(data)) {
        for (size_t cut = 0; cut < method.packed.size(); ++cut) {
            SCOPED_TRACE(std::string(method.name) + " cut at " + std::to_string(cut));
            const Bytes packed(method.packed.begin(), method.packed.begin() + ptrdiff_t(cut));
            const TDecoded decoded = Decode(method.method, method.flags, packed, int64_t(data.size()));
            ExpectBounded(decoded, data.size());
            // Shrunk data has no end mark, so a cut is only seen by the CRC; the others know it.
            if (method.method != kMethodShrunk) {
                EXPECT_EQ(decoded.status, lsDataError);
            }
            EXPECT_TRUE(std::equal(decoded.data.begin(), decoded.data.end(), data.begin()));
        }
    }
}

TEST(LegacyDamage, RandomBitFlipsNeverCrashOrOverrun) {
    const Bytes data = Text(5000);
    std::mt19937 generator(2026);
    for (const TMethod& method : Methods(data)) {
        SCOPED_TRACE(method.name);
        for (int round = 0; round < 400; ++round) {
            Bytes packed = method.packed;
            for (int flips = 1 + int(generator() % 8); flips > 0; --flips)
                packed[generator() % packed.size()] ^= uint8_t(1u << (generator() % 8));
            // A declared size larger than the data lets damaged streams run on as long as they can.
            ExpectBounded(Decode(method.method, method.flags, packed, int64_t(data.size()) * 4, {31}), data.size() * 4);
        }
    }
}

TEST(LegacyDamage, PureNoiseNeverCrashesAnyMethod) {
    for (int method = kMethodShrunk; method <= kMethodImploded; ++method) {
        for (uint32_t seed = 0; seed < 200; ++seed) {
            SCOPED_TRACE("method " + std::to_string(method) + ", seed " + std::to_string(seed));
            const Bytes noise = Random(64 + seed * 7, seed);
            ExpectBounded(Decode(method, uint16_t(seed & 6), noise, 1 << 16), 1 << 16);
        }
    }
}

}  // namespace
}  // namespace legacytest
