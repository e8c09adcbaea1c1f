// UTF-8 names: every malformed sequence is refused on every system; valid text passes unchanged on POSIX.
#include <gtest/gtest.h>

#include "platform/Platform.h"
#include "platform/Utf8Names.h"

namespace {

struct TUtf8Case {
    const char* Bytes;
    const char* What;
};

// Each row is refused by Windows' strict conversion too, so both systems must agree.
const TUtf8Case kMalformed[] = {
    {"\x80", "a continuation byte alone"},
    {"a\xBFz", "a stray continuation byte inside ASCII"},
    {"\xC3", "a two-byte sequence cut at the end"},
    {"\xE2\x82", "a three-byte sequence cut at the end"},
    {"\xF0\x9F\x98", "a four-byte sequence cut at the end"},
    {"\xE2\x82z", "a three-byte sequence cut by ASCII"},
    {"\xC0\xAF", "an overlong slash in two bytes"},
    {"\xC1\xBF", "an overlong DEL in two bytes"},
    {"\xE0\x80\xAF", "an overlong slash in three bytes"},
    {"\xE0\x9F\xBF", "the largest overlong three-byte form"},
    {"\xF0\x80\x80\xAF", "an overlong slash in four bytes"},
    {"\xF0\x8F\xBF\xBF", "the largest overlong four-byte form"},
    {"\xED\xA0\x80", "the first high surrogate"},
    {"\xED\xBF\xBF", "the last low surrogate"},
    {"\xED\xA0\xBD\xED\xB8\x80", "a surrogate pair spelled as two sequences"},
    {"\xF4\x90\x80\x80", "the first value above U+10FFFF"},
    {"\xF7\xBF\xBF\xBF", "the largest value a four-byte lead can start"},
    {"\xF8\x88\x80\x80\x80", "a five-byte lead"},
    {"\xFC\x84\x80\x80\x80\x80", "a six-byte lead"},
    {"\xFE", "the byte FE"},
    {"\xFF", "the byte FF"},
    {"caf\xE9.class", "a Latin-1 name flagged as UTF-8"},
};

// Valid text, edges of each length included.
const TUtf8Case kValid[] = {
    {"", "nothing"},
    {"META-INF/MANIFEST.MF", "ASCII"},
    {"\x7F", "the largest one-byte value"},
    {"\xC2\x80", "the smallest two-byte value"},
    {"\xDF\xBF", "the largest two-byte value"},
    {"\xE0\xA0\x80", "the smallest three-byte value"},
    {"\xED\x9F\xBF", "the value just below the surrogates"},
    {"\xEE\x80\x80", "the value just above the surrogates"},
    {"\xEF\xBF\xBF", "the largest three-byte value"},
    {"\xF0\x90\x80\x80", "the smallest four-byte value"},
    {"\xF4\x8F\xBF\xBF", "U+10FFFF"},
    {"caf\xC3\xA9/\xE6\x97\xA5\xE6\x9C\xAC.class", "a name mixing lengths"},
};

TEST(PlatformUtf8Names, MalformedSequencesAreRefused) {
    for (const TUtf8Case& row : kMalformed)
        EXPECT_FALSE(platform::Utf8ToAnsi(row.Bytes).has_value()) << row.What;
}

TEST(PlatformUtf8Names, ValidTextPassesUnchangedWhereTheSystemSpeaksUtf8) {
    if (platform::PathDelim != '/')
        GTEST_SKIP() << "the ANSI code page holds only some of these characters";
    for (const TUtf8Case& row : kValid)
        EXPECT_EQ(platform::Utf8ToAnsi(row.Bytes), std::optional<std::string>(row.Bytes)) << row.What;
}

TEST(PlatformUtf8Names, AsciiPassesOnEverySystem) {
    EXPECT_EQ(platform::Utf8ToAnsi("a/b-c_d.class"), std::optional<std::string>("a/b-c_d.class"));
}

}  // namespace
