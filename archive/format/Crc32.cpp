// Table-driven CRC-32 (reflected polynomial 0xEDB88320) with the tables built at compile time; sixteen
// bytes a step ("slicing by 16") so the CRC keeps pace with inflate and deflate.
#include "archive/format/Crc32.h"

#include <array>

namespace archive {

namespace {
constexpr uint32_t kPolynomial = 0xEDB88320;  // reflected form of the ZIP polynomial

constexpr int kSlices = 16;

// Table 0 is the classic byte table; table k advances a byte that lies k bytes further back.
constexpr std::array<std::array<uint32_t, 256>, kSlices> MakeTables() {
    std::array<std::array<uint32_t, 256>, kSlices> tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? kPolynomial ^ (c >> 1) : c >> 1;
        tables[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n)
        for (int k = 1; k < kSlices; ++k)
            tables[k][n] = tables[0][tables[k - 1][n] & 0xFF] ^ (tables[k - 1][n] >> 8);
    return tables;
}

constexpr auto kCrcTables = MakeTables();

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
}  // namespace

uint32_t UpdateCrc32(uint32_t crc, std::span<const uint8_t> data) {
    const uint8_t* p = data.data();
    size_t n = data.size();
    const auto& t = kCrcTables;
    for (; n >= kSlices; n -= kSlices, p += kSlices) {
        const uint32_t a = crc ^ LittleEndian32(p);
        const uint32_t b = LittleEndian32(p + 4);
        const uint32_t c = LittleEndian32(p + 8);
        const uint32_t d = LittleEndian32(p + 12);
        crc = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^ t[11][b & 0xFF] ^
              t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^
              t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24] ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^
              t[0][d >> 24];
    }
    for (; n > 0; --n, ++p)
        crc = t[0][(crc ^ *p) & 0xFF] ^ (crc >> 8);
    return crc;
}

uint32_t Crc32(std::span<const uint8_t> data) {
    return UpdateCrc32(kCrcInit, data) ^ kCrcInit;
}

bool CrcMatches(uint32_t stored, uint32_t finalCrc) {
    return stored == finalCrc || stored == (finalCrc ^ kCrcInit);
}

}  // namespace archive
