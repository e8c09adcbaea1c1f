// Shannon-Fano code table of imploded entries: read from its run-length description, decoded bit by bit.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "archive/codec/legacy/BitInput.h"

namespace archive::legacy {

class TShannonFanoTree {
public:
    // Description: one byte (number of bytes that follow, less one), then bytes whose low nibble is a
    // code length less one and whose high nibble is the number of consecutive values with it, less one.
    // False when the description is cut short, does not cover exactly `valueCount` values, or its
    // lengths need more codes than 16 bits hold.
    bool Load(TBitInput& input, int valueCount);
    // Reads one code, first bit = most significant; false when the input ends or no code matches.
    bool Decode(TBitInput& input, uint32_t& value) const;

    static constexpr int kMaxLength = 16;  // longest code the nibble can describe

private:
    bool Build(const std::vector<uint8_t>& lengths);

    std::vector<uint16_t> FSorted;                      // values ordered by (length, value)
    std::array<uint32_t, kMaxLength + 1> FFirstCode{};  // smallest code of each length
    std::array<uint32_t, kMaxLength + 1> FCount{};      // values of each length
    std::array<uint32_t, kMaxLength + 1> FLastIndex{};  // FSorted index of the value with that smallest code
};

}  // namespace archive::legacy
