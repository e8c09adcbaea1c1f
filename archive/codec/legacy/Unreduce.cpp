// Decoder of reduced entries (methods 2 to 5): follower-set byte coding under a DLE-escaped copy scheme.
#include "archive/codec/legacy/Unreduce.h"

#include <array>
#include <bit>

namespace archive::legacy {

namespace {

constexpr int kCountBits = 6;           // width of a follower-set size
constexpr uint32_t kMaxFollowers = 32;  // largest follower set the format allows
constexpr uint8_t kDle = 144;           // escape byte of the copy stage
constexpr uint32_t kMinCopy = 3;        // a copy's length field counts from 3

enum TExpandState {
    esLiteral,      // plain bytes until a DLE
    esMarker,       // after DLE: 0 escapes a DLE, anything else opens a copy
    esExtraLength,  // the copy's length continues in this byte
    esDistance      // low eight distance bits; the copy follows
};

class TUnreducer {
public:
    TUnreducer(TBitInput& input, TOutputWindow& output, int factor)
        : FInput(input), FOutput(output), FFactor(factor), FLengthMask(0xFFu >> factor) {}

    TLegacyStatus Run();

private:
    bool LoadFollowerSets();
    bool NextByte(uint8_t& value);
    void Expand(uint8_t value);

    TBitInput& FInput;
    TOutputWindow& FOutput;
    int FFactor;
    uint32_t FLengthMask;
    std::array<std::array<uint8_t, kMaxFollowers>, 256> FFollowers{};
    std::array<uint32_t, 256> FFollowerCount{};
    uint8_t FLastByte = 0;
    TExpandState FState = esLiteral;
    uint32_t FMarker = 0;
    uint32_t FLength = 0;
};

// Bits of an index into a follower set of `count` entries (at least one).
int IndexBits(uint32_t count) {
    return count <= 2 ? 1 : int(std::bit_width(count - 1));
}

TLegacyStatus TUnreducer::Run() {
    if (FOutput.Done())
        return lsOk;
    if (!LoadFollowerSets())
        return lsDataError;
    uint8_t value = 0;
    while (!FOutput.Done()) {
        if (!NextByte(value))
            return lsDataError;
        Expand(value);
    }
    return lsOk;
}

bool TUnreducer::LoadFollowerSets() {
    for (int owner = 255; owner >= 0; --owner) {
        uint32_t count = 0;
        if (!FInput.Read(kCountBits, count) || count > kMaxFollowers)
            return false;
        FFollowerCount[owner] = count;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t follower = 0;
            if (!FInput.Read(8, follower))
                return false;
            FFollowers[owner][i] = uint8_t(follower);
        }
    }
    return true;
}

bool TUnreducer::NextByte(uint8_t& value) {
    const uint32_t count = FFollowerCount[FLastByte];
    uint32_t bits = 0;
    if (count > 0) {
        if (!FInput.Read(1, bits))
            return false;
        if (bits == 0) {
            if (!FInput.Read(IndexBits(count), bits) || bits >= count)
                return false;
            value = FLastByte = FFollowers[FLastByte][bits];
            return true;
        }
    }
    if (!FInput.Read(8, bits))
        return false;
    value = FLastByte = uint8_t(bits);
    return true;
}

void TUnreducer::Expand(uint8_t value) {
    switch (FState) {
        case esLiteral:
            if (value == kDle)
                FState = esMarker;
            else
                FOutput.Put(value);
            break;
        case esMarker:
            if (value == 0) {
                FOutput.Put(kDle);
                FState = esLiteral;
                break;
            }
            FMarker = value;
            FLength = value & FLengthMask;
            FState = FLength == FLengthMask ? esExtraLength : esDistance;
            break;
        case esExtraLength:
            FLength += value;
            FState = esDistance;
            break;
        case esDistance: {
            const uint32_t distance = ((FMarker >> (8 - FFactor)) << 8) + value + 1;
            FOutput.Copy(distance, FLength + kMinCopy);
            FState = esLiteral;
            break;
        }
    }
}

}  // namespace

TLegacyStatus Unreduce(TBitInput& input, TOutputWindow& output, int factor) {
    return TUnreducer(input, output, factor).Run();
}

}  // namespace archive::legacy
