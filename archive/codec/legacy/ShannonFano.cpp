// Shannon-Fano code table of imploded entries: read from its run-length description, decoded bit by bit.
#include "archive/codec/legacy/ShannonFano.h"

namespace archive::legacy {

namespace {
constexpr uint32_t kCodeSpace = 1u << TShannonFanoTree::kMaxLength;  // codes are built left-aligned in 16 bits
}  // namespace

bool TShannonFanoTree::Load(TBitInput& input, int valueCount) {
    uint32_t byteCount = 0;
    if (!input.Read(8, byteCount))
        return false;
    std::vector<uint8_t> lengths;
    lengths.reserve(size_t(valueCount));
    for (uint32_t i = 0; i <= byteCount; ++i) {
        uint32_t run = 0;
        if (!input.Read(8, run))
            return false;
        const size_t repeat = (run >> 4) + 1;
        if (lengths.size() + repeat > size_t(valueCount))
            return false;
        lengths.insert(lengths.end(), repeat, uint8_t((run & 0x0F) + 1));
    }
    return lengths.size() == size_t(valueCount) && Build(lengths);
}

// Codes are handed out from the longest lengths up: the last value of the (length, value) order gets
// code 0, each next one the previous code plus one unit of the previous value's length.
bool TShannonFanoTree::Build(const std::vector<uint8_t>& lengths) {
    FSorted.clear();
    FCount.fill(0);
    for (int length = 1; length <= kMaxLength; ++length) {
        for (size_t value = 0; value < lengths.size(); ++value) {
            if (lengths[value] == length) {
                FSorted.push_back(uint16_t(value));
                ++FCount[length];
            }
        }
    }
    uint32_t code = 0;
    uint32_t increment = 0;
    int lastLength = 0;
    for (size_t i = FSorted.size(); i-- > 0;) {
        code += increment;
        const int length = lengths[FSorted[i]];
        if (code >= kCodeSpace)
            return false;
        if (length != lastLength) {
            lastLength = length;
            increment = kCodeSpace >> length;
            FFirstCode[length] = code >> (kMaxLength - length);
            FLastIndex[length] = uint32_t(i);
        }
    }
    return true;
}

bool TShannonFanoTree::Decode(TBitInput& input, uint32_t& value) const {
    uint32_t code = 0;
    for (int length = 1; length <= kMaxLength; ++length) {
        uint32_t bit = 0;
        if (!input.Read(1, bit))
            return false;
        code = (code << 1) | bit;
        if (FCount[length] > 0 && code >= FFirstCode[length] && code - FFirstCode[length] < FCount[length]) {
            value = FSorted[FLastIndex[length] - (code - FFirstCode[length])];
            return true;
        }
    }
    return false;
}

}  // namespace archive::legacy
