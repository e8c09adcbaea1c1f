// Real processes running the job: several at once on different jars, real signals at several moments, a
// program folder nobody may write run by an unprivileged user, and disks that fill up under the job.
#include <gtest/gtest.h>

#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "JobFixture.h"
#include "app/forms/Settings.h"
#include "app/job/JobReport.h"
#include "platform/Platform.h"

namespace {

using app::TJobFailure;
using jobtest::TTree;
using testutil::Bytes;

constexpr int kInterruptedBySigint = 128 + 2;  // the driver's status after SIGINT

std::string Driver() {
    return testutil::FromHostPath(GV_JOB_DRIVER);
}

// A tree of its own per jar: a run that mixed up two work folders would put one's files into the other.
TTree TreeOf(const std::string& id) {
    TTree tree = jobtest::SampleTree();
    tree["id/" + id + ".txt"] = Bytes(id.begin(), id.end());
    const std::string own = std::string("own:") + jobtest::kCanvas + ":" + id;
    tree["game/Own" + id + ".class"] = Bytes(own.begin(), own.end());
    return tree;
}

// Entry by entry as unzip reads it: every entry of `tree` patched as the job must, the payload added,
// nothing else (the peers' full check is the end-to-end tests' business).
void ExpectEntries(const std::string& jar, const TTree& tree) {
    TTree got = jobtest::UnpackWithUnzip(jar);
    EXPECT_EQ(got.erase("com/vidorurud/fullscreen/WideCv.class"), 1u) << jar;
    EXPECT_TRUE(got == jobtest::PatchedTree(tree)) << jar;
}

struct TRun {
    int Status = -1;
    std::string Out;
};

#ifndef _WIN32
// The driver once per argument list, all started at once, with `env` ("NAME=value ...") before each.
std::vector<TRun> RunAtOnce(const std::vector<std::string>& argLists,
                            const std::string& env,
                            const testutil::TTempDir& scratch,
                            const std::string& driver = Driver()) {
    std::string script;
    for (size_t i = 0; i < argLists.size(); ++i) {
        const std::string out = scratch / ("out" + std::to_string(i));
        script += "( env " + env + " " + testutil::Quote(driver) + " " + argLists[i] + " >" + testutil::Quote(out) +
                  " 2>&1; echo $? >" + testutil::Quote(out + ".rc") + " ) &\n";
    }
    EXPECT_EQ(testutil::RunHost(script + "wait"), 0);
    std::vector<TRun> runs(argLists.size());
    for (size_t i = 0; i < runs.size(); ++i) {
        const std::string out = scratch / ("out" + std::to_string(i));
        runs[i].Status = std::atoi(testutil::ReadText(out + ".rc").c_str());
        runs[i].Out = testutil::ReadText(out);
    }
    return runs;
}
#else
std::vector<TRun> RunAtOnce(const std::vector<std::string>& argLists,
                            const std::string& /*env*/,
                            const testutil::TTempDir& /*scratch*/,
                            const std::string& driver = Driver()) {
    std::vector<PROCESS_INFORMATION> started;
    for (const std::string& args : argLists) {
        std::string line = "\"" + driver + "\" " + args;
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        EXPECT_TRUE(
            CreateProcessA(driver.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
        started.push_back(pi);
    }
    std::vector<TRun> runs(started.size());
    for (size_t i = 0; i < started.size(); ++i) {
        WaitForSingleObject(started[i].hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(started[i].hProcess, &code);
        runs[i].Status = static_cast<int>(code);
        CloseHandle(started[i].hProcess);
        CloseHandle(started[i].hThread);
    }
    return runs;
}
#endif

std::string Quoted(const std::string& path) {
#ifdef _WIN32
    return "\"" + path + "\"";
#else
    return testutil::Quote(path);
#endif
}

// What a folder holds, names only, sorted.
std::string Listing(const std::string& folder) {
    std::string out;
    testutil::RunHost("cd " + testutil::Quote(testutil::ToHostPath(folder)) + " && find . | sort", &out);
    return out;
}

TEST(RunsAtOnce, EachOfSeveralRunsPatchesItsOwnJarEntryByEntry) {
    constexpr int kRounds = 4;
    for (const int count : {2, 4}) {
        for (int round = 0; round < kRounds; ++round) {
            testutil::TTempDir dir;
            testutil::MakeDirs(dir / "tmp");
            std::vector<std::string> args;
            std::vector<TTree> trees;
            for (int i = 0; i < count; ++i) {
                const std::string id = std::to_string(count) + "-" + std::to_string(round) + "-" + std::to_string(i);
                trees.push_back(TreeOf(id));
                ASSERT_TRUE(jobtest::PackWithPeer("zip", trees.back(), dir / (id + ".jar")));
                args.push_back(Quoted(dir / (id + ".jar")));
            }
            const auto runs = RunAtOnce(args, "TMPDIR=" + testutil::Quote(dir / "tmp"), dir);
            for (int i = 0; i < count; ++i) {
                EXPECT_EQ(runs[i].Status, 0) << runs[i].Out;
                ExpectEntries(
                    dir / (std::to_string(count) + "-" + std::to_string(round) + "-" + std::to_string(i) + ".jar"),
                    trees[i]);
            }
#ifndef _WIN32
            EXPECT_EQ(Listing(dir / "tmp"), ".\n");  // every run's folder is gone
#endif
        }
    }
}

// SIGINT while unpacking, while patching the classes and while packing: the jar stays as it was, the
// report says interrupted, and neither the temporary folder nor the jar's folder keeps anything.
TEST(RunsAtOnce, ARealSignalAtSeveralMomentsLeavesTheJarAsItWasAndNothingBehind) {
    for (const char* moment : {"unpack", "classes", "pack"}) {
        testutil::TTempDir dir;
        testutil::MakeDirs(dir / "tmp");
        testutil::MakeDirs(dir / "jars");
        const std::string jar = dir / "jars/game.jar";
        ASSERT_TRUE(jobtest::PackWithPeer("zip", jobtest::SampleTree(), jar));
        const Bytes original = testutil::ReadFile(jar);
        const auto runs = RunAtOnce({std::string("--signal-at=") + moment + " " + Quoted(jar)},
                                    "TMPDIR=" + testutil::Quote(dir / "tmp"), dir);
        EXPECT_EQ(runs[0].Status, kInterruptedBySigint) << moment << runs[0].Out;
        EXPECT_EQ(testutil::ReadFile(jar), original) << moment;
        EXPECT_EQ(Listing(dir / "jars"), ".\n./game.jar\n") << moment;
#ifndef _WIN32
        // The log lines come first; the driver's report line ends the output.
        EXPECT_NE(runs[0].Out.find("\n" + std::to_string(static_cast<int>(TJobFailure::jfInterrupted)) + " 0\n"),
                  std::string::npos)
            << runs[0].Out;
        EXPECT_EQ(Listing(dir / "tmp"), ".\n") << moment;
#endif
    }
}

// The program's own copy beside a "temp" that belongs to the user: a folder with the user's files (and a
// jar chosen from inside it), or a plain file. Either stays as it was; the jars are patched.
TEST(RunsAtOnce, ATempFolderOrFileBesideTheProgramStaysTheUsers) {
    const std::string exe = Driver().substr(Driver().find_last_of(platform::PathDelim) + 1);
    for (const bool plainFile : {false, true}) {
        testutil::TTempDir dir;
        testutil::MakeDirs(dir / "tmp");
        const std::string copy = dir / ("bin/" + exe);
        testutil::MakeDirs(dir / "bin");
        ASSERT_EQ(testutil::RunHost("cp " + testutil::Quote(GV_JOB_DRIVER) + " " +
                                    testutil::Quote(testutil::ToHostPath(copy))),
                  0);
        const TTree tree = jobtest::SampleTree();
        std::string jar = dir / "game.jar";
        if (plainFile) {
            testutil::WriteFile(dir / "bin/temp", std::string("a file named temp"));
        } else {
            testutil::WriteFile(dir / "bin/temp/notes.txt", std::string("the user's notes"));
            jar = dir / "bin/temp/game.jar";
        }
        ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, jar));
        const std::string before = Listing(dir / "bin");
        const auto runs = RunAtOnce({Quoted(jar)}, "TMPDIR=" + testutil::Quote(dir / "tmp"), dir, copy);
        EXPECT_EQ(runs[0].Status, 0) << runs[0].Out;
        jobtest::ExpectPatched(jar, tree);
        EXPECT_EQ(Listing(dir / "bin"), before);
        if (plainFile)
            EXPECT_EQ(testutil::ReadText(dir / "bin/temp"), "a file named temp");
        else
            EXPECT_EQ(testutil::ReadText(dir / "bin/temp/notes.txt"), "the user's notes");
    }
}

#ifndef _WIN32
// SIGTERM from outside, as soon as the run's folder exists, into a job on a large jar: either the job had
// already finished (complete jar) or it stops cleanly (jar as it was); nothing is left in either case.
TEST(RunsAtOnce, AnOutsideSigtermDuringALargeJobEndsItCleanly) {
    testutil::TTempDir dir;
    testutil::MakeDirs(dir / "tmp");
    TTree tree = jobtest::SampleTree();
    for (int i = 0; i < 24; ++i)
        tree["res/big" + std::to_string(i) + ".bin"] = testutil::RandomBytes(250000, 90 + i);
    const std::string jar = dir / "big.jar";
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, jar));
    const Bytes original = testutil::ReadFile(jar);
    std::string status;
    testutil::RunHost("TMPDIR=" + testutil::Quote(dir / "tmp") + " " + testutil::Quote(Driver()) + " " +
                          testutil::Quote(jar) +
                          " >/dev/null & pid=$!; "
                          "while [ -z \"$(ls " +
                          testutil::Quote(dir / "tmp") +
                          ")\" ] && kill -0 $pid 2>/dev/null; "
                          "do sleep 0.01; done; kill -TERM $pid; wait $pid; echo $?",
                      &status);
    const int code = std::atoi(status.c_str());
    EXPECT_TRUE(code == 128 + 15 || code == 0) << status;
    if (code == 0)
        jobtest::ExpectPatched(jar, tree);
    else
        EXPECT_EQ(testutil::ReadFile(jar), original);
    EXPECT_EQ(Listing(dir / "tmp"), ".\n");
    EXPECT_EQ(Listing(dir.Path()), ".\n./big.jar\n./tmp\n");
}

bool RunningAsRoot() {
    return ::geteuid() == 0;
}

// The program copied into a folder nobody may write and run as "nobody", with a settings folder it cannot
// write either: the jar in a folder of its own is patched, the settings failure is told once, and nothing
// is written beside the program. A jar in a folder nobody may write is refused, unchanged.
TEST(RunsAsAnotherUser, AReadOnlyProgramFolderAndUnwritableSettingsDoNotStopTheRun) {
    if (!RunningAsRoot() || !testutil::HostHas("setpriv"))
        GTEST_SKIP() << "needs root and setpriv";
    testutil::TTempDir dir;
    for (const char* folder : {"bin", "config", "tmp", "jars", "locked"})
        testutil::MakeDirs(dir / folder);
    const TTree tree = jobtest::SampleTree();
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, dir / "jars/game.jar"));
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, dir / "locked/game.jar"));
    const Bytes locked = testutil::ReadFile(dir / "locked/game.jar");
    const std::string q = testutil::Quote(dir.Path());
    ASSERT_EQ(testutil::RunHost("cp " + testutil::Quote(Driver()) + " " + q + "/bin/ && chmod 0755 " + q +
                                " && chmod 0555 " + q + "/bin " + q + "/config && chmod 1777 " + q +
                                "/tmp && chown -R 65534:65534 " + q + "/jars && chmod 0644 " + q + "/locked/game.jar"),
              0);
    std::string out;
    const std::string as = "setpriv --reuid=65534 --regid=65534 --clear-groups env HOME=/nonexistent TMPDIR=" + q +
                           "/tmp XDG_CONFIG_HOME=" + q + "/config " + q + "/bin/job_driver ";
    EXPECT_EQ(testutil::RunHost(as + "--save-settings " + q + "/jars/game.jar 2>&1", &out), 0) << out;
    jobtest::ExpectPatched(dir / "jars/game.jar", tree);
    size_t told = 0;
    for (size_t at = out.find("Unable to write to"); at != std::string::npos;
         at = out.find("Unable to write to", at + 1))
        ++told;
    EXPECT_EQ(told, 1u) << out;
    EXPECT_EQ(testutil::RunHost(as + q + "/locked/game.jar", &out), 1);
    EXPECT_NE(out.find("\n" + std::to_string(static_cast<int>(TJobFailure::jfReadOnlyFolder)) + " 0\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(testutil::ReadFile(dir / "locked/game.jar"), locked);
    EXPECT_EQ(Listing(dir / "bin"), ".\n./job_driver\n");
    EXPECT_EQ(Listing(dir / "tmp"), ".\n");
    testutil::RunHost("chmod -R u+w " + q);
}
#endif

}  // namespace
