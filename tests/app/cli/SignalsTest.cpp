// Stop signals and a closed output pipe, sent to the real program while it works.
#include <csignal>

#include "CliFixture.h"

namespace {

using clitest::TCommandLine;
using testutil::Quote;

// Starts the command, waits for its first line on stdout (the first jar's name: the handlers are in
// place by then), sends the signal and prints the exit status the program chose (a negative number
// would mean it was killed instead).
const char kSignalDriver[] =
    "python3 -c \"import subprocess,sys\n"
    "p=subprocess.Popen(sys.argv[2], shell=True, stdout=subprocess.PIPE)\n"
    "p.stdout.readline()\n"
    "p.send_signal(int(sys.argv[1]))\n"
    "p.stdout.read()\n"
    "print(p.wait())\" ";

jobtest::TTree LargeTree() {
    jobtest::TTree tree = jobtest::SampleTree();
    // Enough work that the signal lands while the first jar is being patched.
    for (int i = 0; i < 4; ++i)
        tree["res/noise" + std::to_string(i) + ".bin"] = testutil::RandomBytes(1 << 20, 20 + i);
    return tree;
}

TEST_F(TCommandLine, AStopSignalEndsTheRunWithItsStatusAndStartsNoFurtherJar) {
    const jobtest::TTree tree = LargeTree();
    const struct {
        int Signal;
        int Status;
    } cases[] = {{SIGINT, 130}, {SIGTERM, 143}, {SIGHUP, 129}};
    const testutil::Bytes original = testutil::ReadFile(MakeJar(FDir / "original.jar", tree));
    for (const auto& c : cases) {
        testutil::TTempDir jars;
        for (const char* name : {"a.jar", "b.jar", "c.jar"})
            testutil::WriteFile(jars / name, original);
        std::string out;
        ASSERT_EQ(testutil::RunHost(kSignalDriver + std::to_string(c.Signal) + " " +
                                        Quote(Command("-n a.jar b.jar c.jar 2>/dev/null", "", jars.Path())),
                                    &out),
                  0);
        EXPECT_EQ(out, std::to_string(c.Status) + "\n") << "signal " << c.Signal;
        // The first jar is either as it was or completely patched; the others were never started.
        if (testutil::ReadFile(jars / "a.jar") != original)
            jobtest::ExpectPatched(jars / "a.jar", tree);
        EXPECT_EQ(testutil::ReadFile(jars / "b.jar"), original);
        EXPECT_EQ(testutil::ReadFile(jars / "c.jar"), original);
    }
}

TEST_F(TCommandLine, AReaderThatStopsEarlyDoesNotCutTheJob) {
    for (const char* name : {"a.jar", "b.jar", "c.jar"})
        MakeJar(FDir / name);
    std::string out;
    ASSERT_EQ(testutil::RunHost("bash -c " + Quote(Command("-v a.jar b.jar c.jar", "") +
                                                   " 2>/dev/null | head -1; echo \"${PIPESTATUS[0]}\""),
                                &out),
              0);
    EXPECT_EQ(out, "a.jar:\n0\n");
    for (const char* name : {"a.jar", "b.jar", "c.jar"})
        EXPECT_TRUE(clitest::HoldsPayload(FDir / name));
}

}  // namespace
