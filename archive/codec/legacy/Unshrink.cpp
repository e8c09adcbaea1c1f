// Decoder of shrunk entries (method 1): dynamic LZW with 9- to 13-bit codes and partial clearing.
#include "archive/codec/legacy/Unshrink.h"

#include <vector>

namespace archive::legacy {

namespace {

constexpr int kInitialCodeSize = 9;     // 256 literals plus the control code need 9 bits
constexpr int kMaxCodeSize = 13;        // largest code size of the format
constexpr uint32_t kTableSize = 8192;   // 2^13 codes
constexpr uint32_t kControlCode = 256;  // followed by kGrowCode or kPartialClear
constexpr uint32_t kGrowCode = 1;
constexpr uint32_t kPartialClear = 2;
constexpr uint32_t kFirstTableCode = 257;
constexpr size_t kStackSize = 8192;     // characters one code may expand to
constexpr uint16_t kFreeSlot = 0xFFFF;  // parent mark of an unused table slot
constexpr int32_t kNoPrevious = -1;

class TUnshrinker {
public:
    TUnshrinker(TBitInput& input, TOutputWindow& output)
        : FInput(input), FOutput(output), FParent(kTableSize, kFreeSlot), FChar(kTableSize, 0), FStack(kStackSize) {}

    TLegacyStatus Run();

private:
    TLegacyStatus Control();
    TLegacyStatus Expand(uint32_t code);
    void AddEntry(uint32_t parent, uint8_t value);
    void PartialClear();
    void FindFreeSlot(uint32_t from);
    bool IsFree(uint32_t code) const { return code >= kFirstTableCode && FParent[code] == kFreeSlot; }

    TBitInput& FInput;
    TOutputWindow& FOutput;
    std::vector<uint16_t> FParent;  // previous code of each table string (a literal or table code, never 256)
    std::vector<uint8_t> FChar;     // last character of each table string
    std::vector<uint8_t> FStack;    // characters of the code being expanded, last first
    int FCodeSize = kInitialCodeSize;
    uint32_t FNextFree = kFirstTableCode;
    int32_t FPrevious = kNoPrevious;
};

TLegacyStatus TUnshrinker::Run() {
    if (FOutput.Done())
        return lsOk;
    uint32_t code = 0;
    while (!FOutput.Done() && FInput.Read(FCodeSize, code)) {
        const TLegacyStatus status = code == kControlCode ? Control() : Expand(code);
        if (status != lsOk)
            return status;
    }
    return FPrevious == kNoPrevious ? lsBadBlock : lsOk;
}

// Codes never exceed 8191 because the size stops at 13 bits: a further "grow" is a bad block.
TLegacyStatus TUnshrinker::Control() {
    uint32_t action = 0;
    if (!FInput.Read(FCodeSize, action))
        return lsBadBlock;
    if (action == kGrowCode && FCodeSize < kMaxCodeSize) {
        ++FCodeSize;
        return lsOk;
    }
    if (action == kPartialClear) {
        PartialClear();
        return lsOk;
    }
    return lsBadBlock;
}

TLegacyStatus TUnshrinker::Expand(uint32_t code) {
    if (FPrevious == kNoPrevious) {
        if (code >= kControlCode)
            return lsBadBlock;
        FOutput.Put(uint8_t(code));
        FPrevious = int32_t(code);
        return lsOk;
    }
    // A free code can only be the slot this very code is about to define.
    const bool repeatsPrevious = IsFree(code);
    if (repeatsPrevious && code != FNextFree)
        return lsBadBlock;
    uint32_t walk = repeatsPrevious ? uint32_t(FPrevious) : code;
    size_t depth = 0;
    while (walk >= kFirstTableCode) {
        if (IsFree(walk))
            return lsBadBlock;
        if (depth == kStackSize)
            return lsStackOverflow;
        FStack[depth++] = FChar[walk];
        walk = FParent[walk];
    }
    const auto first = uint8_t(walk);
    FOutput.Put(first);
    while (depth > 0)
        FOutput.Put(FStack[--depth]);
    if (repeatsPrevious)
        FOutput.Put(first);
    AddEntry(uint32_t(FPrevious), first);
    FPrevious = int32_t(code);
    return lsOk;
}

void TUnshrinker::AddEntry(uint32_t parent, uint8_t value) {
    if (FNextFree >= kTableSize)
        return;
    FParent[FNextFree] = uint16_t(parent);
    FChar[FNextFree] = value;
    FindFreeSlot(FNextFree + 1);
}

void TUnshrinker::FindFreeSlot(uint32_t from) {
    FNextFree = from;
    while (FNextFree < kTableSize && !IsFree(FNextFree))
        ++FNextFree;
}

// Frees every table string that no other string extends; freed slots are reused lowest first.
void TUnshrinker::PartialClear() {
    std::vector<bool> hasChild(kTableSize, false);
    for (uint32_t code = kFirstTableCode; code < kTableSize; ++code) {
        if (!IsFree(code))
            hasChild[FParent[code]] = true;
    }
    for (uint32_t code = kFirstTableCode; code < kTableSize; ++code) {
        if (!IsFree(code) && !hasChild[code])
            FParent[code] = kFreeSlot;
    }
    FindFreeSlot(kFirstTableCode);
}

}  // namespace

TLegacyStatus Unshrink(TBitInput& input, TOutputWindow& output) {
    return TUnshrinker(input, output).Run();
}

}  // namespace archive::legacy
