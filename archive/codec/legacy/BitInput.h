// Least-significant-bit-first reader over a bounded stream of compressed bytes.
#pragma once

#include <array>
#include <cstdint>

#include "archive/codec/legacy/Legacy.h"

namespace archive::legacy {

class TBitInput {
public:
    explicit TBitInput(const TLegacyRead& read) : FRead(read) {}
    TBitInput(const TBitInput&) = delete;
    TBitInput& operator=(const TBitInput&) = delete;

    // Takes the next `count` bits (at most kMaxBits); false when the input ends before them.
    bool Read(int count, uint32_t& value);

    static constexpr int kMaxBits = 16;  // the widest field of the three formats

private:
    bool Refill();

    static constexpr int32_t kBufferSize = 4096;  // read granularity; any size works

    const TLegacyRead& FRead;
    std::array<uint8_t, kBufferSize> FBuffer{};
    int32_t FLength = 0;
    int32_t FIndex = 0;
    uint32_t FBits = 0;
    int FBitCount = 0;
    bool FEnded = false;
};

}  // namespace archive::legacy
