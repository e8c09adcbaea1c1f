// Decoded-output buffer of the legacy decoders: history for back references, 32 KiB chunks to the writer.
#pragma once

#include <cstdint>
#include <vector>

#include "archive/codec/legacy/Legacy.h"

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

    static constexpr uint32_t kChunkSize = 32768;  // the engine's chunk size; also bounds the history

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
