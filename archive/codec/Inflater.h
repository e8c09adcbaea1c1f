// A table-driven inflater of our own for Deflate64 (and plain deflate): input is pulled, output pushed.
//
// Block loop:
//   header --type 0--> stored copy ----------------+
//          --type 1--> fixed codes --> symbols ----+--> last block? --no--> header
//          --type 2--> code lengths --> symbols ---+                --yes-> final flush
//          --type 3--> DataError
// The decoder never throws; every failure ends the run with a status and a static message.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "archive/codec/InflaterTables.h"
#include "archive/io/Chunk.h"

namespace archive {

enum TInflateStatus { isOk, isDataError, isWriteError, isCanceled };

struct TInflateResult {
    TInflateStatus Status = isOk;
    const char* Message = "";
};

class TInflater {
public:
    // Fills the buffer with the next compressed bytes; 0 at the end of the input.
    using TReadFn = std::function<int32_t(std::span<uint8_t> buffer)>;
    // Takes a run of decoded bytes (at most one window); returns how many were written.
    using TWriteFn = std::function<int32_t(std::span<const uint8_t> data)>;

    // `maxOutput`: the declared uncompressed size; decoding more than that is an error.
    TInflater(const TDeflateVariant& variant, TReadFn read, TWriteFn write, const bool& cancel, uint64_t maxOutput);
    TInflateResult Run();
    uint64_t TotalOut() const { return FTotalOut; }

private:
    // Bit input; past the end of input zero bits are supplied and the overrun is noted.
    void Need(int count);
    uint32_t Bits(int count);
    void Drop(int count);
    bool Overrun() const { return FOverrun; }
    uint8_t NextByte();

    // Output through the window.
    bool PutByte(uint8_t byte);
    bool CopyMatch(uint32_t distance, uint32_t length);
    bool FlushWindow();  // false once a window was not written whole

    TInflateResult Block(uint32_t type);
    TInflateResult StoredBlock();
    TInflateResult FixedBlock();
    TInflateResult DynamicBlock();
    TInflateResult ReadCodeLengths(std::span<uint8_t> lengths);
    TInflateResult Symbols(const THuffman& litLen, const THuffman& distance);
    bool Decode(const THuffman& code, int& symbol);

    const TDeflateVariant& FVariant;
    TReadFn FRead;
    TWriteFn FWrite;
    const bool& FCancel;
    uint64_t FMaxOutput;

    std::vector<uint8_t> FInput;
    size_t FInputPos = 0;
    size_t FInputFill = 0;
    bool FInputEnd = false;
    uint64_t FBitBuffer = 0;
    int FBitCount = 0;
    int FPadBits = 0;
    bool FOverrun = false;

    std::vector<uint8_t> FWindow;
    uint32_t FWindowPos = 0;
    uint64_t FTotalOut = 0;
    bool FWriteFailed = false;  // a flush was not written whole: decoding stops
};

}  // namespace archive
