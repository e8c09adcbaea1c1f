// The job on real games, built by the JDK at test time and run in a verifying JVM before and after: what it
// does to the game, not only to the archive.
#include <gtest/gtest.h>

#include <string>

#include "GameFixture.h"
#include "JobFixture.h"
#include "app/job/JobReport.h"

namespace {

using jobtest::TJobRunner;
using testutil::Bytes;

class GameJob : public ::testing::Test {
protected:
    void SetUp() override {
        if (!games::HaveJdk())
            GTEST_SKIP() << "no JDK";
        std::string log;
        ASSERT_TRUE(games::BuildGames(FDir.Path(), &log)) << log;
        FRunner.Form().cbBackup.SetChecked(false);
    }

    // The game's lines in the JVM, after the job ran on it.
    std::string PatchAndRun(const std::string& jar) {
        FRunner.Run(FDir / jar);
        EXPECT_TRUE(FRunner.Errors().empty()) << jar << ": " << (FRunner.Errors().empty() ? "" : FRunner.Errors()[0]);
        std::string out;
        EXPECT_EQ(games::RunGame(FDir.Path(), jar, &out), 0) << out;
        return out;
    }

    testutil::TTempDir FDir;
    TJobRunner FRunner;
};

TEST_F(GameJob, CanvasScreensGoFullScreenWhateverTheJarIsCalledAndASecondRunChangesNoByte) {
    const Bytes game = testutil::ReadFile(FDir / "canvasgame.jar");
    for (const std::string name : {"canvasgame.zip", "canvasgame", "canvasgame.jar"}) {
        testutil::WriteFile(FDir / name, game);
        const std::string out = PatchAndRun(name);
        EXPECT_NE(out.find("super=com.vidorurud.fullscreen.WideCv fullscreen=true"), std::string::npos) << name << "\n"
                                                                                                        << out;
        EXPECT_EQ(FRunner.Form().LastReport().Outcome, app::TJobOutcome::joPatched) << name;
    }
    const Bytes patched = testutil::ReadFile(FDir / "canvasgame.jar");
    FRunner.Run(FDir / "canvasgame.jar");
    EXPECT_TRUE(FRunner.Errors().empty());
    EXPECT_EQ(FRunner.Form().LastReport().Outcome, app::TJobOutcome::joAlreadyPatched);
    EXPECT_EQ(testutil::ReadFile(FDir / "canvasgame.jar"), patched);
}

// The full substitution would put WideCv in every Canvas slot, where the GameCanvas screen no longer fits.
TEST_F(GameJob, AGameMixingCanvasAndGameCanvasScreensKeepsRunningWithItsCanvasScreenFullScreen) {
    const std::string out = PatchAndRun("mixedgame.jar");
    EXPECT_NE(out.find("screen Menu super=com.vidorurud.fullscreen.WideCv fullscreen=true"), std::string::npos) << out;
    EXPECT_NE(out.find("screen Play super=javax.microedition.lcdui.game.GameCanvas fullscreen=false"),
              std::string::npos)
        << out;
    const app::TJobReport& report = FRunner.Form().LastReport();
    EXPECT_EQ(report.Rule, app::TPatchRuleUsed::prSuperLink);
    EXPECT_EQ(report.OtherKind, "GameCanvas");
    EXPECT_EQ(report.ChangedClasses.size(), 1u);
}

// A signed game with nothing to patch keeps its jar and its .jad, signature and all, byte for byte.
TEST_F(GameJob, AGameCanvasOnlyGameAndItsSignedJadAreLeftByteForByte) {
    const std::string jad = FDir / "gamecanvasgame.jad";
    testutil::WriteFile(jad, std::string("MIDlet-Name: Game\r\nMIDlet-Jar-URL: gamecanvasgame.jar\r\n"
                                         "MIDlet-Jar-Size: 1\r\nMIDlet-Jar-RSA-SHA1: c2lnbmF0dXJl\r\n"
                                         "MIDlet-Certificate-1-1: Y2VydA==\r\n"));
    const Bytes jar = testutil::ReadFile(FDir / "gamecanvasgame.jar");
    const Bytes jadBytes = testutil::ReadFile(jad);
    FRunner.Form().cbBackup.SetChecked(true);
    FRunner.Run(FDir / "gamecanvasgame.jar");
    EXPECT_TRUE(FRunner.Errors().empty());
    EXPECT_EQ(FRunner.Form().LastReport().Outcome, app::TJobOutcome::joNoCanvas);
    EXPECT_EQ(FRunner.Form().LastReport().OtherKind, "GameCanvas");
    EXPECT_EQ(FRunner.Log().size(), 2u);
    EXPECT_EQ(testutil::ReadFile(FDir / "gamecanvasgame.jar"), jar);
    EXPECT_EQ(testutil::ReadFile(jad), jadBytes);
    EXPECT_FALSE(testutil::Exists(FDir / "gamecanvasgame.jar.bak"));
    EXPECT_FALSE(testutil::Exists(jad + ".bak"));
    std::string out;
    EXPECT_EQ(games::RunGame(FDir.Path(), "gamecanvasgame.jar", &out), 0) << out;
}

}  // namespace
