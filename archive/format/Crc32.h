// The CRC-32 of the ZIP format: one table-driven routine shared by the reader and the writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace archive {

// Initial value and final XOR of the ZIP CRC (ITU-T V.42 parameters).
constexpr uint32_t kCrcInit = 0xFFFFFFFF;

// Feeds `data` into a running CRC that started at kCrcInit; no final XOR.
uint32_t UpdateCrc32(uint32_t crc, std::span<const uint8_t> data);
// The finished CRC-32 of `data` (0 for no bytes).
uint32_t Crc32(std::span<const uint8_t> data);
// A stored CRC matches the running one when it equals the final value or the value before the final XOR.
bool CrcMatches(uint32_t stored, uint32_t finalCrc);

}  // namespace archive
