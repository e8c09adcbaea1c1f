// Table-driven CRC-32 (reflected polynomial 0xEDB88320) with the table built at compile time.
#include "archive/Crc32.h"

#include <array>

namespace archive {

namespace {
constexpr uint32_t kPolynomial = 0xEDB88320;  // reflected form of the ZIP polynomial

constexpr std::array<uint32_t, 256> MakeTable() {
    std::array<uint32_t, 256> table{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? kPolynomial ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<uint32_t, 256> kCrcTable = MakeTable();
}  // namespace

uint32_t UpdateCrc32(uint32_t crc, std::span<const uint8_t> data) {
    for (uint8_t byte : data)
        crc = kCrcTable[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t Crc32(std::span<const uint8_t> data) {
    return UpdateCrc32(kCrcInit, data) ^ kCrcInit;
}

bool CrcMatches(uint32_t stored, uint32_t finalCrc) {
    return stored == finalCrc || stored == (finalCrc ^ kCrcInit);
}

}  // namespace archive
