// The command line's options and usage errors, each in a real run of the program.
#include <algorithm>
#include <filesystem>
#include <vector>

#include "CliFixture.h"

namespace {

using clitest::TCommandLine;
using testutil::Quote;

std::vector<std::string> Listing(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        names.push_back(entry.path());
    std::sort(names.begin(), names.end());
    return names;
}

TEST_F(TCommandLine, HelpAndVersionGoToStdoutAndSucceed) {
    for (const char* args : {"--help", "-h", "-h missing.jar", "-qh"}) {
        const clitest::TRun run = Run(args);
        EXPECT_EQ(run.Status, 0) << args;
        EXPECT_NE(run.Out.find("Usage: grandvue [OPTION]... FILE.jar..."), std::string::npos) << args;
        EXPECT_NE(run.Out.find("Exit status: 0 when every file was patched or needed nothing, 1 when at least\n"
                               "one failed, 2 on a usage"),
                  std::string::npos);
        EXPECT_EQ(run.Err, "");
    }
    for (const char* args : {"--version", "-V"}) {
        const clitest::TRun run = Run(args);
        EXPECT_EQ(run.Status, 0);
        EXPECT_EQ(run.Out, "grandvue (Oru Grandvue) 1.0\n") << args;
    }
}

TEST_F(TCommandLine, AUsageErrorNamesTheFaultExitsTwoAndTouchesNothing) {
    const std::string jar = MakeJar(FDir / "jars/game.jar");
    const testutil::Bytes before = testutil::ReadFile(jar);
    const std::string q = Quote(jar);
    struct TCase {
        std::string Args;
        std::string Says;
    };
    const TCase cases[] = {
        {"--frobnicate " + q, "grandvue: unknown option '--frobnicate'\n"},
        {"-b --backup=1 " + q, "grandvue: unknown option '--backup=1'\n"},
        {"-bx " + q, "grandvue: unknown option '-x'\n"},
        {q + " -Z", "grandvue: unknown option '-Z'\n"},
        {"''", "grandvue: an empty argument is not a file name\n"},
        {"-b " + q + " ''", "grandvue: an empty argument is not a file name\n"},
        {"--about " + q, "grandvue: --about takes no files\n"},
        {"", "grandvue: no file given\n"},
        {"-b -v", "grandvue: no file given\n"},
    };
    const std::vector<std::string> folders = Listing(FDir.Path());
    for (const TCase& c : cases) {
        const clitest::TRun run = Run(c.Args);
        EXPECT_EQ(run.Status, 2) << c.Args;
        EXPECT_EQ(run.Err, c.Says + "Try 'grandvue --help' for more information.\n") << c.Args;
        EXPECT_EQ(run.Out, "") << c.Args;
        EXPECT_EQ(testutil::ReadFile(jar), before) << c.Args;
        std::filesystem::remove(FDir / "stderr.txt");
        EXPECT_EQ(Listing(FDir.Path()), folders) << c.Args;
    }
}

TEST_F(TCommandLine, AboutPrintsTheProgramsTextsInTheUsersLanguage) {
    clitest::TRun run = Run("--about", "LANG=ru_RU.UTF-8");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "Oru Grandvue v1.0\nдля телефонов Motorola C650 и C380\nby Velkor grandvue@quillmere.example\n");
    run = Run("--about");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "Oru Grandvue v1.0\nfor Motorola C650 and C380 phones\nby Velkor grandvue@quillmere.example\n");
}

TEST_F(TCommandLine, LanguageFollowsTheFirstNonEmptyLocaleVariable) {
    const std::string jar = MakeJar(FDir / "game.jar");
    struct TCase {
        std::string Env;
        bool Russian;
    };
    const TCase cases[] = {
        {"LANG=ru_RU.UTF-8", true},
        {"LANG=ru", true},
        {"LANG=ru_UA.UTF-8", true},
        {"LC_MESSAGES=ru_RU.UTF-8 LANG=en_US.UTF-8", true},
        {"LC_ALL= LC_MESSAGES=ru_RU.UTF-8", true},
        {"LC_ALL=ru_RU.UTF-8 LANG=C", true},
        {"LC_ALL=C LANG=ru_RU.UTF-8", false},
        {"LC_ALL=en_GB.UTF-8 LC_MESSAGES=ru_RU.UTF-8", false},
        {"LANG=rue_UA", false},
        {"LANG=", false},
        {"LANG=de_DE.UTF-8", false},
    };
    for (const TCase& c : cases) {
        MakeJar(jar);  // a patched jar is left as it is: each run gets a fresh one
        clitest::TRun run = Run("-v " + Quote(jar), c.Env);
        EXPECT_EQ(run.Status, 0) << c.Env;
        // The job's log and the command line's own texts, both in UTF-8.
        EXPECT_EQ(run.Out.rfind(c.Russian ? "Инициализация\nИзвлечение файлов в временную директорию\n"
                                          : "Initialising\n"
                                            "Extracting files",
                                0),
                  0u)
            << c.Env << "\n"
            << run.Out;
        run = Run("missing.jar", c.Env);
        EXPECT_EQ(run.Err,
                  c.Russian ? "grandvue: missing.jar: файл не найден\n" : "grandvue: missing.jar: no such file\n")
            << c.Env;
        run = Run("--bogus", c.Env);
        EXPECT_NE(run.Err.find(c.Russian ? "неизвестный параметр '--bogus'" : "unknown option '--bogus'"),
                  std::string::npos)
            << c.Env;
    }
}

TEST_F(TCommandLine, BackupQuietAndVerboseOptionsWorkAloneAndBundled) {
    const std::string jar = MakeJar(FDir / "game.jar");
    // -b makes the copy of the jar as it was; -q prints nothing.
    const testutil::Bytes original = testutil::ReadFile(jar);
    clitest::TRun run = Run("-bq " + Quote(jar));
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(testutil::ReadFile(jar + ".bak"), original);
    EXPECT_TRUE(clitest::HoldsPayload(jar));

    // -n makes none; --quiet then --verbose: the last one counts.
    const std::string other = MakeJar(FDir / "other.jar", clitest::TreeWithoutCanvas());
    run = Run("-n --quiet --verbose " + Quote(other));
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("Initialising\n"), std::string::npos);
    EXPECT_FALSE(testutil::Exists(other + ".bak"));
    run = Run("--backup --no-backup -vq " + Quote(other));
    EXPECT_EQ(run.Out, "");
    EXPECT_FALSE(testutil::Exists(other + ".bak"));
}

TEST_F(TCommandLine, DoubleDashEndsTheOptions) {
    testutil::MakeDirs(FDir / "jars");
    MakeJar(FDir / "jars/-b.jar");
    MakeJar(FDir / "jars/--quiet.jar");
    const clitest::TRun run = Run("-n -- -b.jar --quiet.jar", "", FDir / "jars");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "-b.jar: " + std::string(clitest::kSampleSummary) + "\n--quiet.jar: " + clitest::kSampleSummary +
                           "\n2 jars: 2 patched, 0 left unchanged, 0 failed\n");
    EXPECT_TRUE(clitest::HoldsPayload(FDir / "jars/-b.jar"));
    EXPECT_TRUE(clitest::HoldsPayload(FDir / "jars/--quiet.jar"));
    EXPECT_FALSE(testutil::Exists(FDir / "jars/-b.jar.bak"));
}

}  // namespace
