// The test games in a verifying JVM: relinking each Canvas screen keeps a mixed game running with its menu
// full screen, where the byte substitution of the Canvas name breaks it.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "GameFixture.h"
#include "classfile/CanvasUse.h"
#include "classfile/RelinkCheck.h"
#include "classfile/SuperRelink.h"

namespace {

using testutil::Bytes;

constexpr std::string_view kCanvas = "javax/microedition/lcdui/Canvas";
constexpr std::string_view kWide = "com/vidorurud/fullscreen/WideCv";

bool IsClass(const std::string& name) {
    return name.size() > 6 && name.compare(name.size() - 6, 6, ".class") == 0;
}

class GamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!games::HaveJdk())
            GTEST_SKIP() << "no JDK";
        std::string log;
        ASSERT_TRUE(games::BuildGames(FDir.Path(), &log)) << log;
    }

    // The game's classes rewritten by `rewrite` (those it returns true for), with WideCv added, as `target`.
    template <typename TRewrite>
    void Patch(const std::string& game, const std::string& target, TRewrite rewrite) {
        const std::string jar = FDir / game;
        std::map<std::string, Bytes> entries;
        for (const std::string& name : games::EntryNames(jar)) {
            if (!IsClass(name))
                continue;
            Bytes bytes = games::ReadEntry(jar, name);
            if (rewrite(bytes))
                entries[name] = bytes;
        }
        entries[games::kWideCvEntry] = testutil::ReadFile(FDir / "WideCv.class");
        games::RewriteJar(jar, FDir / target, entries);
    }

    std::string Run(const std::string& jar, int expectedStatus) {
        std::string out;
        EXPECT_EQ(expectedStatus, games::RunGame(FDir.Path(), jar, &out)) << out;
        return out;
    }

    testutil::TTempDir FDir;
};

// Relinks a class that extends Canvas, checked by the proof; leaves every other class.
bool RelinkScreen(Bytes& bytes) {
    if (!classfile::Inspect(bytes, kCanvas).SuperIsCanvas)
        return false;
    std::vector<uint8_t> out;
    const classfile::TStatus status = classfile::RelinkSuper(bytes, kCanvas, kWide, out);
    EXPECT_TRUE(status.Ok()) << status.Reason;
    std::string why;
    EXPECT_TRUE(classfile::IsSuperRelinkOf(bytes, out, kCanvas, kWide, &why)) << why;
    bytes = std::move(out);
    return true;
}

TEST_F(GamesTest, UnpatchedGamesRunWithTheirOwnScreens) {
    EXPECT_EQ(
        "started games.canvasgame.BoardMIDlet\n"
        "screen Board super=javax.microedition.lcdui.Canvas fullscreen=false\n",
        Run("canvasgame.jar", 0));
    EXPECT_EQ(
        "started games.gamecanvasgame.LevelMIDlet\n"
        "screen Level super=javax.microedition.lcdui.game.GameCanvas fullscreen=false\n",
        Run("gamecanvasgame.jar", 0));
    EXPECT_EQ(
        "started games.mixedgame.MixedMIDlet\n"
        "screen Menu super=javax.microedition.lcdui.Canvas fullscreen=false\n"
        "screen Play super=javax.microedition.lcdui.game.GameCanvas fullscreen=false\n",
        Run("mixedgame.jar", 0));
}

TEST_F(GamesTest, InspectionTellsWhichClassesNameCanvasBeyondTheirSuperLink) {
    struct TExpect {
        const char* Entry;
        bool SuperIsCanvas;
        bool Beyond;
    };
    const std::vector<std::pair<std::string, std::vector<TExpect>>> jars = {
        {"canvasgame.jar",
         {{"games/canvasgame/Board.class", true, false}, {"games/canvasgame/BoardMIDlet.class", false, false}}},
        {"gamecanvasgame.jar",
         {{"games/gamecanvasgame/Level.class", false, false},
          {"games/gamecanvasgame/LevelMIDlet.class", false, false}}},
        {"mixedgame.jar",
         {{"games/mixedgame/Menu.class", true, false},
          {"games/mixedgame/Play.class", false, false},
          {"games/mixedgame/MixedMIDlet.class", false, true}}},
    };
    for (const auto& [jar, classes] : jars) {
        for (const TExpect& e : classes) {
            SCOPED_TRACE(e.Entry);
            const classfile::TClassInfo info = classfile::Inspect(games::ReadEntry(FDir / jar, e.Entry), kCanvas);
            ASSERT_TRUE(info.Parsed()) << info.Status.Reason;
            EXPECT_EQ(e.SuperIsCanvas, info.SuperIsCanvas);
            EXPECT_EQ(e.Beyond, info.BeyondSuperLink);
            if (jar == "gamecanvasgame.jar") {
                EXPECT_EQ(0u, info.RawOccurrences);
            }
        }
    }
    const classfile::TClassInfo midlet =
        classfile::Inspect(games::ReadEntry(FDir / "mixedgame.jar", "games/mixedgame/MixedMIDlet.class"), kCanvas);
    EXPECT_GT(midlet.Use.Descriptors, 0u);  // the field, the array and show(Canvas)
    EXPECT_GE(midlet.Use.Casts, 3u);        // anewarray, instanceof, checkcast
}

TEST_F(GamesTest, RelinkedMixedGameRunsWithItsMenuFullScreenAndPlayUnchanged) {
    Patch("mixedgame.jar", "mixed-relinked.jar", RelinkScreen);
    EXPECT_EQ(
        "started games.mixedgame.MixedMIDlet\n"
        "screen Menu super=com.vidorurud.fullscreen.WideCv fullscreen=true\n"
        "screen Play super=javax.microedition.lcdui.game.GameCanvas fullscreen=false\n",
        Run("mixed-relinked.jar", 0));
}

TEST_F(GamesTest, RelinkedCanvasGameRunsFullScreenThroughItsChainedConstructors) {
    Patch("canvasgame.jar", "canvas-relinked.jar", RelinkScreen);
    EXPECT_EQ(
        "started games.canvasgame.BoardMIDlet\n"
        "screen Board super=com.vidorurud.fullscreen.WideCv fullscreen=true\n",
        Run("canvas-relinked.jar", 0));
}

TEST_F(GamesTest, ByteSubstitutedMixedGameFails) {
    const std::string canvas(kCanvas);
    Patch("mixedgame.jar", "mixed-substituted.jar", [&canvas](Bytes& bytes) {
        bool changed = false;
        for (auto at = std::search(bytes.begin(), bytes.end(), canvas.begin(), canvas.end()); at != bytes.end();
             at = std::search(at, bytes.end(), canvas.begin(), canvas.end())) {
            at = std::copy(kWide.begin(), kWide.end(), at);
            changed = true;
        }
        return changed;
    });
    const std::string out = Run("mixed-substituted.jar", 1);
    EXPECT_NE(std::string::npos, out.find("error java.lang.ArrayStoreException")) << out;
}

}  // namespace
