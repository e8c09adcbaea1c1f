// The reader's method dispatch: one decoder per compression method, all writing through the chunk writer.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "archive/read/ReadContext.h"
#include "framework/Streams.h"

namespace archive {

// What a decoder gets for one entry.
struct TDecodeJob {
    fw::TStream& Source;  // at the entry's first data byte
    uint16_t Method;
    uint16_t Flags;  // general purpose flags (some methods read their options there)
    uint64_t CompressedSize;
    uint64_t UncompressedSize;
    const bool& Cancel;
    // The chunk writer: writes, updates the running CRC, reports progress; returns the bytes written.
    std::function<int32_t(std::span<const uint8_t>)> Write;
    // The fatal error path (raises E_RAISE unless the cancel flag is set).
    std::function<void(int32_t code)> Fatal;
    // Lets the application process its messages during a long decode.
    std::function<void()> ProcessMessages;
    TReadContext& Context;  // the run's buffers and engines
    // Method 8: the entry's bytes, inflated whole ahead of time; null when the decoder inflates them itself.
    const std::vector<uint8_t>* Inflated = nullptr;
};

using TDecoder = void (*)(TDecodeJob& job);

// The decoder of a compression method; null when the method has none.
TDecoder FindDecoder(uint16_t method);

void DecodeStored(TDecodeJob& job);
void DecodeDeflate(TDecodeJob& job);
void DecodeDeflate64(TDecodeJob& job);
void DecodeLegacy(TDecodeJob& job);  // methods 1 to 6

}  // namespace archive
