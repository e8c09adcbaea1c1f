// OEM/ANSI and Windows-1251 conversions: ASCII untouched, the high half round-trips.
#include <gtest/gtest.h>

#include "platform/Platform.h"

#ifdef _WIN32
#include "platform/win32/Win.h"
#endif

namespace {

std::string Range(int first, int last) {
    std::string s;
    for (int c = first; c <= last; ++c)
        s += static_cast<char>(c);
    return s;
}

TEST(PlatformCodePages, AsciiPassesUnchanged) {
    const std::string ascii = Range(0x20, 0x7E);
    EXPECT_EQ(platform::OemToAnsi(ascii), ascii);
    EXPECT_EQ(platform::AnsiToOem(ascii), ascii);
    EXPECT_EQ(platform::Cp1251ToUtf8(ascii), ascii);
    EXPECT_EQ(platform::Utf8ToCp1251(ascii), ascii);
    EXPECT_FALSE(platform::IsDBCSLeadByte('A'));
}

// The accented letters and signs of code page 437 exist in every Western ANSI code page and in UTF-8.
TEST(PlatformCodePages, OemLettersRoundTripThroughAnsi) {
    const std::string oem = Range(0x80, 0x9D) + Range(0xA0, 0xA8);
    const std::string ansi = platform::OemToAnsi(oem);
    EXPECT_NE(ansi, oem);
    EXPECT_EQ(platform::AnsiToOem(ansi), oem);
}

// Names inside the program are UTF-8 on both systems; the OEM byte is read in the system's OEM code page.
TEST(PlatformCodePages, OemLetterComesOutInUtf8) {
    const std::string utf8 = platform::OemToAnsi("\x81");
#ifdef _WIN32
    if (::GetOEMCP() == 866) {
        EXPECT_EQ(utf8, "\xD0\x91");  // capital be in code page 866
        return;
    }
#endif
    EXPECT_EQ(utf8, "\xC3\xBC");  // u with diaeresis in code page 437
}

TEST(PlatformCodePages, OemNamesRoundTripAndUnmappableLettersFallBack) {
    const std::string oem = Range(0x80, 0xFF);
    EXPECT_TRUE(platform::IsUtf8(platform::OemToAnsi(oem)));
    EXPECT_EQ(platform::AnsiToOem(platform::OemToAnsi(oem)), oem);
    EXPECT_EQ(platform::AnsiToOem("\xE6\x97\xA5").size(), 1u);  // one stand-in byte for a CJK character
}

TEST(PlatformCodePages, Cp1251RoundTripsThroughUtf8) {
    const std::string cyrillic = Range(0xC0, 0xFF) + "\xA8\xB8";
    const std::string utf8 = platform::Cp1251ToUtf8(cyrillic);
    EXPECT_EQ(utf8.size(), cyrillic.size() * 2);
    EXPECT_EQ(platform::Utf8ToCp1251(utf8), cyrillic);
    EXPECT_EQ(platform::Cp1251ToUtf8("\xCF\xF0\xE8"), "\xD0\x9F\xD1\x80\xD0\xB8");  // "При"
}

TEST(PlatformCodePages, UnmappableCharactersBecomeQuestionMarks) {
    EXPECT_EQ(platform::Utf8ToCp1251("a\xE2\x82\xAC"
                                     "b"),
              "a\x88"
              "b");                                          // the euro sign exists in 1251
    EXPECT_EQ(platform::Utf8ToCp1251("\xE4\xB8\xAD"), "?");  // a CJK character does not
}

}  // namespace
