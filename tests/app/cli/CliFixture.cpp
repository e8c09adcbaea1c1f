// The command-line fixture: the program's copy, its folders, and runs with stdout and stderr apart.
#include "CliFixture.h"

#include <unistd.h>

namespace clitest {

const char kSampleSummary[] = "3 class files changed, 8 occurrences replaced";

namespace {
// nobody/nogroup on Debian.
const char kUnprivileged[] = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
}  // namespace

bool IsRoot() {
    return geteuid() == 0;
}

std::string AsUnprivilegedUser() {
    return IsRoot() ? kUnprivileged : "";
}

bool HoldsPayload(const std::string& jar) {
    return testutil::RunHost("unzip -Z1 " + testutil::Quote(jar) +
                             " com/vidorurud/fullscreen/WideCv.class >/dev/null 2>&1") == 0;
}

jobtest::TTree TreeWithoutCanvas() {
    jobtest::TTree tree = jobtest::SampleTree();
    for (const char* name : {"game/Board.class", "game/deep/er/Menu.CLASS", "game/Tail.class"})
        tree.erase(name);
    return tree;
}

void TCommandLine::SetUp() {
    testutil::MakeDirs(FDir / "bin");
    testutil::MakeDirs(FDir / "config");
    testutil::MakeDirs(FDir / "tmp");
    ASSERT_EQ(testutil::RunHost("cp " + testutil::Quote(GV_GRANDVUE) + " " + testutil::Quote(Program())), 0);
    // Another user must reach the program and its folders.
    ASSERT_EQ(testutil::RunHost("chmod 755 " + testutil::Quote(FDir.Path()) + " && chmod 777 " +
                                testutil::Quote(FDir / "bin") + " " + testutil::Quote(FDir / "config") + " " +
                                testutil::Quote(FDir / "tmp")),
              0);
}

std::string TCommandLine::Command(const std::string& args, const std::string& env, const std::string& folder) {
    return "cd " + testutil::Quote(folder.empty() ? FDir.Path() : folder) +
           " && exec env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=C XDG_CONFIG_HOME=" +
           testutil::Quote(FDir / "config") + " TMPDIR=" + testutil::Quote(FDir / "tmp") + " " + env + " " +
           testutil::Quote(Program()) + " " + args;
}

TRun TCommandLine::Run(const std::string& args, const std::string& env, const std::string& folder) {
    const std::string errFile = FDir / "stderr.txt";
    TRun run;
    run.Status = testutil::RunHost(Command(args, env, folder) + " 2>" + testutil::Quote(errFile), &run.Out);
    run.Err = testutil::Exists(errFile) ? testutil::ReadText(errFile) : "";
    return run;
}

std::string TCommandLine::SettingsText() const {
    // The settings live under XDG_CONFIG_HOME; a program that still keeps them beside itself is found too.
    for (const std::string& path : {FDir / "config/grandvue/grandvue.ini", FDir / "bin/grandvue.ini"})
        if (testutil::Exists(path))
            return testutil::ReadText(path);
    return "";
}

std::string TCommandLine::MakeJar(const std::string& path, const jobtest::TTree& tree) {
    testutil::MakeDirs(path.substr(0, path.find_last_of('/')));
    EXPECT_TRUE(jobtest::PackWithPeer("zip", tree, path));
    return path;
}

}  // namespace clitest
