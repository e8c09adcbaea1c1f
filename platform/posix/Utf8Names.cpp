// UTF-8 names on POSIX: the system's "ANSI" is UTF-8 already, so valid bytes stay as they are.
#include "platform/Utf8Names.h"

#include <cstddef>
#include <cstdint>

namespace platform {

namespace {
// Limits of a scalar value (Unicode's UTF-8 table): the highest code point and the surrogate range.
constexpr uint32_t kMaxCodePoint = 0x10FFFF;
constexpr uint32_t kFirstSurrogate = 0xD800;
constexpr uint32_t kLastSurrogate = 0xDFFF;
// The smallest value each sequence length may carry; a smaller one is an overlong form.
constexpr uint32_t kMinOfLength[] = {0, 0, 0x80, 0x800, 0x10000};

// Bytes of the sequence a lead byte starts, or 0 for a byte that cannot lead.
size_t SequenceLength(uint8_t lead) {
    if (lead < 0x80)
        return 1;
    if ((lead & 0xE0) == 0xC0)
        return 2;
    if ((lead & 0xF0) == 0xE0)
        return 3;
    if ((lead & 0xF8) == 0xF0)
        return 4;
    return 0;
}

// The length of the valid sequence at `pos`, or 0 (truncated, stray continuation, overlong, surrogate, too high).
size_t ValidSequenceAt(const std::string& text, size_t pos) {
    const auto lead = static_cast<uint8_t>(text[pos]);
    const size_t length = SequenceLength(lead);
    if (length <= 1 || pos + length > text.size())
        return length == 1 ? 1 : 0;
    uint32_t value = lead & (0x7F >> length);
    for (size_t k = 1; k < length; ++k) {
        const auto next = static_cast<uint8_t>(text[pos + k]);
        if ((next & 0xC0) != 0x80)
            return 0;
        value = (value << 6) | (next & 0x3F);
    }
    const bool surrogate = value >= kFirstSurrogate && value <= kLastSurrogate;
    if (value < kMinOfLength[length] || surrogate || value > kMaxCodePoint)
        return 0;
    return length;
}

bool ValidUtf8(const std::string& text) {
    for (size_t pos = 0; pos < text.size();) {
        const size_t length = ValidSequenceAt(text, pos);
        if (length == 0)
            return false;
        pos += length;
    }
    return true;
}
}  // namespace

std::optional<std::string> Utf8ToAnsi(const std::string& text) {
    if (!ValidUtf8(text))
        return std::nullopt;
    return text;
}

std::string AnsiToUtf8(const std::string& text) {
    return text;
}

}  // namespace platform
