// Least-significant-bit-first reader over a bounded stream of compressed bytes.
#include "archive/codec/legacy/BitInput.h"

namespace archive::legacy {

bool TBitInput::Refill() {
    if (FEnded)
        return false;
    const int32_t got = FRead(FBuffer.data(), kBufferSize);
    if (got <= 0) {
        FEnded = true;
        return false;
    }
    // A source that claims more than it was asked for is not trusted beyond the buffer.
    FLength = got < kBufferSize ? got : kBufferSize;
    FIndex = 0;
    return true;
}

bool TBitInput::Read(int count, uint32_t& value) {
    if (count < 0 || count > kMaxBits)
        return false;
    while (FBitCount < count) {
        if (FIndex == FLength && !Refill())
            return false;
        FBits |= uint32_t(FBuffer[FIndex++]) << FBitCount;
        FBitCount += 8;
    }
    value = FBits & ((1u << count) - 1);
    FBits >>= count;
    FBitCount -= count;
    return true;
}

}  // namespace archive::legacy
