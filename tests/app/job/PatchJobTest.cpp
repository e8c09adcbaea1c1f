// The patch job end to end: archives from the peers come back patched, complete and valid.
#include <gtest/gtest.h>

#include "JobFixture.h"
#include "app/forms/Settings.h"
#include "app/job/WorkFolder.h"
#include "platform/Platform.h"

namespace {

using jobtest::TJobRunner;
using jobtest::TTree;
using testutil::Bytes;

// "Инициализация" ... "Работа завершена", with the backup line third when the box is ticked.
const std::vector<std::string> kLogWithoutBackup = {
    "\xC8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xFF",
    "\xC8\xE7\xE2\xEB\xE5\xF7\xE5\xED\xE8\xE5 \xF4\xE0\xE9\xEB\xEE\xE2 \xE2 \xE2\xF0\xE5\xEC\xE5\xED\xED\xF3\xFE "
    "\xE4\xE8\xF0\xE5\xEA\xF2\xEE\xF0\xE8\xFE",
    "\xCE\xE1\xF0\xE0\xE1\xEE\xF2\xEA\xE0 \xEA\xEB\xE0\xF1\xF1\xEE\xE2",
    "\xC7\xE0\xEF\xE8\xF1\xFC \xEA\xEB\xE0\xF1\xF1\xE0 WideCv",
    "\xD1\xEE\xE7\xE4\xE0\xED\xE8\xE5 jar \xF4\xE0\xE9\xEB\xE0",
    "\xCE\xF7\xE8\xF1\xF2\xEA\xE0 \xE2\xF0\xE5\xEC\xE5\xED\xED\xEE\xE9 \xE4\xE8\xF0\xE5\xEA\xF2\xEE\xF0\xE8\xE8",
    "\xD0\xE0\xE1\xEE\xF2\xE0 \xE7\xE0\xE2\xE5\xF0\xF8\xE5\xED\xE0",
};
const char kBackupLine[] = "\xD1\xEE\xE7\xE4\xE0\xED\xE8\xE5 backup \xEA\xEE\xEF\xE8\xE8 jar \xF4\xE0\xE9\xEB\xE0";
class PatchJobWithPeer : public testing::TestWithParam<std::string> {};

TEST_P(PatchJobWithPeer, RebuildsTheArchivePatchedAndComplete) {
    testutil::TTempDir dir;
    const std::string jar = dir / "game.jar";
    const TTree tree = jobtest::SampleTree();
    if (!jobtest::PackWithPeer(GetParam(), tree, jar))
        GTEST_SKIP() << GetParam() << " not installed";
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);
    runner.Run(jar);
    EXPECT_TRUE(runner.Errors().empty()) << runner.Errors().front();
    EXPECT_EQ(runner.Log(), kLogWithoutBackup);
    jobtest::ExpectPatched(jar, tree);
    ASSERT_FALSE(runner.LastRunFolder().empty());
    EXPECT_FALSE(testutil::Exists(runner.LastRunFolder()));
    EXPECT_FALSE(testutil::Exists(jar + ".bak"));
}

INSTANTIATE_TEST_SUITE_P(Peers, PatchJobWithPeer, testing::Values("zip", "7z", "python", "jar"));

TEST(PatchJob, CancelledDialogTouchesNothing) {
    TJobRunner runner;
    runner.Form().mem.Lines().Add("kept");
    runner.Run("");
    EXPECT_EQ(runner.Log(), std::vector<std::string>{"kept"});
    EXPECT_TRUE(runner.Errors().empty());
}

TEST(PatchJob, BackupIsMadeOnceAndNeverOverwritten) {
    testutil::TTempDir dir;
    const std::string jar = dir / "game.jar";
    const TTree tree = jobtest::SampleTree();
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, jar));
    const Bytes original = testutil::ReadFile(jar);
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(true);
    runner.Run(jar);
    std::vector<std::string> withBackup = kLogWithoutBackup;
    withBackup.insert(withBackup.begin() + 1, kBackupLine);
    EXPECT_EQ(runner.Log(), withBackup);
    EXPECT_EQ(testutil::ReadFile(jar + ".bak"), original);

    // A second run finds the jar patched: it changes no byte of it and keeps the first backup as it was.
    const Bytes once = testutil::ReadFile(jar);
    runner.Run(jar);
    EXPECT_TRUE(runner.Errors().empty());
    EXPECT_EQ(runner.Log().size(), 2u);
    EXPECT_EQ(runner.Form().LastReport().Outcome, app::TJobOutcome::joAlreadyPatched);
    EXPECT_EQ(testutil::ReadFile(jar + ".bak"), original);
    EXPECT_EQ(testutil::ReadFile(jar), once);
}

// A "temp" folder beside the program belongs to the user (or, on Windows, holds other runs' folders): the
// job neither empties it nor lets its files into the archive.
TEST(PatchJob, FilesInATempFolderBesideTheProgramAreLeftAloneAndStayOutOfTheArchive) {
    testutil::TTempDir dir;
    const std::string jar = dir / "game.jar";
    const TTree tree = jobtest::SampleTree();
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, jar));
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);
    const std::string userTemp = app::ExeFolder() + platform::PathDelim + "temp";
    const std::string unique = dir.Path().substr(dir.Path().find_last_of(platform::PathDelim) + 1);
    const std::string mine = testutil::Join(userTemp, "user-" + unique);
    testutil::WriteFile(mine + "/Old.class", std::string("old run"));
    testutil::WriteFile(mine + ".txt", std::string("user file"));
    runner.Run(jar);
    EXPECT_TRUE(runner.Errors().empty());
    jobtest::ExpectPatched(jar, tree);
    EXPECT_EQ(testutil::ReadText(mine + "/Old.class"), "old run");
    EXPECT_EQ(testutil::ReadText(mine + ".txt"), "user file");
    testutil::RemoveTree(mine);
    platform::DeleteFile(mine + ".txt");
}

TEST(PatchJob, PatchedSampleRunsInARealJvm) {
    if (!testutil::HostHas("javac") || !testutil::HostHas("java"))
        GTEST_SKIP() << "no JDK";
    testutil::TTempDir dir;
    const std::string host = testutil::ToHostPath(dir.Path());
    ASSERT_EQ(testutil::RunHost(
                  "bash " + testutil::Quote(testutil::ToHostPath(testutil::SourcePath("examples/build-sample.sh"))) +
                  " " + testutil::Quote(host) + " && javac -d " + testutil::Quote(host) + " " +
                  testutil::Quote(testutil::ToHostPath(testutil::SourcePath("tests/app/job/jvm/CheckPatched.java")))),
              0);
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);
    runner.Run(dir / "snake.jar");
    ASSERT_TRUE(runner.Errors().empty());
    std::string out;
    EXPECT_EQ(testutil::RunHost("cd " + testutil::Quote(host) +
                                    " && java -cp . CheckPatched snake.jar midp.jar com.example.snake.SnakeCanvas",
                                &out),
              0)
        << out;
}

}  // namespace
