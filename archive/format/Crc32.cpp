// CRC-32 (reflected polynomial 0xEDB88320): on x86 processors with carry-less multiplication, whole
// 16-byte blocks are folded 64 bytes a step (the method of Intel's white paper "Fast CRC Computation for
// Generic Polynomials Using PCLMULQDQ"); elsewhere, and for the last bytes, tables built at compile time
// take sixteen bytes a step ("slicing by 16").
#include "archive/format/Crc32.h"

#include <array>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define GV_CRC_FOLDING 1
#endif

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

uint32_t UpdateCrc32Tables(uint32_t crc, std::span<const uint8_t> data) {
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

#ifdef GV_CRC_FOLDING
constexpr size_t kFoldStep = 64;   // four 16-byte lanes folded side by side
constexpr size_t kFoldBlock = 16;  // the unit of the folding

// The white paper's constants for the reflected polynomial: x^(4*128+32) and x^(4*128-32) mod P (four
// lanes on), x^(128+32) and x^(128-32) mod P (one lane on), x^64 mod P, then P and the Barrett quotient.
alignas(16) constexpr uint64_t kFold4[2] = {0x0154442bd4, 0x01c6e41596};
alignas(16) constexpr uint64_t kFold1[2] = {0x01751997d0, 0x00ccaa009e};
alignas(16) constexpr uint64_t kFold64[2] = {0x0163cd6124, 0};
alignas(16) constexpr uint64_t kBarrett[2] = {0x01db710641, 0x01f7011641};

__attribute__((target("pclmul,sse4.1"))) __m128i Fold(__m128i lane, __m128i constants, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(lane, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(high, low), next);
}

__m128i Load(const uint8_t* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

// `n` is a multiple of 16 and at least 64.
__attribute__((target("pclmul,sse4.1"))) uint32_t UpdateCrc32Folding(uint32_t crc, const uint8_t* p, size_t n) {
    __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load(p + 16), x3 = Load(p + 32), x4 = Load(p + 48);
    p += kFoldStep;
    n -= kFoldStep;
    const __m128i fold4 = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold4));
    for (; n >= kFoldStep; n -= kFoldStep, p += kFoldStep) {
        x1 = Fold(x1, fold4, Load(p));
        x2 = Fold(x2, fold4, Load(p + 16));
        x3 = Fold(x3, fold4, Load(p + 32));
        x4 = Fold(x4, fold4, Load(p + 48));
    }
    const __m128i fold1 = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
    x1 = Fold(x1, fold1, x2);
    x1 = Fold(x1, fold1, x3);
    x1 = Fold(x1, fold1, x4);
    for (; n >= kFoldBlock; n -= kFoldBlock, p += kFoldBlock)
        x1 = Fold(x1, fold1, Load(p));
    // 128 bits to 64, then Barrett's reduction to 32.
    const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, fold1, 0x10));
    const __m128i fold64 = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), fold64, 0x00), _mm_srli_si128(x1, 4));
    const __m128i barrett = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
    __m128i q = _mm_clmulepi64_si128(_mm_and_si128(x1, low32), barrett, 0x10);
    q = _mm_clmulepi64_si128(_mm_and_si128(q, low32), barrett, 0x00);
    return static_cast<uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, q), 1));
}

// Asked once; the processor model is read first, as a CRC may be needed before static constructors ran.
bool CanFold() {
    static const bool can = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    }();
    return can;
}
#endif
}  // namespace

uint32_t UpdateCrc32(uint32_t crc, std::span<const uint8_t> data) {
#ifdef GV_CRC_FOLDING
    if (data.size() >= kFoldStep && CanFold()) {
        const size_t folded = data.size() & ~(kFoldBlock - 1);
        crc = UpdateCrc32Folding(crc, data.data(), folded);
        data = data.subspan(folded);
    }
#endif
    return UpdateCrc32Tables(crc, data);
}

uint32_t Crc32(std::span<const uint8_t> data) {
    return UpdateCrc32(kCrcInit, data) ^ kCrcInit;
}

bool CrcMatches(uint32_t stored, uint32_t finalCrc) {
    return stored == finalCrc || stored == (finalCrc ^ kCrcInit);
}

}  // namespace archive
