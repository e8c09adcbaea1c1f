// The ways to run beside the plain patch: looking first, writing elsewhere, undoing, whole folders, a .jad named.
#include <algorithm>
#include <filesystem>

#include "CliFixture.h"

namespace {

using clitest::TCommandLine;
using testutil::Quote;

const char kJad[] = "MIDlet-Name: Game\nMIDlet-Jar-URL: game.jar\nMIDlet-Jar-Size: 1\nMIDlet-Jar-RSA-SHA1: c2ln\n";

// The widest line in characters (UTF-8 continuation bytes do not count).
size_t WidestLine(const std::string& text) {
    size_t widest = 0, width = 0;
    for (const char c : text) {
        width = c == '\n' ? 0 : width + ((static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0);
        widest = std::max(widest, width);
    }
    return widest;
}

TEST_F(TCommandLine, ADryRunListsWhatARunWouldDoAndLeavesEveryByte) {
    const std::string jar = MakeJar(FDir / "game.jar");
    testutil::WriteFile(FDir / "game.jad", std::string(kJad));
    const testutil::Bytes before = testutil::ReadFile(jar);
    for (const char* option : {"--dry-run", "-l", "--list"}) {
        const clitest::TRun run = Run(std::string(option) + " -b game.jar");
        EXPECT_EQ(run.Status, 0) << option << run.Err;
        EXPECT_EQ(run.Out.rfind("game.jar: would change 3 class files by full substitution", 0), 0u) << run.Out;
        for (const char* line :
             {"\n  game/Board.class: Canvas named 3 times\n", "\n  game/Tail.class: Canvas named 1 time\n",
              "\n  game.jad: gets the new MIDlet-Jar-Size\n",
              "\n  game.jad: loses its signature; the game installs unsigned\n",
              "\n  backup: game.jar.bak would be made\n"})
            EXPECT_NE(run.Out.find(line), std::string::npos) << line << run.Out;
        EXPECT_EQ(testutil::ReadFile(jar), before);
        EXPECT_EQ(testutil::ReadText(FDir / "game.jad"), kJad);
        EXPECT_FALSE(testutil::Exists(jar + ".bak"));
        EXPECT_TRUE(std::filesystem::is_empty(FDir / "tmp"));
    }
    // The same statuses as a run: a missing jar fails it.
    EXPECT_EQ(Run("-l game.jar missing.jar").Status, 1);

    // A jar carrying its own signature files is told that a run breaks them.
    jobtest::TTree signedTree = jobtest::SampleTree();
    signedTree["META-INF/GAME.SF"] = testutil::Bytes{0x53, 0x46};
    signedTree["META-INF/GAME.RSA"] = testutil::Bytes{0x30, 0x82};
    MakeJar(FDir / "signed.jar", signedTree);
    const clitest::TRun run = Run("-l signed.jar");
    EXPECT_NE(run.Out.find("\n  the jar's own signature would no longer hold\n"), std::string::npos) << run.Out;
    EXPECT_EQ(Run("-l game.jar").Out.find("signature would no longer hold"), std::string::npos);
}

TEST_F(TCommandLine, OutputAndDirectoryLeaveTheOriginalsAndWriteTheJadBesideTheOutput) {
    const std::string jar = MakeJar(FDir / "game.jar");
    testutil::WriteFile(FDir / "game.jad", std::string(kJad));
    const testutil::Bytes before = testutil::ReadFile(jar);
    testutil::MakeDirs(FDir / "out");

    clitest::TRun run = Run("-o out/full.jar game.jar");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(clitest::HoldsPayload(FDir / "out/full.jar"));
    const std::string jad = testutil::ReadText(FDir / "out/full.jad");
    EXPECT_NE(jad.find("MIDlet-Jar-URL: full.jar\n"), std::string::npos) << jad;
    EXPECT_NE(jad.find("MIDlet-Jar-Size: " + std::to_string(std::filesystem::file_size(FDir / "out/full.jar"))),
              std::string::npos)
        << jad;

    run = Run("-d out game.jar");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(clitest::HoldsPayload(FDir / "out/game.jar"));
    EXPECT_NE(testutil::ReadText(FDir / "out/game.jad").find("MIDlet-Jar-URL: game.jar\n"), std::string::npos);
    EXPECT_EQ(testutil::ReadFile(jar), before);
    EXPECT_EQ(testutil::ReadText(FDir / "game.jad"), kJad);

    // An existing output is replaced only with -f.
    const testutil::Bytes written = testutil::ReadFile(FDir / "out/game.jar");
    testutil::WriteFile(FDir / "out/game.jar", std::string("mine"));
    run = Run("-d out game.jar");
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("out/game.jar exists; -f replaces it; the file is unchanged"), std::string::npos) << run.Err;
    EXPECT_EQ(testutil::ReadText(FDir / "out/game.jar"), "mine");
    EXPECT_EQ(Run("-f -d out game.jar").Status, 0);
    EXPECT_TRUE(clitest::HoldsPayload(FDir / "out/game.jar"));
    EXPECT_EQ(Run("-o x.jar game.jar game.jar").Status, 2);
    // A folder named as the output file is no file to write, even with -f.
    run = Run("-f -o out game.jar");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "grandvue: game.jar: " + (FDir / "out") +
                           " is a folder; -d writes into a folder; the file is unchanged\n");
}

// Written elsewhere, a jar needs only to be read: its folder may be one the user cannot write (a shared or
// mounted folder), while an output folder that cannot be written is named as the one at fault.
TEST_F(TCommandLine, WritingElsewhereNeedsOnlyTheOutputsFolderToBeWritable) {
    const std::string jar = MakeJar(FDir / "shared/game.jar");
    testutil::WriteFile(FDir / "shared/game.jad", std::string(kJad));
    testutil::MakeDirs(FDir / "out");
    testutil::MakeDirs(FDir / "closed");
    ASSERT_EQ(testutil::RunHost("chmod 555 " + Quote(FDir / "shared") + " " + Quote(FDir / "closed") +
                                " && chmod 644 " + Quote(jar) + " && chmod 777 " + Quote(FDir / "out")),
              0);
    const testutil::Bytes before = testutil::ReadFile(jar);
    const auto runAsUser = [this](const std::string& args, std::string& err) {
        const int status =
            testutil::RunHost(clitest::AsUnprivilegedUser() + "sh -c " +
                              Quote(Command(args, "", FDir.Path()) + " 2>" + Quote(FDir / "tmp/err.txt")));
        err = testutil::ReadText(FDir / "tmp/err.txt");
        return status;
    };
    std::string err;
    EXPECT_EQ(runAsUser("-o out/full.jar shared/game.jar", err), 0) << err;
    EXPECT_TRUE(clitest::HoldsPayload(FDir / "out/full.jar"));
    EXPECT_NE(testutil::ReadText(FDir / "out/full.jad").find("MIDlet-Jar-URL: full.jar\n"), std::string::npos);
    EXPECT_EQ(runAsUser("-d out shared/game.jar", err), 0) << err;
    EXPECT_TRUE(clitest::HoldsPayload(FDir / "out/game.jar"));

    EXPECT_EQ(runAsUser("-d closed shared/game.jar", err), 1);
    EXPECT_EQ(err, "grandvue: shared/game.jar: the folder of " + (FDir / "closed/game.jar") +
                       " cannot be written; the file is unchanged\n");
    // In place, the jar's own folder is still the one that must take the new file.
    EXPECT_EQ(runAsUser("shared/game.jar", err), 1);
    EXPECT_NE(err.find("its folder cannot be written"), std::string::npos) << err;
    EXPECT_EQ(testutil::ReadFile(jar), before);
    EXPECT_EQ(testutil::ReadText(FDir / "shared/game.jad"), kJad);
    testutil::RunHost("chmod 755 " + Quote(FDir / "shared") + " " + Quote(FDir / "closed"));
}

TEST_F(TCommandLine, RestorePutsBothBackupsBackAndRefusesWithoutOne) {
    const std::string jar = MakeJar(FDir / "game.jar");
    testutil::WriteFile(FDir / "game.jad", std::string(kJad));
    const testutil::Bytes before = testutil::ReadFile(jar);
    ASSERT_EQ(Run("-b game.jar").Status, 0);
    ASSERT_NE(testutil::ReadText(FDir / "game.jad"), kJad);

    clitest::TRun run = Run("--restore game.jar");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(testutil::ReadFile(jar), before);
    EXPECT_EQ(testutil::ReadText(FDir / "game.jad"), kJad);
    EXPECT_FALSE(testutil::Exists(jar + ".bak"));
    EXPECT_FALSE(testutil::Exists(FDir / "game.jad.bak"));

    run = Run("--restore game.jar");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Err, "grandvue: game.jar: no backup game.jar.bak to restore; the file is unchanged\n");
    EXPECT_EQ(testutil::ReadFile(jar), before);
}

TEST_F(TCommandLine, RecursiveTakesEveryJarBelowInAnyCaseAndNeverABackup) {
    const std::string a = MakeJar(FDir / "games/a.jar");
    const std::string b = MakeJar(FDir / "games/sub/B.JAR");
    const std::string bak = MakeJar(FDir / "games/c.jar.bak");
    const testutil::Bytes kept = testutil::ReadFile(bak);
    testutil::MakeDirs(FDir / "elsewhere");
    const std::string outside = MakeJar(FDir / "elsewhere/d.jar");
    ASSERT_EQ(testutil::RunHost("ln -s ../elsewhere " + Quote(FDir / "games/link")), 0);
    // A link to a jar below is the jar itself: patched once, where it is first reached.
    ASSERT_EQ(testutil::RunHost("ln -s sub/B.JAR " + Quote(FDir / "games/z-link.jar")), 0);

    const clitest::TRun run = Run("-r games");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_TRUE(clitest::HoldsPayload(a));
    EXPECT_TRUE(clitest::HoldsPayload(b));
    EXPECT_EQ(testutil::ReadFile(bak), kept);
    EXPECT_FALSE(clitest::HoldsPayload(outside));
    EXPECT_EQ(run.Out, "games/a.jar: " + std::string(clitest::kSampleSummary) + "\ngames/sub/B.JAR: " +
                           clitest::kSampleSummary + "\n2 jars: 2 patched, 0 left unchanged, 0 failed\n");
}

TEST_F(TCommandLine, AnExistingBackupIsSaidToBeKeptAndALinksBackupIsNamed) {
    const std::string jar = MakeJar(FDir / "game.jar");
    testutil::WriteFile(jar + ".bak", std::string("junk"));
    clitest::TRun run = Run("-b game.jar");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Err.find("grandvue: game.jar: kept the existing game.jar.bak (from "), std::string::npos) << run.Err;
    EXPECT_NE(run.Err.find("); no new backup made\n"), std::string::npos) << run.Err;
    EXPECT_EQ(testutil::ReadText(jar + ".bak"), "junk");

    const std::string real = MakeJar(FDir / "games/real.jar");
    ASSERT_EQ(testutil::RunHost("ln -s games/real.jar " + Quote(FDir / "link.jar")), 0);
    run = Run("-b link.jar");
    EXPECT_NE(run.Out.find("link.jar: backup copy made at " + real + ".bak\n"), std::string::npos) << run.Out;
    EXPECT_TRUE(testutil::Exists(real + ".bak"));
}

TEST_F(TCommandLine, AJadNamedStandsForTheJarItNamesBesideIt) {
    const std::string jar = MakeJar(FDir / "game.jar");
    testutil::WriteFile(FDir / "game.jad", std::string(kJad));
    clitest::TRun run = Run("game.jad");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "game.jar: " + std::string(clitest::kSampleSummary) + "\n");
    EXPECT_TRUE(clitest::HoldsPayload(jar));

    testutil::WriteFile(FDir / "other.jad", std::string("MIDlet-Jar-URL: http://example.com/gone.jar\n"));
    run = Run("other.jad");
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(
        run.Err,
        "grandvue: other.jad: a .jad file; the jar it names (gone.jar) is not beside it; the file is unchanged\n");
}

TEST_F(TCommandLine, ConventionsOfGnuToolsHold) {
    const std::string jar = MakeJar(FDir / "game.jar");
    // A write error on stdout fails the run; a closed pipe does not (see the signal tests).
    EXPECT_EQ(Run("game.jar > /dev/full").Status, 1);
    // Long options by any unambiguous prefix.
    MakeJar(jar);
    const clitest::TRun run = Run("--verb --no-b game.jar");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_NE(run.Out.find("Initialising\n"), std::string::npos) << run.Out;
    EXPECT_EQ(Run("--ver game.jar").Status, 2);  // --verbose or --version
    // The help fits 80 columns in both languages.
    for (const char* env : {"", "LANG=ru_RU.UTF-8"}) {
        const std::string help = Run("--help", env).Out;
        EXPECT_LE(WidestLine(help), 80u) << env;
        EXPECT_GE(WidestLine(help), 70u) << env;
    }
    // The work folder's faults name the folder and the cause.
    const clitest::TRun noTemp = Run("game.jar", "TMPDIR=/nonexistent");
    EXPECT_EQ(noTemp.Err,
              "grandvue: game.jar: cannot create a work folder in /nonexistent ($TMPDIR): no such folder; "
              "the file is unchanged\n");
}

}  // namespace
