// Entry point of the decoders for the old ZIP compression methods 1 to 6 (shrink, reduce, implode).
#pragma once

#include <cstdint>
#include <functional>

namespace archive::legacy {

// How one entry's decoding ended. The reader maps lsBadBlock to "Bad block" (25116) and
// lsStackOverflow to "Stack overflow" (25305); lsDataError marks a damaged reduced or imploded
// stream (the partial output is written and the CRC check then fails); lsStopped means the
// writer refused a chunk and decoding ended there.
enum TLegacyStatus { lsOk, lsBadBlock, lsStackOverflow, lsDataError, lsStopped };

// Fills `buffer` with up to `count` bytes of the entry's compressed data; 0 (or less) at its end.
using TLegacyRead = std::function<int32_t(uint8_t* buffer, int32_t count)>;
// Takes one chunk of decoded data (at most 32 KiB); false stops decoding (write failure, cancel).
using TLegacyWrite = std::function<bool(const uint8_t* data, int32_t count)>;

// Compression method numbers of the local and central headers.
constexpr int kMethodShrunk = 1;
constexpr int kMethodReducedFirst = 2;  // reduced with compression factor 1
constexpr int kMethodReducedLast = 5;   // reduced with compression factor 4
constexpr int kMethodImploded = 6;

// General purpose flag bits of an imploded entry.
constexpr uint16_t kFlagImplode8K = 0x0002;        // 8 KiB dictionary instead of 4 KiB
constexpr uint16_t kFlagImplodeLiterals = 0x0004;  // literal tree present (three trees)

bool IsLegacyMethod(int method);

// Decodes one entry of a legacy method. Produces at most `uncompressedSize` bytes, reads only what
// `read` hands out, never throws on its own (exceptions of the callbacks pass through untouched).
TLegacyStatus DecodeLegacy(int method,
                           uint16_t generalFlags,
                           int64_t uncompressedSize,
                           const TLegacyRead& read,
                           const TLegacyWrite& write);

}  // namespace archive::legacy
