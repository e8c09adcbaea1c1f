// Decoder of imploded entries (method 6): Shannon-Fano coded literals and copies over a 4 or 8 KiB window.
#include "archive/codec/legacy/Explode.h"

#include "archive/codec/legacy/ShannonFano.h"

namespace archive::legacy {

namespace {

constexpr int kLiteralValues = 256;
constexpr int kLengthValues = 64;
constexpr int kDistanceValues = 64;
constexpr uint32_t kLongLength = 63;  // this length code takes one more byte
constexpr int kLowBitsSmall = 6;      // 4 KiB window: 64 x 64 distances
constexpr int kLowBitsBig = 7;        // 8 KiB window: 64 x 128 distances

class TExploder {
public:
    TExploder(TBitInput& input, TOutputWindow& output, bool bigWindow, bool literalTree)
        : FInput(input),
          FOutput(output),
          FLowBits(bigWindow ? kLowBitsBig : kLowBitsSmall),
          FHasLiteralTree(literalTree),
          FMinLength(literalTree ? 3 : 2) {}

    TLegacyStatus Run();

private:
    bool LoadTrees();
    bool Literal();
    bool Copy();

    TBitInput& FInput;
    TOutputWindow& FOutput;
    int FLowBits;
    bool FHasLiteralTree;
    uint32_t FMinLength;
    TShannonFanoTree FLiterals;
    TShannonFanoTree FLengths;
    TShannonFanoTree FDistances;
};

TLegacyStatus TExploder::Run() {
    if (FOutput.Done())
        return lsOk;
    if (!LoadTrees())
        return lsDataError;
    while (!FOutput.Done()) {
        uint32_t isLiteral = 0;
        if (!FInput.Read(1, isLiteral) || !(isLiteral ? Literal() : Copy()))
            return lsDataError;
    }
    return lsOk;
}

bool TExploder::LoadTrees() {
    return (!FHasLiteralTree || FLiterals.Load(FInput, kLiteralValues)) && FLengths.Load(FInput, kLengthValues) &&
           FDistances.Load(FInput, kDistanceValues);
}

bool TExploder::Literal() {
    uint32_t value = 0;
    if (!(FHasLiteralTree ? FLiterals.Decode(FInput, value) : FInput.Read(8, value)))
        return false;
    FOutput.Put(uint8_t(value));
    return true;
}

bool TExploder::Copy() {
    uint32_t low = 0, high = 0, length = 0, extra = 0;
    if (!FInput.Read(FLowBits, low) || !FDistances.Decode(FInput, high) || !FLengths.Decode(FInput, length))
        return false;
    if (length == kLongLength && !FInput.Read(8, extra))
        return false;
    FOutput.Copy(((high << FLowBits) | low) + 1, length + extra + FMinLength);
    return true;
}

}  // namespace

TLegacyStatus Explode(TBitInput& input, TOutputWindow& output, bool bigWindow, bool literalTree) {
    return TExploder(input, output, bigWindow, literalTree).Run();
}

}  // namespace archive::legacy
