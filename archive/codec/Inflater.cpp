// Block decoding of the inflater: stored, fixed and dynamic blocks through one symbol loop.
#include "archive/codec/Inflater.h"

#include <algorithm>
#include <array>

namespace archive {

namespace {
constexpr int kCodeLengthCodes = 19;
// The order in which the code-length code lengths are sent (RFC 1951, 3.2.7).
constexpr std::array<uint8_t, kCodeLengthCodes> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                                    11, 4,  12, 3, 13, 2, 14, 1, 15};
constexpr int kEndOfBlock = 256;
constexpr int kFirstLengthSymbol = 257;
constexpr int kMaxLitLenCodes = 286;  // symbols 286 and 287 never occur in a valid stream

TInflateResult Fail(const char* message) {
    return {isDataError, message};
}

// The codes of fixed-code blocks, built once.
struct TFixedCodes {
    THuffman LitLen, Distance;
    TFixedCodes() {
        std::array<uint8_t, kMaxLitLenSymbols> lit{};
        std::fill(lit.begin(), lit.begin() + 144, 8);
        std::fill(lit.begin() + 144, lit.begin() + 256, 9);
        std::fill(lit.begin() + 256, lit.begin() + 280, 7);
        std::fill(lit.begin() + 280, lit.end(), 8);
        LitLen.Build(lit);
        std::array<uint8_t, kMaxDistanceCodes> dist{};
        dist.fill(5);
        Distance.Build(dist);
    }
};

// An incomplete code is acceptable only as a single one-bit code (or no code at all).
bool Usable(THuffman::TBuildResult result, const THuffman& code) {
    if (result == THuffman::brOverSubscribed)
        return false;
    return result == THuffman::brComplete || code.MaxLength() <= 1;
}
}  // namespace

TInflater::TInflater(const TDeflateVariant& variant,
                     TReadFn read,
                     TWriteFn write,
                     const bool& cancel,
                     uint64_t maxOutput)
    : FVariant(variant),
      FRead(std::move(read)),
      FWrite(std::move(write)),
      FCancel(cancel),
      FMaxOutput(maxOutput),
      FInput(kChunkSize),  // one read of compressed data
      FWindow(variant.WindowSize) {}

uint8_t TInflater::NextByte() {
    if (FInputPos == FInputFill && !FInputEnd) {
        const int32_t n = FRead(FInput);
        FInputPos = 0;
        FInputFill = n > 0 ? static_cast<size_t>(n) : 0;
        FInputEnd = FInputFill == 0;
    }
    if (FInputPos < FInputFill)
        return FInput[FInputPos++];
    FPadBits += 8;
    return 0;
}

void TInflater::Need(int count) {
    while (FBitCount < count) {
        FBitBuffer |= static_cast<uint64_t>(NextByte()) << FBitCount;
        FBitCount += 8;
    }
}

void TInflater::Drop(int count) {
    FBitBuffer >>= count;
    FBitCount -= count;
    if (FBitCount < FPadBits) {
        FOverrun = true;
        FPadBits = FBitCount;
    }
}

uint32_t TInflater::Bits(int count) {
    if (count == 0)
        return 0;
    Need(count);
    const auto value = static_cast<uint32_t>(FBitBuffer & ((uint64_t{1} << count) - 1));
    Drop(count);
    return value;
}

// A window the writer did not take whole is a lost output: decoding stops as after a refused write.
bool TInflater::FlushWindow() {
    if (FWindowPos == 0)
        return true;
    const auto written = FWrite(std::span<const uint8_t>(FWindow.data(), FWindowPos));
    if (written != static_cast<int32_t>(FWindowPos))
        FWriteFailed = true;
    FWindowPos = 0;
    return !FWriteFailed;
}

bool TInflater::PutByte(uint8_t byte) {
    if (FTotalOut >= FMaxOutput || FWriteFailed)
        return false;
    FWindow[FWindowPos++] = byte;
    ++FTotalOut;
    return FWindowPos < FWindow.size() || FlushWindow();
}

bool TInflater::CopyMatch(uint32_t distance, uint32_t length) {
    const auto size = static_cast<uint32_t>(FWindow.size());
    for (uint32_t i = 0; i < length; ++i) {
        const uint32_t from = (FWindowPos + size - distance) % size;
        if (!PutByte(FWindow[from]))
            return false;
    }
    return true;
}

bool TInflater::Decode(const THuffman& code, int& symbol) {
    Need(kMaxCodeBits);
    const auto bits = static_cast<uint32_t>(FBitBuffer);
    const auto& fast = code.Fast(bits);
    int length = fast.Length;
    symbol = fast.Symbol;
    if (length == 0 && !code.DecodeSlow(bits, symbol, length))
        return false;
    Drop(length);
    return !FOverrun;
}

TInflateResult TInflater::Symbols(const THuffman& litLen, const THuffman& distance) {
    for (;;) {
        int symbol;
        if (!Decode(litLen, symbol))
            return Fail(FOverrun ? "unexpected end of data" : "invalid literal/length code");
        if (symbol < kEndOfBlock) {
            if (!PutByte(static_cast<uint8_t>(symbol)))
                return Fail("more data than declared");
            continue;
        }
        if (symbol == kEndOfBlock)
            return {};
        const int index = symbol - kFirstLengthSymbol;
        if (index >= kLengthCodes)
            return Fail("invalid literal/length code");
        const uint32_t length = FVariant.LengthBase[index] + Bits(FVariant.LengthExtra[index]);
        int distSymbol;
        if (!Decode(distance, distSymbol) || distSymbol >= FVariant.DistanceCodes)
            return Fail(FOverrun ? "unexpected end of data" : "invalid distance code");
        const uint32_t dist = FVariant.DistanceBase[distSymbol] + Bits(FVariant.DistanceExtra[distSymbol]);
        if (FOverrun)
            return Fail("unexpected end of data");
        if (dist > FTotalOut)
            return Fail("invalid distance too far back");
        if (!CopyMatch(dist, length))
            return Fail("more data than declared");
    }
}

TInflateResult TInflater::StoredBlock() {
    Drop(FBitCount % 8);
    const uint32_t len = Bits(16);
    const uint32_t nlen = Bits(16);
    if (FOverrun)
        return Fail("unexpected end of data");
    if (len != (~nlen & 0xFFFF))
        return Fail("invalid stored block lengths");
    for (uint32_t i = 0; i < len; ++i) {
        const auto byte = static_cast<uint8_t>(Bits(8));
        if (FOverrun)
            return Fail("unexpected end of data");
        if (!PutByte(byte))
            return Fail("more data than declared");
    }
    return {};
}

TInflateResult TInflater::FixedBlock() {
    static const TFixedCodes fixed;
    return Symbols(fixed.LitLen, fixed.Distance);
}

TInflateResult TInflater::ReadCodeLengths(std::span<uint8_t> lengths) {
    const auto hlit = static_cast<size_t>(Bits(5) + kFirstLengthSymbol);
    const auto hdist = static_cast<size_t>(Bits(5) + 1);
    const auto hclen = static_cast<size_t>(Bits(4) + 4);
    if (hlit > kMaxLitLenCodes || hdist > static_cast<size_t>(FVariant.DistanceCodes))
        return Fail("too many length or distance symbols");
    std::array<uint8_t, kCodeLengthCodes> clLengths{};
    for (size_t i = 0; i < hclen; ++i)
        clLengths[kCodeLengthOrder[i]] = static_cast<uint8_t>(Bits(3));
    THuffman clCode;
    if (clCode.Build(clLengths) != THuffman::brComplete)
        return Fail("invalid code lengths set");
    std::fill(lengths.begin(), lengths.end(), 0);
    size_t n = 0;
    while (n < hlit + hdist) {
        int symbol;
        // The code-length code is complete, so every bit string decodes: only running out of input fails.
        if (!Decode(clCode, symbol))
            return Fail("unexpected end of data");
        if (symbol < 16) {
            lengths[n++] = static_cast<uint8_t>(symbol);
            continue;
        }
        uint8_t value = 0;
        size_t repeat;
        if (symbol == 16) {
            if (n == 0)
                return Fail("invalid bit length repeat");
            value = lengths[n - 1];
            repeat = 3 + Bits(2);
        } else if (symbol == 17) {
            repeat = 3 + Bits(3);
        } else {
            repeat = 11 + Bits(7);
        }
        if (n + repeat > hlit + hdist)
            return Fail("invalid bit length repeat");
        while (repeat--)
            lengths[n++] = value;
    }
    if (FOverrun)
        return Fail("unexpected end of data");
    // Distance lengths move to their own place after the literal/length ones.
    std::copy_backward(lengths.begin() + static_cast<long>(hlit), lengths.begin() + static_cast<long>(hlit + hdist),
                       lengths.begin() + kMaxLitLenSymbols + static_cast<long>(hdist));
    std::fill(lengths.begin() + static_cast<long>(hlit), lengths.begin() + kMaxLitLenSymbols, 0);
    if (lengths[kEndOfBlock] == 0)
        return Fail("invalid code -- missing end-of-block");
    return {};
}

TInflateResult TInflater::DynamicBlock() {
    std::array<uint8_t, kMaxLitLenSymbols + kMaxDistanceCodes> lengths{};
    if (auto r = ReadCodeLengths(lengths); r.Status != isOk)
        return r;
    THuffman litLen, distance;
    const auto litSpan = std::span<const uint8_t>(lengths).first(kMaxLitLenSymbols);
    const auto distSpan = std::span<const uint8_t>(lengths).subspan(kMaxLitLenSymbols);
    if (!Usable(litLen.Build(litSpan), litLen))
        return Fail("invalid literal/lengths set");
    if (!Usable(distance.Build(distSpan), distance))
        return Fail("invalid distances set");
    return Symbols(litLen, distance);
}

TInflateResult TInflater::Block(uint32_t type) {
    switch (type) {
        case 0:
            return StoredBlock();
        case 1:
            return FixedBlock();
        case 2:
            return DynamicBlock();
        default:
            return Fail("invalid block type");
    }
}

TInflateResult TInflater::Run() {
    const TInflateResult writeError{isWriteError, "output not written"};
    TInflateResult result;
    for (bool last = false; !last && result.Status == isOk;) {
        if (FCancel)
            return {isCanceled, "canceled"};
        last = Bits(1) != 0;
        result = Block(Bits(2));
        if (FWriteFailed)
            return writeError;
        // Defensive: every block checks its own input, but a block that missed it must not pass padding as data.
        if (result.Status == isOk && FOverrun)
            result = Fail("unexpected end of data");
    }
    // What was decoded before an error stays in the output.
    return FlushWindow() ? result : writeError;
}

}  // namespace archive
