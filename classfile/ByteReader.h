// Bounds-checked big-endian reads over a class file's bytes; a read past the end fails softly and sticks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace classfile {

// Big-endian value at `pos`; the caller has checked that the bytes are there.
inline uint16_t Get16(std::span<const uint8_t> bytes, size_t pos) {
    return static_cast<uint16_t>(bytes[pos] << 8 | bytes[pos + 1]);
}

inline uint32_t Get32(std::span<const uint8_t> bytes, size_t pos) {
    return static_cast<uint32_t>(bytes[pos]) << 24 | static_cast<uint32_t>(bytes[pos + 1]) << 16 |
           static_cast<uint32_t>(bytes[pos + 2]) << 8 | bytes[pos + 3];
}

inline void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

// A cursor over [pos, end): once a read would pass the end it returns zeros and Ok() stays false.
class TByteReader {
public:
    TByteReader(std::span<const uint8_t> bytes, size_t pos, size_t end) : FBytes(bytes), FPos(pos), FEnd(end) {}
    explicit TByteReader(std::span<const uint8_t> bytes) : TByteReader(bytes, 0, bytes.size()) {}

    bool Ok() const { return FOk; }
    size_t Pos() const { return FPos; }
    size_t Remaining() const { return FOk ? FEnd - FPos : 0; }
    std::span<const uint8_t> Bytes() const { return FBytes; }

    uint8_t U1() { return Has(1) ? FBytes[FPos++] : 0; }
    uint16_t U2() {
        if (!Has(2))
            return 0;
        FPos += 2;
        return Get16(FBytes, FPos - 2);
    }
    uint32_t U4() {
        if (!Has(4))
            return 0;
        FPos += 4;
        return Get32(FBytes, FPos - 4);
    }
    // Moves past `count` bytes; false (and stuck) when fewer remain.
    bool Skip(size_t count) {
        if (!Has(count))
            return false;
        FPos += count;
        return true;
    }

private:
    bool Has(size_t count) {
        if (FOk && FEnd - FPos >= count)
            return true;
        FOk = false;
        return false;
    }

    std::span<const uint8_t> FBytes;
    size_t FPos;
    size_t FEnd;
    bool FOk = true;
};

}  // namespace classfile
