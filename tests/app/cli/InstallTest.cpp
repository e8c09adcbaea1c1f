// make install and make uninstall into a scratch prefix (program, manual page, bash completion), and the
// completion's candidates.
#include "CliFixture.h"

#include <vector>

namespace {

using clitest::TCommandLine;
using testutil::Quote;

std::string Make(const std::string& target, const std::string& prefix, const std::string& destdir = "") {
    return "make -s -C " + Quote(testutil::SourcePath("")) + " " + target + " PREFIX=" + Quote(prefix) +
           " DESTDIR=" + Quote(destdir) + " GRANDVUE=" + Quote(GV_GRANDVUE) + " >/dev/null";
}

const char kCompletionDir[] = "/share/bash-completion/completions/grandvue";

// What bash prints for `complete -p grandvue` once the completion file is sourced; empty when it fails.
std::string CompletionSpec(const std::string& file) {
    std::string out;
    testutil::RunHost("bash -c 'source \"$1\" && complete -p grandvue' _ " + Quote(file) + " 2>&1", &out);
    return out;
}

TEST_F(TCommandLine, InstallPutsAWorkingProgramItsManualPageAndItsCompletionUnderThePrefixAndUninstallRemovesThem) {
    const std::string prefix = FDir / "prefix";
    ASSERT_EQ(testutil::RunHost(Make("install", prefix)), 0);
    std::string out;
    EXPECT_EQ(testutil::RunHost(Quote(prefix + "/bin/grandvue") + " --version", &out), 0);
    EXPECT_EQ(out, "grandvue (Oru Grandvue) 1.0\n");
    const std::string page = prefix + "/share/man/man1/grandvue.1";
    ASSERT_TRUE(testutil::Exists(page));
    const std::string completion = prefix + kCompletionDir;
    EXPECT_EQ(CompletionSpec(completion), "complete -F _grandvue grandvue\n");
    if (testutil::HostHas("man")) {
        EXPECT_EQ(testutil::RunHost("MANWIDTH=80 man -l " + Quote(page) + " 2>&1", &out), 0);
        EXPECT_NE(out.find("grandvue - make J2ME games full-screen"), std::string::npos) << out;
        EXPECT_NE(out.find("EXIT STATUS"), std::string::npos);
    }
    // The installed program works on a jar from any folder.
    const std::string jar = MakeJar(FDir / "game.jar");
    EXPECT_EQ(testutil::RunHost("cd " + Quote(FDir.Path()) + " && TMPDIR=" + Quote(FDir / "tmp") + " XDG_CONFIG_HOME=" +
                                Quote(FDir / "config") + " " + Quote(prefix + "/bin/grandvue") + " -q game.jar"),
              0);
    jobtest::ExpectPatched(jar, jobtest::SampleTree());

    ASSERT_EQ(testutil::RunHost(Make("uninstall", prefix)), 0);
    EXPECT_FALSE(testutil::Exists(prefix + "/bin/grandvue"));
    EXPECT_FALSE(testutil::Exists(page));
    EXPECT_FALSE(testutil::Exists(completion));
}

TEST_F(TCommandLine, InstallHonoursDestdir) {
    const std::string stage = FDir / "stage";
    ASSERT_EQ(testutil::RunHost(Make("install", "/usr/local", stage)), 0);
    EXPECT_TRUE(testutil::Exists(stage + "/usr/local/bin/grandvue"));
    EXPECT_TRUE(testutil::Exists(stage + "/usr/local/share/man/man1/grandvue.1"));
    EXPECT_TRUE(testutil::Exists(stage + "/usr/local" + kCompletionDir));
    ASSERT_EQ(testutil::RunHost(Make("uninstall", "/usr/local", stage)), 0);
    EXPECT_FALSE(testutil::Exists(stage + "/usr/local/bin/grandvue"));
    EXPECT_FALSE(testutil::Exists(stage + "/usr/local/share/man/man1/grandvue.1"));
    EXPECT_FALSE(testutil::Exists(stage + "/usr/local" + kCompletionDir));
}

// The completion function's candidates, one per line in byte order, for the words of a command line whose
// last word is the one completed; run from `folder`.
std::string Candidates(const std::string& folder, const std::vector<std::string>& words) {
    std::string command = "cd " + Quote(folder) +
                          " && bash -c 'source \"$1\"; shift; COMP_WORDS=(\"$@\"); COMP_CWORD=$(($# - 1)); _grandvue; "
                          "printf \"%s\\n\" \"${COMPREPLY[@]}\" | LC_ALL=C sort' _ " +
                          Quote(testutil::SourcePath("completion/grandvue"));
    for (const std::string& word : words)
        command += " " + Quote(word);
    std::string out;
    EXPECT_EQ(testutil::RunHost(command, &out), 0) << command;
    return out;
}

TEST(BashCompletion, OffersOptionsJarsInAnyCaseFoldersAndEachOptionsValue) {
    testutil::TTempDir dir;
    for (const char* name : {"a.jar", "B.JAR", "c.txt", "c.jar.bak", "-x.jar", "lib/inner.jar"})
        testutil::WriteFile(dir / name, std::string());
    testutil::MakeDirs(dir / "jars.jar");
    const struct {
        std::vector<std::string> Words;
        const char* What;
        std::string Expected;
    } kCases[] = {
        {{"grandvue", "--ve"}, "a long option's prefix", "--verbose\n--version\n"},
        {{"grandvue", "-"},
         "every option",
         "--about\n--backup\n--directory\n--dry-run\n--force\n--help\n--list\n--no-backup\n--output\n--quiet\n"
         "--recursive\n--restore\n--save-settings\n--verbose\n--version\n"
         "-V\n-b\n-d\n-f\n-h\n-l\n-n\n-o\n-q\n-r\n-v\n"},
        {{"grandvue", ""}, "jars in any case and folders, once each", "-x.jar\nB.JAR\na.jar\njars.jar\nlib\n"},
        {{"grandvue", "-q", "B"}, "a jar's prefix after an option", "B.JAR\n"},
        {{"grandvue", "lib/"}, "inside a folder", "lib/inner.jar\n"},
        {{"grandvue", "--", "-"}, "a file after --, though it looks like an option", "-x.jar\n"},
        {{"grandvue", "-o", "c"}, "any file after -o", "c.jar.bak\nc.txt\n"},
        {{"grandvue", "--output", "=", "c"}, "any file after --output=", "c.jar.bak\nc.txt\n"},
        {{"grandvue", "--directory", "="}, "folders right after --directory=", "jars.jar\nlib\n"},
        {{"grandvue", "-bo", "c"}, "any file after a bundle ending in -o", "c.jar.bak\nc.txt\n"},
        {{"grandvue", "-d", ""}, "folders after -d", "jars.jar\nlib\n"},
        {{"grandvue", "--directory", ""}, "folders after --directory", "jars.jar\nlib\n"},
        {{"grandvue", "-r", "l"}, "folders after -r", "lib\n"},
        {{"grandvue", "--recursive", ""}, "folders after --recursive", "jars.jar\nlib\n"},
        {{"grandvue", "--dry-run", "a"}, "jars after an option without a value", "a.jar\n"},
    };
    for (const auto& c : kCases)
        EXPECT_EQ(Candidates(dir.Path(), c.Words), c.Expected) << c.What;
}

}  // namespace
