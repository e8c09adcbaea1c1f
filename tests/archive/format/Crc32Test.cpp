// CRC-32 of the ZIP format: check values, chunked feeding and the two accepted stored forms.
#include <gtest/gtest.h>
#include <zlib.h>

#include "archive/format/Crc32.h"
#include "tests/TestUtil.h"

using namespace archive;

namespace {
std::span<const uint8_t> Span(const std::string& s) {
    return {reinterpret_cast<const uint8_t*>(s.data()), s.size()};
}
}  // namespace

TEST(Crc32, MatchesTheStandardCheckValues) {
    EXPECT_EQ(Crc32(Span("")), 0u);
    EXPECT_EQ(Crc32(Span("123456789")), 0xCBF43926u);
    EXPECT_EQ(Crc32(Span("The quick brown fox jumps over the lazy dog")), 0x414FA339u);
}

TEST(Crc32, GivesTheSameValueWhenFedInPieces) {
    const auto data = testutil::RandomBytes(100000, 7);
    const uint32_t whole = Crc32(data);
    for (size_t piece : {size_t{1}, size_t{31}, size_t{32768}}) {
        uint32_t crc = kCrcInit;
        for (size_t pos = 0; pos < data.size(); pos += piece)
            crc = UpdateCrc32(crc, std::span(data).subspan(pos, std::min(piece, data.size() - pos)));
        EXPECT_EQ(crc ^ kCrcInit, whole) << "piece " << piece;
    }
}

TEST(Crc32, AcceptsTheStoredValueBeforeAndAfterTheFinalXor) {
    const uint32_t finalCrc = Crc32(Span("abc"));
    EXPECT_TRUE(CrcMatches(finalCrc, finalCrc));
    EXPECT_TRUE(CrcMatches(finalCrc ^ kCrcInit, finalCrc));
    EXPECT_FALSE(CrcMatches(finalCrc + 1, finalCrc));
}

namespace {
// zlib's own CRC-32 as the independent reference: every length up to well past the 64-byte folding step
// (and its 16-byte blocks) from every alignment, then long runs, fed whole and from a running value.
TEST(Crc32, AgreesWithZlibAtEveryLengthAndAlignment) {
    const auto data = testutil::RandomBytes(300000, 11);
    const auto zlibCrc = [](std::span<const uint8_t> piece) {
        return uint32_t(crc32(0, piece.data(), uInt(piece.size())));
    };
    for (size_t start = 0; start < 16; ++start)
        for (size_t len = 0; len <= 400; ++len) {
            const auto piece = std::span(data).subspan(start, len);
            ASSERT_EQ(Crc32(piece), zlibCrc(piece)) << start << "+" << len;
        }
    for (size_t len : {size_t{4096}, size_t{65535}, size_t{299999}}) {
        const auto piece = std::span(data).subspan(1, len);
        EXPECT_EQ(Crc32(piece), zlibCrc(piece)) << len;
        const uint32_t running = UpdateCrc32(UpdateCrc32(kCrcInit, piece.first(100)), piece.subspan(100));
        EXPECT_EQ(running ^ kCrcInit, zlibCrc(piece)) << len;
    }
}
}  // namespace
