// The engine's wildcard matcher: the mask language, case, the trailing-dot rule and bounded backtracking.
#include <gtest/gtest.h>

#include <string>

#include "archive/names/InternalMask.h"

using archive::TInternalMask;

namespace {
struct TMaskCase {
    const char* Mask;
    const char* Name;
    bool Expected;
    const char* What;
};

const TMaskCase kCases[] = {
    {"*", "anything.at.all", true, "a lone star matches every name"},
    {"*", "", true, "a lone star matches the empty name"},
    {"*.*", "README", false, "star-dot-star needs a dot in the name itself"},
    {"*.*", "a.b", true, "star-dot-star with a dot"},
    {"*.class", "A.CLASS", true, "literals match regardless of case"},
    {"*.CLASS", "Main.class", true, "upper-case mask, lower-case name"},
    {"*.", "README", true, "a mask ending in a dot matches names without one"},
    {"*.", "a.", true, "a mask ending in a dot matches a name ending in one"},
    {"*.", "a.txt", false, "a mask ending in a dot rejects an extension"},
    {"*?.txt", ".txt", true, "a question mark after a star adds nothing"},
    {"*?.txt", "x.txt", true, "a question mark after a star still allows one character"},
    {"?.txt", ".txt", false, "a question mark alone needs one character"},
    {"a?c", "abc", true, "question mark matches one character"},
    {"a?c", "ac", false, "question mark does not match nothing"},
    {"a*c", "abbbbc", true, "star in the middle"},
    {"a*c", "abbbbd", false, "star in the middle, wrong last letter"},
    {"a*", "a", true, "trailing star matches nothing"},
    {"abc", "abcd", false, "the name must be consumed completely"},
    {"*ab*ab", "xabyab", true, "backtracking over the last star"},
    {"*a*a*a*b", "aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaa", false, "many stars without a match"},
    {"com\\*\\*.class", "com\\x\\Y.class", true, "folders in masks are literal characters"},
};
}  // namespace

TEST(InternalMask, FollowsTheMaskLanguage) {
    for (const auto& c : kCases)
        EXPECT_EQ(TInternalMask(c.Mask).Matches(c.Name), c.Expected) << c.What << ": " << c.Mask << " vs " << c.Name;
}

TEST(InternalMask, StaysFastOnPathologicalMasks) {
    // An exponential matcher would not finish this within the test's lifetime.
    const std::string name(5000, 'a');
    EXPECT_FALSE(TInternalMask("*a*a*a*a*a*a*a*a*a*a*b").Matches(name));
    EXPECT_TRUE(TInternalMask("*a*a*a*a*a*a*a*a*a*a*").Matches(name));
}
