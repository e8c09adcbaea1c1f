// Well-formed UTF-8 and the program's texts with a path or a name put in: the same on both systems.
#include <cstdint>

#include "platform/Platform.h"

namespace platform {

namespace {
// The range the byte after a lead byte must fall in (the tighter ranges exclude overlong forms, the
// surrogates and code points past U+10FFFF); the continuation bytes after it are 0x80..0xBF.
struct TLead {
    int Continuations;
    uint8_t Low, High;
};

TLead LeadOf(uint8_t c) {
    if (c >= 0xC2 && c <= 0xDF)
        return {1, 0x80, 0xBF};
    if (c == 0xE0)
        return {2, 0xA0, 0xBF};
    if (c == 0xED)
        return {2, 0x80, 0x9F};
    if (c >= 0xE1 && c <= 0xEF)
        return {2, 0x80, 0xBF};
    if (c == 0xF0)
        return {3, 0x90, 0xBF};
    if (c >= 0xF1 && c <= 0xF3)
        return {3, 0x80, 0xBF};
    if (c == 0xF4)
        return {3, 0x80, 0x8F};
    return {0, 0, 0};  // a continuation byte, an overlong lead (0xC0, 0xC1) or no lead at all (0xF5..0xFF)
}

bool IsAscii(const std::string& text) {
    for (const char c : text)
        if (static_cast<uint8_t>(c) >= 0x80)
            return false;
    return true;
}
}  // namespace

bool IsUtf8(const std::string& text) {
    for (size_t i = 0; i < text.size();) {
        const uint8_t c = static_cast<uint8_t>(text[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        const TLead lead = LeadOf(c);
        if (lead.Continuations == 0 || text.size() - i <= static_cast<size_t>(lead.Continuations))
            return false;
        const uint8_t second = static_cast<uint8_t>(text[i + 1]);
        if (second < lead.Low || second > lead.High)
            return false;
        for (int k = 2; k <= lead.Continuations; ++k)
            if ((static_cast<uint8_t>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += static_cast<size_t>(lead.Continuations) + 1;
    }
    return true;
}

// A malformed argument (a byte name on Linux) keeps the old 1251 text: in UTF-8 it would spoil the words too.
std::string ComposeText(const std::string& pattern1251, std::initializer_list<std::string> arguments) {
    bool wide = false, wellFormed = true;
    for (const std::string& argument : arguments) {
        wide = wide || !IsAscii(argument);
        wellFormed = wellFormed && IsUtf8(argument);
    }
    std::string text = wide && wellFormed ? Cp1251ToUtf8(pattern1251) : pattern1251;
    size_t from = 0;
    for (const std::string& argument : arguments) {
        const size_t at = text.find("%s", from);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, argument);
        from = at + argument.size();
    }
    return text;
}

}  // namespace platform
