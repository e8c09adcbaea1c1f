// The length and distance tables of RFC 1951 and the Deflate64 changes, and the code builder.
#include "archive/codec/InflaterTables.h"

namespace archive {

namespace {
constexpr std::array<uint16_t, kLengthCodes> kLengthBase = {
    3, 4, 5, 6, 7, 8, 9, 10, 11, 13, 15, 17, 19, 23, 27, 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, kLengthCodes> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                            2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<uint32_t, kMaxDistanceCodes> kDistanceBase = {
    1,   2,   3,   4,   5,    7,    9,    13,   17,   25,   33,   49,    65,    97,    129,   193,
    257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr std::array<uint8_t, kMaxDistanceCodes> kDistanceExtra = {
    0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 14, 14};

constexpr std::array<uint16_t, kLengthCodes> WithLastLength(uint16_t base) {
    auto table = kLengthBase;
    table.back() = base;
    return table;
}
constexpr std::array<uint8_t, kLengthCodes> WithLastExtra(uint8_t extra) {
    auto table = kLengthExtra;
    table.back() = extra;
    return table;
}

uint32_t Reverse(uint32_t code, int length) {
    uint32_t r = 0;
    for (int i = 0; i < length; ++i, code >>= 1)
        r = (r << 1) | (code & 1);
    return r;
}
}  // namespace

// RFC 1951: 32 KiB window, 30 distance codes, length code 285 = 258 with no extra bits.
const TDeflateVariant kDeflateVariant = {32768, 30, kLengthBase, kLengthExtra, kDistanceBase, kDistanceExtra};
// Deflate64: 64 KiB window, distance codes 30 and 31, length code 285 = 3 plus 16 extra bits.
const TDeflateVariant kDeflate64Variant = {65536,         32, WithLastLength(3), WithLastExtra(16), kDistanceBase,
                                           kDistanceExtra};

THuffman::TBuildResult THuffman::Build(std::span<const uint8_t> lengths) {
    FCount.fill(0);
    FFast.fill({});
    FMaxLength = 0;
    for (uint8_t len : lengths) {
        ++FCount[len];
        if (len > FMaxLength)
            FMaxLength = len;
    }
    FCount[0] = 0;
    int left = 1;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
        left = (left << 1) - FCount[len];
        if (left < 0)
            return brOverSubscribed;
    }
    std::array<uint16_t, kMaxCodeBits + 2> offset{};
    std::array<uint32_t, kMaxCodeBits + 2> nextCode{};
    for (int len = 1; len <= kMaxCodeBits; ++len) {
        offset[len + 1] = static_cast<uint16_t>(offset[len] + FCount[len]);
        nextCode[len + 1] = (nextCode[len] + FCount[len]) << 1;
    }
    for (size_t sym = 0; sym < lengths.size() && sym < FSymbol.size(); ++sym) {
        const int len = lengths[sym];
        if (len == 0)
            continue;
        FSymbol[offset[len]++] = static_cast<uint16_t>(sym);
        const uint32_t code = nextCode[len]++;
        if (len > kFastBits)
            continue;
        for (uint32_t i = Reverse(code, len); i < FFast.size(); i += 1u << len)
            FFast[i] = {static_cast<uint16_t>(sym), static_cast<uint8_t>(len)};
    }
    return left > 0 ? brIncomplete : brComplete;
}

bool THuffman::DecodeSlow(uint32_t bits, int& symbol, int& length) const {
    int code = 0, first = 0, index = 0;
    for (int len = 1; len <= kMaxCodeBits; ++len) {
        code |= static_cast<int>(bits & 1);
        bits >>= 1;
        const int count = FCount[len];
        if (code - count < first) {
            symbol = FSymbol[index + (code - first)];
            length = len;
            return true;
        }
        index += count;
        first = (first + count) << 1;
        code <<= 1;
    }
    return false;
}

}  // namespace archive
