// The legacy decoders' bit reader: field widths it refuses and a source that has ended stays ended.
#include <gtest/gtest.h>

#include "LegacyHarness.h"
#include "archive/codec/legacy/BitInput.h"

namespace legacytest {
namespace {

using namespace archive::legacy;

TEST(BitInput, RefusesFieldsWiderThanItsBufferOrNegative) {
    const struct {
        const char* fault;
        int count;
        bool taken;
    } cases[] = {
        {"negative_width", -1, false},
        {"width_past_sixteen_bits", TBitInput::kMaxBits + 1, false},
        {"widest_field", TBitInput::kMaxBits, true},
    };
    for (const auto& c : cases) {
        const TLegacyRead read = [](uint8_t* buffer, int32_t count) {
            std::fill_n(buffer, count, uint8_t{0xA5});
            return count;
        };
        TBitInput input(read);
        uint32_t value = 0;
        EXPECT_EQ(input.Read(c.count, value), c.taken) << c.fault;
    }
}

TEST(BitInput, ASourceThatHasEndedIsNotAskedAgain) {
    int reads = 0;
    const TLegacyRead read = [&](uint8_t* buffer, int32_t) {
        buffer[0] = 0x81;
        return ++reads == 1 ? 1 : 0;  // one byte, then the end; a source asked again would say so
    };
    TBitInput input(read);
    uint32_t value = 0;
    EXPECT_TRUE(input.Read(8, value));
    EXPECT_EQ(value, 0x81u);
    EXPECT_FALSE(input.Read(1, value));
    EXPECT_FALSE(input.Read(1, value));
    EXPECT_EQ(reads, 2);
}

}  // namespace
}  // namespace legacytest
