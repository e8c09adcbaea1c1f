// make install and make uninstall into a scratch prefix, with the program and its manual page.
#include "CliFixture.h"

namespace {

using clitest::TCommandLine;
using testutil::Quote;

std::string Make(const std::string& target, const std::string& prefix, const std::string& destdir = "") {
    return "make -s -C " + Quote(testutil::SourcePath("")) + " " + target + " PREFIX=" + Quote(prefix) +
           " DESTDIR=" + Quote(destdir) + " GRANDVUE=" + Quote(GV_GRANDVUE) + " >/dev/null";
}

TEST_F(TCommandLine, InstallPutsAWorkingProgramAndItsManualPageUnderThePrefixAndUninstallRemovesThem) {
    const std::string prefix = FDir / "prefix";
    ASSERT_EQ(testutil::RunHost(Make("install", prefix)), 0);
    std::string out;
    EXPECT_EQ(testutil::RunHost(Quote(prefix + "/bin/grandvue") + " --version", &out), 0);
    EXPECT_EQ(out, "grandvue 1.0\n");
    const std::string page = prefix + "/share/man/man1/grandvue.1";
    ASSERT_TRUE(testutil::Exists(page));
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
}

TEST_F(TCommandLine, InstallHonoursDestdir) {
    const std::string stage = FDir / "stage";
    ASSERT_EQ(testutil::RunHost(Make("install", "/usr/local", stage)), 0);
    EXPECT_TRUE(testutil::Exists(stage + "/usr/local/bin/grandvue"));
    EXPECT_TRUE(testutil::Exists(stage + "/usr/local/share/man/man1/grandvue.1"));
    ASSERT_EQ(testutil::RunHost(Make("uninstall", "/usr/local", stage)), 0);
    EXPECT_FALSE(testutil::Exists(stage + "/usr/local/bin/grandvue"));
}

}  // namespace
