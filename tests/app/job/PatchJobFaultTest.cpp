// When unpacking, backing up or packing fails, the job stops, says why, and the user's archive
// stays byte for byte as it was.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <csignal>
#else
#include <windows.h>
#endif

#include "JobFixture.h"
#include "app/job/Interrupt.h"
#include "platform/Platform.h"

namespace {

using jobtest::TJobRunner;
using testutil::Bytes;

// "Не удалось ..." messages begin with these bytes; the archive's path follows in each.
const char kCouldNot[] = "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC ";
const char kExtractWord[] = "\xF0\xE0\xF1\xEF\xE0\xEA\xEE\xE2\xE0\xF2\xFC";  // "распаковать"
const char kBackupWord[] = "backup";
const char kPackWord[] = "jar \xF4\xE0\xE9\xEB";  // "jar файл"
const char kBusyStart[] = "\xC8\xE4\xB8\xF2 ";    // "Идёт "

struct TJobOutcome {
    std::vector<std::string> errors;
    size_t logLines = 0;
};

std::string MakeJar(const testutil::TTempDir& dir, const jobtest::TTree& tree = jobtest::SampleTree()) {
    const std::string jar = dir / "game.jar";
    EXPECT_TRUE(jobtest::PackWithPeer("zip", tree, jar));
    return jar;
}

void ExpectStoppedWith(const TJobRunner& runner, const std::string& word, const std::string& jar) {
    ASSERT_EQ(runner.Errors().size(), 1u);
    const std::string& message = runner.Errors().front();
    EXPECT_EQ(message.rfind(kCouldNot, 0), 0u) << message;
    EXPECT_NE(message.find(word), std::string::npos) << message;
    EXPECT_NE(message.find(jar), std::string::npos) << message;
}

TEST(PatchJobFaults, DamagedArchiveStopsBeforeAnythingIsRewritten) {
    testutil::TTempDir dir;
    const std::string jar = MakeJar(dir);
    Bytes damaged = testutil::ReadFile(jar);
    damaged[damaged.size() / 2] ^= 0x55;  // inside the data of the large resource
    testutil::WriteFile(jar, damaged);
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);
    runner.Run(jar);
    ExpectStoppedWith(runner, kExtractWord, jar);
    EXPECT_EQ(runner.Log().size(), 2u);  // nothing logged after "Извлечение файлов ..."
    EXPECT_EQ(testutil::ReadFile(jar), damaged);
}

// A cut in the data stops the job; a cut in the directory alone leaves every entry readable through
// the local headers, and then the job rebuilds a complete archive. Either way nothing is lost.
TEST(PatchJobFaults, TruncatedArchiveIsNeverReplacedByAPartialOne) {
    testutil::TTempDir dir;
    const jobtest::TTree tree = jobtest::SampleTree();
    const std::string jar = MakeJar(dir, tree);
    const Bytes whole = testutil::ReadFile(jar);
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);
    for (size_t cut : {size_t{0}, size_t{10}, whole.size() / 3, whole.size() - 30, whole.size() - 1}) {
        const Bytes part(whole.begin(), whole.begin() + static_cast<long>(cut));
        testutil::WriteFile(jar, part);
        const size_t errorsBefore = runner.Errors().size();
        runner.Run(jar);
        if (runner.Errors().size() > errorsBefore)
            EXPECT_EQ(testutil::ReadFile(jar), part) << "cut at " << cut;
        else
            jobtest::ExpectPatched(jar, tree);
    }
}

TEST(PatchJobFaults, BackupThatCannotBeMadeStopsTheJob) {
    testutil::TTempDir dir;
    const std::string jar = MakeJar(dir);
    const Bytes original = testutil::ReadFile(jar);
    testutil::MakeDirs(jar + ".bak");  // a folder where the copy should go: not an existing backup
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(true);
    runner.Run(jar);
    ExpectStoppedWith(runner, kBackupWord, jar);
    EXPECT_EQ(runner.Log().size(), 2u);
    EXPECT_EQ(testutil::ReadFile(jar), original);
}

TEST(PatchJobFaults, SecondStartAboutAndExitAreRefusedWhileTheJobRuns) {
    testutil::TTempDir dir;
    const jobtest::TTree tree = jobtest::SampleTree();
    const std::string jar = MakeJar(dir, tree);
    TJobRunner runner;
    app::Tfrm& frm = runner.Form();
    frm.cbBackup.SetChecked(false);
    int refused = 0;
    bool tried = false;
    // Messages run inside the engine's loops; this is where a click would arrive.
    frm.fs.OnChangeFolder = [&](std::string) {
        if (tried || !frm.JobRunning())
            return;
        tried = true;
        const std::function<void()> requests[] = {
            [&] { frm.btnJarClick(&frm.btnJar); },
            [&] { frm.btnAboutClick(&frm.btnAbout); },
            [&] { frm.btnExitClick(&frm.btnExit); },
        };
        for (const auto& request : requests) {
            try {
                request();
            } catch (const std::exception& e) {
                refused += std::string(e.what()).rfind(kBusyStart, 0) == 0 ? 1 : 0;
            }
        }
    };
    runner.Run(jar);
    EXPECT_TRUE(tried);
    EXPECT_EQ(refused, 3);
    EXPECT_TRUE(runner.Errors().empty());
    EXPECT_EQ(runner.Log().size(), 7u);
    EXPECT_FALSE(frm.JobRunning());
    jobtest::ExpectPatched(jar, tree);
}

// Closing the window during a job stops it at the next safe point: the archive stays as it was, the run's
// folder goes, nothing is shown, and the window closes once the job has ended.
TEST(PatchJobFaults, ClosingTheWindowDuringAJobStopsItCleanlyAndThenCloses) {
    testutil::TTempDir dir;
    const std::string jar = MakeJar(dir);
    const Bytes original = testutil::ReadFile(jar);
    TJobRunner runner;
    app::Tfrm& frm = runner.Form();
    frm.cbBackup.SetChecked(false);
    frm.Show();
    bool canClose = true;
    frm.UnJar.OnBegin = [&, job = frm.UnJar.OnBegin, seen = 0](fw::TObject* sender, const std::string& path,
                                                               int32_t count, bool& extract) mutable {
        job(sender, path, count, extract);
        if (++seen == 2)
            frm.FormCloseQuery(&frm, canClose);
    };
    runner.Run(jar);
    EXPECT_FALSE(canClose);  // refused while the job ran
    EXPECT_TRUE(runner.Errors().empty());
    EXPECT_EQ(frm.LastReport().Failure, app::TJobFailure::jfInterrupted);
    EXPECT_EQ(testutil::ReadFile(jar), original);
    EXPECT_FALSE(testutil::Exists(runner.LastRunFolder()));
    EXPECT_FALSE(frm.Showing());
    EXPECT_EQ(app::StopRequested(), 0);
}

#ifndef _WIN32
// A file-size limit makes every write past it fail, as a full disk does for the new archive.
TEST(PatchJobFaults, PackingThatFailsLeavesTheArchiveAndNoHalfFile) {
    testutil::TTempDir dir;
    jobtest::TTree tree = jobtest::SampleTree();
    for (int i = 0; i < 3; ++i)
        tree["res/big" + std::to_string(i) + ".bin"] = testutil::RandomBytes(300000, 40 + i);
    const std::string jar = MakeJar(dir, tree);
    const Bytes original = testutil::ReadFile(jar);
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved;
    limit.rlim_cur = 500000;  // above every single file, below the archive
    setrlimit(RLIMIT_FSIZE, &limit);
    runner.Run(jar);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    ExpectStoppedWith(runner, kPackWord, jar);
    EXPECT_EQ(testutil::ReadFile(jar), original);
    EXPECT_FALSE(testutil::Exists(runner.LastRunFolder()));
}
#else
// An archive held open without delete sharing cannot be replaced: the new one must not be lost
// silently nor the old one harmed.
TEST(PatchJobFaults, ArchiveThatCannotBeReplacedStaysAsItWas) {
    testutil::TTempDir dir;
    const std::string jar = MakeJar(dir);
    const Bytes original = testutil::ReadFile(jar);
    HANDLE lock = CreateFileA(jar.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);
    runner.Run(jar);
    CloseHandle(lock);
    ExpectStoppedWith(runner, kPackWord, jar);
    EXPECT_EQ(testutil::ReadFile(jar), original);
    EXPECT_FALSE(testutil::Exists(runner.LastRunFolder()));
}
#endif

}  // namespace
