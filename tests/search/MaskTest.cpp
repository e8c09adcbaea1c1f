// Wildcard masks: matching, compile errors with their positions, the "*"-group limit, and a brute-force cross-check.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "search/Masks.h"

namespace search {
namespace {

struct TMatchCase {
    const char* Mask;
    const char* Name;
    bool Matches;
    const char* What;
};

const TMatchCase kMatchCases[] = {
    {"*.*", "README", false, "\"*.*\" needs a dot"},
    {"*.*", "a.b.c", true, "several dots"},
    {"*.*", ".profile", true, "leading dot"},
    {"*.CLASS", "Main.class", true, "ASCII letters fold"},
    {"*.class", "Main.classes", false, "trailing characters count"},
    {"*.class", "Main.clas", false, "name ends early"},
    {"*?.txt", ".txt", true, "\"?\" right after \"*\" is dropped"},
    {"*??x", "x", true, "every \"?\" after a pending \"*\" is dropped"},
    {"?*x", "x", false, "\"?\" before \"*\" still takes a character"},
    {"a?c", "ac", false, "\"?\" takes exactly one character"},
    {"a?c", "abc", true, "\"?\" takes one character"},
    {"a?", "a", false, "\"?\" at the end needs a character"},
    {"[a-c]*", "Beta", true, "range folds case"},
    {"[!a-c]*", "beta", false, "negated range"},
    {"[!a-c]*", "delta", true, "negated range lets others through"},
    {"[abc]", "", false, "a set needs a character"},
    {"x[a-c-e]", "XD", true, "range continues from the last bound"},
    {"[a-]]", "]", true, "range bound may be \"]\""},
    {"[z-a]", "Z", true, "backwards range keeps its first character"},
    {"[z-a]", "b", false, "backwards range adds nothing more"},
    {"*ab", "aab", true, "star retried after a false start"},
    {"*a*b", "xaxxbxb", true, "two stars"},
    {"a*b*c", "aXbYcZ", false, "anchored at the end"},
    {"*", "", true, "star matches nothing"},
    {"", "", true, "empty mask matches the empty name"},
    {"", "a", false, "empty mask matches nothing else"},
    {"a]", "A]", true, "lone \"]\" is a literal"},
    {"\xE0*", "\xC0\xE1", false, "Cyrillic letters keep their case"},  // "а*" against "Аб"
    {"\xE0*", "\xE0\xE1", true, "same Cyrillic letters match"},        // "а*" against "аб"
};

TEST(MaskMatches, FollowsTheTable) {
    for (const TMatchCase& c : kMatchCases)
        EXPECT_EQ(TMask(c.Mask).Matches(c.Name), c.Matches) << c.Mask << " vs " << c.Name << ": " << c.What;
}

TEST(MaskMatches, RetriesOnlyTheLatestStar) {
    const std::string name(200, 'a');
    EXPECT_FALSE(TMask("*a*a*a*a*a*a*a*a*b").Matches(name));
    EXPECT_TRUE(TMask("*a*a*a*a*a*a*a*a*").Matches(name));
}

struct TInvalidCase {
    const char* Mask;
    int Position;
};

const TInvalidCase kInvalidCases[] = {
    {"[]", 2}, {"[-a]", 2}, {"[abc", 5}, {"[!]", 3}, {"a[", 3}, {"[a-", 4}, {"x[!-a]", 4},
};

TEST(MaskCompile, RejectsInvalidMasksAtTheirPosition) {
    for (const TInvalidCase& c : kInvalidCases) {
        const std::string expected =
            std::string("'") + c.Mask + "' is an invalid mask at (" + std::to_string(c.Position) + ")";
        try {
            TMask mask(c.Mask);
            ADD_FAILURE() << c.Mask << " compiled";
        } catch (const EMaskException& e) {
            EXPECT_EQ(e.Message(), expected);
        }
    }
}

std::string Repeat(const std::string& piece, int count) {
    std::string s;
    for (int i = 0; i < count; ++i)
        s += piece;
    return s;
}

TEST(MaskCompile, AcceptsThirtyStarGroupsAndNoMore) {
    EXPECT_NO_THROW(TMask(Repeat("*a", 30)));
    EXPECT_NO_THROW(TMask(Repeat("a*", 30)));   // the last group is the end of the name
    EXPECT_NO_THROW(TMask(Repeat("**a", 30)));  // a run of stars is one group
    EXPECT_THROW(TMask(Repeat("*a", 31)), EMaskException);
    EXPECT_THROW(TMask(Repeat("a*", 31)), EMaskException);
    EXPECT_TRUE(TMask(Repeat("*a", 30)).Matches(Repeat("xa", 30)));
    EXPECT_FALSE(TMask(Repeat("*a", 30)).Matches(Repeat("xa", 29)));
}

// A plain recursive matcher of the same language, fine for short inputs.
bool Reference(const std::string& mask, size_t m, const std::string& name, size_t n) {
    auto up = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; };
    if (m == mask.size())
        return n == name.size();
    if (mask[m] == '*') {
        size_t next = m;
        while (next < mask.size() && (mask[next] == '*' || mask[next] == '?'))
            ++next;  // "?" after "*" dropped
        for (size_t k = n; k <= name.size(); ++k)
            if (Reference(mask, next, name, k))
                return true;
        return false;
    }
    if (n == name.size())
        return false;
    return (mask[m] == '?' || up(mask[m]) == up(name[n])) && Reference(mask, m + 1, name, n + 1);
}

TEST(MaskMatches, AgreesWithAPlainRecursiveMatcher) {
    std::mt19937 rng(7);
    const std::string maskChars = "ab*?A", nameChars = "abAB";
    for (int round = 0; round < 20000; ++round) {
        std::string mask, name;
        for (size_t i = rng() % 7; i > 0; --i)
            mask += maskChars[rng() % maskChars.size()];
        for (size_t i = rng() % 8; i > 0; --i)
            name += nameChars[rng() % nameChars.size()];
        ASSERT_EQ(TMask(mask).Matches(name), Reference(mask, 0, name, 0)) << mask << " vs " << name;
    }
}

}  // namespace
}  // namespace search
