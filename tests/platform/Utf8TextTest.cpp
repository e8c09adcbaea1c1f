// Well-formed UTF-8 and the program's 1251 texts composed with UTF-8 paths and names.
#include <gtest/gtest.h>

#include "platform/Platform.h"

namespace {

TEST(PlatformIsUtf8, TellsWellFormedTextFromEveryMalformedKind) {
    const struct {
        std::string Text;
        bool Expected;
        const char* What;
    } kCases[] = {
        {"", true, "empty"},
        {"plain ascii", true, "ASCII"},
        {"M\xC3\xBCller", true, "two-byte form"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", true, "three-byte forms"},
        {"\xF0\x9F\x98\x80", true, "four-byte form"},
        {"\xEF\xBF\xBF\xF4\x8F\xBF\xBF", true, "highest code points"},
        {"\xCF\xF0\xE8", false, "Windows-1251 word"},
        {"\xC0\xAF", false, "overlong two-byte slash"},
        {"\xE0\x80\xAF", false, "overlong three-byte slash"},
        {"\xF0\x80\x80\xAF", false, "overlong four-byte slash"},
        {"\xED\xA0\x80", false, "surrogate"},
        {"\xF4\x90\x80\x80", false, "past U+10FFFF"},
        {"\xF5\x80\x80\x80", false, "no lead byte"},
        {"a\x80", false, "lone continuation"},
        {"\xC3", false, "cut two-byte form"},
        {"\xE6\x97", false, "cut three-byte form"},
        {"\xE6\x97\x41", false, "continuation missing"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(platform::IsUtf8(c.Text), c.Expected) << c.What;
}

// "Не удалось распаковать файл %s" and the same words in UTF-8.
const char kPattern1251[] =
    "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC \xF0\xE0\xF1\xEF\xE0\xEA\xEE\xE2\xE0\xF2\xFC "
    "\xF4\xE0\xE9\xEB %s";

TEST(PlatformComposeText, AsciiArgumentsKeepTheTextIn1251) {
    EXPECT_EQ(platform::ComposeText(kPattern1251, {"C:\\games\\snake.jar"}),
              std::string(kPattern1251, sizeof kPattern1251 - 3) + "C:\\games\\snake.jar");
    EXPECT_EQ(platform::ComposeText("%s (%s)", {"a", "b"}), "a (b)");
    EXPECT_EQ(platform::ComposeText("no place", {"a"}), "no place");
    EXPECT_EQ(platform::ComposeText("%s and %s", {"%s"}), "%s and %s");  // an argument is never searched
}

TEST(PlatformComposeText, AnArgumentBeyondAsciiTurnsTheWholeTextToUtf8) {
    const std::string path = "C:\\M\xC3\xBCller\\\xE6\x97\xA5\xE6\x9C\xAC.jar";
    const std::string text = platform::ComposeText(kPattern1251, {path});
    EXPECT_EQ(text, platform::Cp1251ToUtf8(std::string(kPattern1251, sizeof kPattern1251 - 3)) + path);
    EXPECT_TRUE(platform::IsUtf8(text));
    const std::string two = platform::ComposeText("\xFD\xEB\xE5\xEC\xE5\xED\xF2 %s, %s", {"a.jar", "\xC3\xBC"});
    EXPECT_EQ(two, "\xD1\x8D\xD0\xBB\xD0\xB5\xD0\xBC\xD0\xB5\xD0\xBD\xD1\x82 a.jar, \xC3\xBC");  // "элемент"
}

// A byte name that is no UTF-8 (possible on Linux) cannot be shown in UTF-8: the 1251 words stay readable.
TEST(PlatformComposeText, AMalformedArgumentKeepsThe1251Words) {
    EXPECT_EQ(platform::ComposeText("\xF4\xE0\xE9\xEB %s", {"\xFC.jar"}), "\xF4\xE0\xE9\xEB \xFC.jar");
}

}  // namespace
