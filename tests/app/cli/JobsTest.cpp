// Several jars in one run: naming, summaries, paths from the caller's folder, the settings file.
#include <filesystem>
#include <map>
#include <regex>

#include "CliFixture.h"

namespace {

using clitest::TCommandLine;
using testutil::Quote;

std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    return names;
}

TEST_F(TCommandLine, EachJarGetsOneLineAndSeveralAClosingCountWhileVerboseShowsTheSteps) {
    const std::string a = MakeJar(FDir / "a.jar");
    const std::string b = MakeJar(FDir / "b.jar", clitest::TreeWithoutCanvas());
    clitest::TRun run = Run("-n a.jar b.jar missing.jar");
    EXPECT_EQ(run.Status, 1) << run.Err;
    EXPECT_EQ(run.Out,
              "a.jar: " + std::string(clitest::kSampleSummary) + "\n3 jars: 1 patched, 1 left unchanged, 1 failed\n");
    EXPECT_TRUE(clitest::HoldsPayload(a));
    EXPECT_FALSE(clitest::HoldsPayload(b));
    EXPECT_EQ(run.Err,
              "grandvue: b.jar: no screen of this game extends Canvas; left unchanged\n"
              "grandvue: missing.jar: no such file\n");

    // Quiet: the warnings only. Verbose: each jar's steps under its name.
    MakeJar(a);
    run = Run("-nq a.jar b.jar");
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "grandvue: b.jar: no screen of this game extends Canvas; left unchanged\n");
    MakeJar(a);
    run = Run("-nv a.jar b.jar");
    EXPECT_EQ(run.Out.rfind("a.jar:\nInitialising\n", 0), 0u) << run.Out;
    EXPECT_NE(run.Out.find("\n\nb.jar:\nInitialising\n"), std::string::npos) << run.Out;

    // One jar: its line and no count.
    MakeJar(a);
    run = Run("-n a.jar");
    EXPECT_EQ(run.Out, "a.jar: " + std::string(clitest::kSampleSummary) + "\n");
}

// On a terminal (made by script(1)) the progress line shows, and is cleared before every other line.
TEST_F(TCommandLine, AProgressLineShowsOnATerminalOnlyAndIsClearedBeforeOtherOutput) {
    const std::string jar = MakeJar(FDir / "game.jar");
    const auto onTerminal = [&](const std::string& args, const std::string& env = "") {
        std::string out;
        EXPECT_EQ(testutil::RunHost("script -qec " + Quote(Command(args, env)) + " /dev/null", &out), 0);
        return out;
    };
    std::string out = onTerminal("-nq game.jar");
    EXPECT_EQ(out, "");
    MakeJar(jar);  // a patched jar is left as it is: each run gets a fresh one
    // Not a terminal: nothing but the jar's line on stdout, nothing on stderr, no escape byte anywhere.
    const clitest::TRun run = Run("-n game.jar");
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(run.Out.find('%'), std::string::npos);
    EXPECT_EQ((run.Out + run.Err).find('\033'), std::string::npos);

    // A dumb terminal gets the plain carriage return only.
    MakeJar(jar);
    out = onTerminal("-n game.jar", "TERM=dumb");
    EXPECT_NE(out.find("\rgame.jar: "), std::string::npos) << out;
    EXPECT_EQ(out.find('\033'), std::string::npos) << out;

    MakeJar(jar);
    out = onTerminal("-nv game.jar", "TERM=xterm");
    EXPECT_NE(out.find("\r\033[Kgame.jar: "), std::string::npos) << out;
    // With every progress text and its clearing removed, the log is left as a terminal shows it.
    const std::string plain = std::regex_replace(out, std::regex("\r\033\\[K(game\\.jar: [0-9]+%)?"), "");
    EXPECT_EQ(plain.find('%'), std::string::npos) << plain;
    EXPECT_EQ(plain.rfind("Initialising\r\nExtracting files", 0), 0u) << plain;
}

// Nothing to patch: a warning even when quiet, and not a byte written.
TEST_F(TCommandLine, AJarWithNothingToPatchIsLeftUnchangedWithAWarning) {
    const std::string jar = MakeJar(FDir / "plain.jar", clitest::TreeWithoutCanvas());
    const testutil::Bytes before = testutil::ReadFile(jar);
    const clitest::TRun run = Run("-bq " + Quote(jar));
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Err, "grandvue: " + jar + ": no screen of this game extends Canvas; left unchanged\n");
    EXPECT_EQ(testutil::ReadFile(jar), before);
    EXPECT_FALSE(testutil::Exists(jar + ".bak"));
}

TEST_F(TCommandLine, TheSummaryCountsChangedClassesAndVerboseNamesEach) {
    const std::string jar = MakeJar(FDir / "game.jar");
    clitest::TRun run = Run("-nv " + Quote(jar), "LANG=en_US.UTF-8");
    EXPECT_EQ(run.Status, 0);
    for (const char* line :
         {"\n  game/Board.class: 3\n", "\n  game/Tail.class: 1\n", "\n  game/deep/er/Menu.CLASS: 4\n"})
        EXPECT_NE(run.Out.find(line), std::string::npos) << line << run.Out;
    EXPECT_NE(run.Out.find("\n" + jar + ": " + clitest::kSampleSummary + "\n"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find("WideCv.class:"), std::string::npos) << run.Out;

    // Patched before: its classes already name the full-screen canvas, so not a byte changes.
    const testutil::Bytes patched = testutil::ReadFile(jar);
    run = Run("-nq " + Quote(jar));
    EXPECT_EQ(run.Err, "grandvue: " + jar + ": already patched; left unchanged\n");
    EXPECT_EQ(testutil::ReadFile(jar), patched);

    const std::string other = MakeJar(FDir / "other.jar");
    run = Run("-n " + Quote(other), "LANG=ru_RU.UTF-8");
    EXPECT_EQ(run.Out, other + ": изменено файлов классов: 3, замен: 8\n");
}

// The jobs change the current folder; every name must still mean the file in the caller's folder, not
// a jar of the same name beside the program.
TEST_F(TCommandLine, RelativePathsAreTakenFromTheCallersFolderForEveryJar) {
    const jobtest::TTree decoy = {{"decoy.txt", {'d'}}};
    std::map<std::string, testutil::Bytes> decoys;
    for (const std::string name : {"a.jar", "b.jar", "c.jar"}) {
        decoys[name] = testutil::ReadFile(MakeJar(FDir / ("bin/" + name), decoy));
        MakeJar(FDir / ("games/" + name));
    }
    clitest::TRun run = Run("-n a.jar b.jar ../games/c.jar", "", FDir / "games");
    EXPECT_EQ(run.Status, 0) << run.Err;
    for (const auto& [name, bytes] : decoys) {
        EXPECT_TRUE(clitest::HoldsPayload(FDir / ("games/" + name)));
        EXPECT_EQ(testutil::ReadFile(FDir / ("bin/" + name)), bytes) << name;
    }

    // A pattern the shell expands: each jar in turn, again from the caller's folder.
    for (const char* name : {"d.jar", "e.jar"})
        MakeJar(FDir / ("more/" + std::string(name)));
    run = Run("-n *.jar", "", FDir / "more");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("d.jar: "), std::string::npos);
    EXPECT_NE(run.Out.find("e.jar: "), std::string::npos);
    EXPECT_TRUE(clitest::HoldsPayload(FDir / "more/d.jar"));
    EXPECT_TRUE(clitest::HoldsPayload(FDir / "more/e.jar"));
}

// A umask that takes the owner's own rights away must neither stop the job nor leave its files behind.
TEST_F(TCommandLine, AUmaskWithoutTheOwnersRightsStillPatchesAndLeavesNothingBeside) {
    testutil::MakeDirs(FDir / "mine");
    ASSERT_EQ(testutil::RunHost("chmod 777 " + Quote(FDir / "mine")), 0);
    for (const std::string umask : {"0277", "0222"}) {
        const std::string jar = MakeJar(FDir / "mine/game.jar");
        ASSERT_EQ(testutil::RunHost("chmod 666 " + Quote(jar)), 0);
        std::string out;
        const int status = testutil::RunHost(clitest::AsUnprivilegedUser() + "sh -c " +
                                                 Quote("umask " + umask + " && " + Command("-n -q mine/game.jar")),
                                             &out);
        EXPECT_EQ(status, 0) << umask;
        EXPECT_TRUE(clitest::HoldsPayload(jar)) << umask;
        EXPECT_EQ(Names(FDir / "mine"), std::vector<std::string>{"game.jar"}) << umask;
        EXPECT_EQ(Names(FDir / "tmp"), std::vector<std::string>{}) << umask;
        testutil::RunHost("rm -f " + Quote(jar));
    }
}

TEST_F(TCommandLine, ALinkToAJarHasTheJarPatchedAndStaysALink) {
    const std::string jar = MakeJar(FDir / "games/real.jar");
    ASSERT_EQ(testutil::RunHost("ln -s games/real.jar " + Quote(FDir / "link.jar")), 0);
    const clitest::TRun run = Run("-n link.jar");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(clitest::HoldsPayload(jar));
    EXPECT_TRUE(std::filesystem::is_symlink(FDir / "link.jar"));
}

TEST_F(TCommandLine, OptionsApplyToTheirRunAndTheSettingsAreWrittenOnlyWhenAsked) {
    const std::string jar = FDir / "game.jar";
    MakeJar(jar);
    EXPECT_EQ(Run("-b " + Quote(jar)).Status, 0);
    EXPECT_TRUE(testutil::Exists(jar + ".bak"));
    EXPECT_EQ(SettingsText(), "");

    // Asked: the run's choice is kept, and later runs without an option follow it.
    std::filesystem::remove(jar + ".bak");
    MakeJar(jar);  // a patched jar is left as it is: each run gets a fresh one
    EXPECT_EQ(Run("--save-settings -b " + Quote(jar)).Status, 0);
    EXPECT_NE(SettingsText().find("Backup=1"), std::string::npos) << SettingsText();
    std::filesystem::remove(jar + ".bak");
    MakeJar(jar);
    EXPECT_EQ(Run(Quote(jar)).Status, 0);
    EXPECT_TRUE(testutil::Exists(jar + ".bak"));

    // An option for one run leaves the kept choice alone.
    std::filesystem::remove(jar + ".bak");
    MakeJar(jar);
    EXPECT_EQ(Run("-n " + Quote(jar)).Status, 0);
    EXPECT_FALSE(testutil::Exists(jar + ".bak"));
    EXPECT_NE(SettingsText().find("Backup=1"), std::string::npos);

    // Without files: only the kept choice changes, and the run says what it kept.
    clitest::TRun run = Run("-n --save-settings");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "saved: later runs make no backup copy (" + (FDir / "config/grandvue/grandvue.ini") + ")\n");
    EXPECT_NE(SettingsText().find("Backup=0"), std::string::npos);
    // Nothing to keep: a usage error, and the kept choice stays.
    run = Run("--save-settings");
    EXPECT_EQ(run.Status, 2);
    EXPECT_NE(run.Err.find("--save-settings keeps -b or -n"), std::string::npos) << run.Err;
    EXPECT_NE(SettingsText().find("Backup=0"), std::string::npos);
}

TEST_F(TCommandLine, ASettingsFileThatCannotBeReadOrWrittenNeverStopsTheRun) {
    // A folder where the file should be: it can be neither read nor written.
    testutil::MakeDirs(FDir / "config/grandvue/grandvue.ini");
    testutil::MakeDirs(FDir / "bin/grandvue.ini");
    const std::string jar = MakeJar(FDir / "game.jar");
    const clitest::TRun run = Run("--save-settings -n " + Quote(jar));
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Err.find("grandvue: could not save the settings to "), std::string::npos) << run.Err;
    EXPECT_TRUE(clitest::HoldsPayload(jar));
}

}  // namespace
