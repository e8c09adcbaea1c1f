// The code tables of deflate and Deflate64 as data, and the canonical Huffman code builder both share.
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace archive {

constexpr int kMaxCodeBits = 15;       // longest Huffman code of the format
constexpr int kLengthCodes = 29;       // length symbols 257..285
constexpr int kMaxDistanceCodes = 32;  // Deflate64 uses all 32; deflate stops at 30
constexpr int kMaxLitLenSymbols = 288;

// What distinguishes the two formats: window size, distance codes and the meaning of length code 285.
struct TDeflateVariant {
    uint32_t WindowSize;
    int DistanceCodes;
    std::array<uint16_t, kLengthCodes> LengthBase;
    std::array<uint8_t, kLengthCodes> LengthExtra;
    std::array<uint32_t, kMaxDistanceCodes> DistanceBase;
    std::array<uint8_t, kMaxDistanceCodes> DistanceExtra;
};
extern const TDeflateVariant kDeflateVariant;
extern const TDeflateVariant kDeflate64Variant;

// A canonical Huffman code: a direct lookup of the first kFastBits bits, and the counts and sorted symbols
// for the longer codes.
class THuffman {
public:
    static constexpr int kFastBits = 9;
    enum TBuildResult { brComplete, brIncomplete, brOverSubscribed };
    // `lengths[i]` is the code length of symbol i (0: unused).
    TBuildResult Build(std::span<const uint8_t> lengths);
    int MaxLength() const { return FMaxLength; }

    struct TFastEntry {
        uint16_t Symbol = 0;
        uint8_t Length = 0;  // 0: the code is longer than kFastBits (or absent)
    };
    const TFastEntry& Fast(uint32_t bits) const { return FFast[bits & ((1u << kFastBits) - 1)]; }
    // Decodes from up to kMaxCodeBits bits (first bit lowest); false for a code the table lacks.
    bool DecodeSlow(uint32_t bits, int& symbol, int& length) const;

private:
    std::array<uint16_t, kMaxCodeBits + 1> FCount{};
    std::array<uint16_t, kMaxLitLenSymbols + kMaxDistanceCodes> FSymbol{};
    std::array<TFastEntry, 1u << kFastBits> FFast{};
    int FMaxLength = 0;
};

}  // namespace archive
