// Decoded-output buffer of the legacy decoders: history for back references, chunks to the writer. The
// engine's chunk size bounds the history too.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/codec/legacy/Legacy.h"
#include "archive/io/Chunk.h"

namespace archive::legacy {

class TOutputWindow {
public:
    TOutputWindow(int64_t size, const TLegacyWrite& write);
    TOutputWindow(const TOutputWindow&) = delete;
    TOutputWindow& operator=(const TOutputWindow&) = delete;

    // True once the declared size is reached or the writer refused a chunk; further output is dropped.
    bool Done() const { return FStopped || FProduced >= FSize; }
    void Put(uint8_t value);
    // Repeats `length` bytes starting `distance` bytes back; bytes before the start of the entry read as 0.
    void Copy(uint32_t distance, uint32_t length);
    // Hands the rest to the writer; false when the writer refused any chunk.
    bool Finish();

private:
    void Flush();

    const TLegacyWrite& FWrite;
    std::vector<uint8_t> FBuffer;
    uint32_t FPosition = 0;
    int64_t FProduced = 0;
    int64_t FSize;
    bool FStopped = false;
};

}  // namespace archive::legacy
