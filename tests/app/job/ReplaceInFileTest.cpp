// In-place replacement checked against a one-offset-at-a-time reference on planted and random files.
#include <gtest/gtest.h>

#include <random>

#include "app/job/ReplaceInFile.h"
#include "framework/Exceptions.h"
#include "platform/Platform.h"
#include "tests/TestUtil.h"

namespace {

using testutil::TTempDir;

const std::string kCanvas = "javax/microedition/lcdui/Canvas";
const std::string kWide = "com/vidorurud/fullscreen/WideCv";

// The scan as first described: at each offset in turn, compare the window of the data as rewritten so far.
bool ReferenceReplace(std::string& data, const std::string& search, const std::string& replace) {
    bool found = false;
    const size_t size = data.size();
    for (size_t i = 0; search.size() <= size && i <= size - search.size(); ++i) {
        if (data.compare(i, search.size(), search) != 0)
            continue;
        if (data.size() < i + replace.size())
            data.resize(i + replace.size());
        data.replace(i, replace.size(), replace);
        found = true;
    }
    return found;
}

// Runs both on the same content and expects the same file and the same result.
void ExpectSameAsReference(const std::string& content, const std::string& search, const std::string& replace) {
    TTempDir dir;
    const std::string file = dir / "x.class";
    testutil::WriteFile(file, content);
    std::string expected = content;
    const bool expectedFound = ReferenceReplace(expected, search, replace);
    ASSERT_EQ(app::ReplaceInFile(file, search, replace) > 0, expectedFound)
        << "size " << content.size() << " search " << search;
    ASSERT_EQ(testutil::ReadText(file), expected) << "size " << content.size() << " search " << search;
}

std::string RandomText(size_t size, const std::string& alphabet, std::mt19937& rng) {
    std::string s(size, ' ');
    for (char& c : s)
        c = alphabet[rng() % alphabet.size()];
    return s;
}

TEST(ReplaceInFile, EdgeCasesOfTheJobTexts) {
    struct TCase {
        const char* What;
        std::string Content, Expected;
        int Count;
    };
    const TCase cases[] = {
        {"shorter than the search text", "javax/micro", "javax/micro", 0},
        {"empty file", "", "", 0},
        {"exactly the search text", kCanvas, kWide, 1},
        {"at offset 0", kCanvas + "tail", kWide + "tail", 1},
        {"ending at the last byte", "head" + kCanvas, "head" + kWide, 1},
        {"back to back", kCanvas + kCanvas, kWide + kWide, 2},
        {"no occurrence", "plain bytes\x01\x02", "plain bytes\x01\x02", 0},
        {"descriptor", "(Ljavax/microedition/lcdui/Canvas;)V", "(Lcom/vidorurud/fullscreen/WideCv;)V", 1},
        {"longer name", "javax/microedition/lcdui/CanvasEx", "com/vidorurud/fullscreen/WideCvEx", 1},
        {"other canvas", "javax/microedition/lcdui/game/GameCanvas", "javax/microedition/lcdui/game/GameCanvas", 0},
        {"one byte short at the end", kCanvas.substr(0, 30), kCanvas.substr(0, 30), 0},
    };
    for (const auto& c : cases) {
        TTempDir dir;
        const std::string file = dir / "A.class";
        testutil::WriteFile(file, c.Content);
        EXPECT_EQ(app::ReplaceInFile(file, kCanvas, kWide), c.Count) << c.What;
        EXPECT_EQ(testutil::ReadText(file), c.Expected) << c.What;
    }
}

// Windows found at one offset change what later, overlapping windows see.
TEST(ReplaceInFile, OverlappingMatchesAreJudgedOnRewrittenBytes) {
    const struct {
        std::string Content, Search, Replace;
    } cases[] = {
        {"aaaaaa", "aa", "ab"},                               // each write breaks the next window
        {"aaaaaa", "aa", "ba"},                               // each write makes the next window
        {"abababab", "aba", "bab"},                           // self-overlapping pattern
        {"abcabcabc", "abca", "xbca"}, {"aaaa", "aa", "aa"},  // replacing by itself still counts
    };
    for (const auto& c : cases)
        ExpectSameAsReference(c.Content, c.Search, c.Replace);
}

TEST(ReplaceInFile, ClassFileKeepsItsSizeAndEveryOtherByte) {
    std::mt19937 rng(7);
    std::string content = RandomText(5000, std::string("\0\x01\xCA\xFE/Lja;", 10), rng);
    for (size_t at : {0u, 100u, 131u, 4969u})
        content.replace(at, kCanvas.size(), kCanvas);
    ExpectSameAsReference(content, kCanvas, kWide);
}

// Matches planted on every side of each chunk boundary, with patterns that straddle the edges.
TEST(ReplaceInFile, MatchesAcrossChunkBoundaries) {
    const size_t chunk = app::kReplaceChunk;
    std::mt19937 rng(11);
    for (size_t size : {chunk - 1, chunk, chunk + 1, 2 * chunk + 17, 3 * chunk}) {
        std::string content = RandomText(size, "xyz", rng);
        for (size_t edge = chunk; edge < size + kCanvas.size(); edge += chunk) {
            for (size_t back = 0; back <= kCanvas.size() + 1; back += 5) {
                if (edge >= back && edge - back + kCanvas.size() <= size)
                    content.replace(edge - back, kCanvas.size(), kCanvas);
            }
        }
        content.replace(size - kCanvas.size(), kCanvas.size(), kCanvas);
        ExpectSameAsReference(content, kCanvas, kWide);
    }
}

TEST(ReplaceInFile, RandomFilesMatchTheReference) {
    std::mt19937 rng(2024);
    const size_t chunk = app::kReplaceChunk;
    for (int round = 0; round < 40; ++round) {
        const size_t size = round % 4 == 0 ? chunk + rng() % (chunk + 100) : rng() % 3000;
        const std::string alphabet = round % 2 ? "ab" : "abc";
        const size_t length = 1 + rng() % 5;
        const std::string search = RandomText(length, alphabet, rng);
        // Mostly equal lengths as the job uses; a few shorter or longer replacements too.
        const size_t replaceLength = round % 5 == 4 ? 1 + rng() % 6 : length;
        const std::string replace = RandomText(replaceLength, alphabet, rng);
        std::string content = RandomText(size, alphabet, rng);
        for (int plant = 0; plant < 20 && size > 2 * length; ++plant) {
            const size_t at = rng() % (size - 2 * length);
            content.replace(at, length, search);
            content.replace(at + length / 2 + 1, length, search);  // overlapping copy
        }
        ExpectSameAsReference(content, search, replace);
    }
}

TEST(ReplaceInFile, SearchLongerThanAChunkStillMatches) {
    std::mt19937 rng(3);
    const std::string search = RandomText(app::kReplaceChunk + 10, "pq", rng);
    const std::string replace = RandomText(search.size(), "rs", rng);
    ExpectSameAsReference("head" + search + "mid" + search, search, replace);
}

TEST(ReplaceInFile, EmptySearchTextFindsNothing) {
    TTempDir dir;
    testutil::WriteFile(dir / "a", "abc");
    EXPECT_EQ(app::ReplaceInFile(dir / "a", "", "zz"), 0);
    EXPECT_EQ(testutil::ReadText(dir / "a"), "abc");
}

std::string MessageOf(const std::string& file) {
    try {
        app::ReplaceInFile(file, kCanvas, kWide);
    } catch (const fw::EInOutError& e) {
        return e.Message();
    }
    return "no error";
}

TEST(ReplaceInFileFailure, MissingFileIsNotFoundAndNotCreated) {
    TTempDir dir;
    EXPECT_EQ(MessageOf(dir / "none.class"), "File not found");
    EXPECT_FALSE(testutil::Exists(dir / "none.class"));
    EXPECT_EQ(MessageOf(dir / "none/x.class"), "Invalid filename");  // a missing folder is code 3
}

TEST(ReplaceInFileFailure, FolderCannotBeOpened) {
    TTempDir dir;
    testutil::MakeDirs(dir / "sub.class");
    EXPECT_EQ(MessageOf(dir / "sub.class"), "File access denied");
}

// Wine running as root writes through the missing permission; Windows and our own layer refuse.
TEST(ReplaceInFileFailure, ReadOnlyFileIsAccessDeniedAndUnchanged) {
    if (testutil::UnderWine())
        GTEST_SKIP() << "Wine as root ignores the read-only attribute";
    TTempDir dir;
    const std::string file = dir / "ro.class";
    testutil::WriteFile(file, kCanvas);
    ASSERT_TRUE(platform::SetFileAttributes(file, platform::faReadOnly));
    EXPECT_EQ(MessageOf(file), "File access denied");
    EXPECT_EQ(testutil::ReadText(file), kCanvas);
}

TEST(ReplaceInFileFailure, FileHeldExclusivelyIsASharingViolation) {
    if (platform::PathDelim == '/')
        GTEST_SKIP() << "no sharing modes on POSIX";
    TTempDir dir;
    const std::string file = dir / "held.class";
    testutil::WriteFile(file, kCanvas);
    const platform::THandle h = platform::FileOpen(file, platform::fmOpenRead | platform::fmShareExclusive);
    ASSERT_NE(h, platform::kInvalidHandle);
    EXPECT_EQ(MessageOf(file), "I/O error 32");
    platform::FileClose(h);
    EXPECT_EQ(testutil::ReadText(file), kCanvas);
}

TEST(ReplaceInFile, OtherReadersMayKeepTheFileOpen) {
    TTempDir dir;
    const std::string file = dir / "shared.class";
    testutil::WriteFile(file, kCanvas);
    const platform::THandle h = platform::FileOpen(file, platform::fmOpenRead | platform::fmShareDenyNone);
    ASSERT_NE(h, platform::kInvalidHandle);
    EXPECT_GT(app::ReplaceInFile(file, kCanvas, kWide), 0);
    platform::FileClose(h);
    EXPECT_EQ(testutil::ReadText(file), kWide);
}

}  // namespace
