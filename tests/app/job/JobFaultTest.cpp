// The patch job against things going wrong under it while it runs: files and folders vanishing, a disk
// filling during unpacking, a build path it cannot use, a file another program holds. In every case the
// job either completes a full, correct archive or stops with a message, and the user's archive stays
// byte for byte as it was.
#include <gtest/gtest.h>

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

#include "JobFixture.h"
#include "platform/Platform.h"
#include "tests/archive/ArchiveFixtures.h"
#include "tests/archive/FaultFixtures.h"

namespace {

using jobtest::TJobRunner;
using testutil::Bytes;

// "Не удалось " begins every message of a job that stopped with the archive untouched.
const char kCouldNot[] = "\xCD\xE5 \xF3\xE4\xE0\xEB\xEE\xF1\xFC ";

struct TJobCase {
    testutil::TTempDir Dir;
    jobtest::TTree Tree = jobtest::SampleTree();
    std::string Jar = Dir / "game.jar";
    Bytes Original;
    TJobRunner Runner;

    TJobCase() {
        EXPECT_TRUE(jobtest::PackWithPeer("zip", Tree, Jar));
        Original = testutil::ReadFile(Jar);
        Runner.Form().cbBackup.SetChecked(false);
    }
    // Runs `action` when the reader begins its `n`th file, after the job's own handler.
    void AtExtractedFile(int n, std::function<void(const std::string& outPath)> action) {
        auto& reader = Runner.Form().UnJar;
        reader.OnBegin = [job = reader.OnBegin, n, action, seen = 0](fw::TObject* sender, const std::string& path,
                                                                     int32_t count, bool& extract) mutable {
            job(sender, path, count, extract);
            if (++seen == n)
                action(path);
        };
    }
    // Either a stop with one message and the archive untouched, or a complete, correctly patched archive;
    // the run's folder gone unless another program held a file in it.
    void ExpectStoppedOrComplete(bool runFolderGone = true) {
        if (!Runner.Errors().empty()) {
            EXPECT_EQ(Runner.Errors().size(), 1u);  // the step's message, or the run-time I/O error text
            EXPECT_EQ(testutil::ReadFile(Jar), Original);
        } else {
            jobtest::ExpectPatched(Jar, Tree);
        }
        EXPECT_NE(testutil::Exists(Runner.LastRunFolder()), runFolderGone);
        EXPECT_FALSE(Runner.Form().JobRunning());
    }
};

// Expected: a file deleted from the work folder just after it was unpacked must not vanish from the
// user's archive: the job stops with a message and the archive is unchanged, or the archive is complete.
TEST(JobFaults, AFileRemovedWhileUnpackingIsNeverLostFromTheArchive) {
    TJobCase job;
    std::string first;
    job.AtExtractedFile(1, [&](const std::string& path) { first = path; });
    job.AtExtractedFile(3, [&](const std::string&) { std::remove(first.c_str()); });
    job.Runner.Run(job.Jar);
    job.ExpectStoppedOrComplete();
}

// Expected: the whole work folder removed in the middle of unpacking stops the job with a message;
// the user's archive is unchanged.
TEST(JobFaults, AWorkFolderRemovedWhileUnpackingStopsTheJob) {
    TJobCase job;
    job.AtExtractedFile(2, [&](const std::string&) { testutil::RemoveTree(job.Runner.WorkFolder()); });
    job.Runner.Run(job.Jar);
    job.ExpectStoppedOrComplete();
}

// Expected: a work-folder file deleted while the new archive is being packed (after packing began) does
// not yield a shorter archive in place of the user's: the job stops with a message, archive unchanged.
TEST(JobFaults, AFileRemovedWhilePackingIsNeverLostFromTheArchive) {
    TJobCase job;
    auto& writer = job.Runner.Form().Jar;
    // At the first file packed, nothing else has been read yet: delete another one of them.
    writer.OnBegin = [&, seen = 0](fw::TObject*, const std::string& path, int32_t, bool&) mutable {
        if (++seen != 1)
            return;
        for (const auto& name : archivetest::ListTree(job.Runner.WorkFolder())) {
            const std::string other = testutil::Join(job.Runner.WorkFolder(), name);
            if (name.back() != '/' && other != path && std::remove(other.c_str()) == 0)
                return;
        }
    };
    job.Runner.Run(job.Jar);
    job.ExpectStoppedOrComplete();
}

// Expected: a class without the canvas name changed in the work folder once unpacked, at its size or
// longer, to name the canvas, never reaches the user's archive unpatched or changed: the check refuses.
TEST(JobFaults, AClassChangedAfterUnpackingNeverReachesTheArchive) {
    for (const bool sameSize : {true, false}) {
        TJobCase job;
        auto& reader = job.Runner.Form().UnJar;
        reader.OnEnd = [handler = reader.OnEnd, &job, sameSize](fw::TObject* sender, const std::string& name,
                                                                bool pass) {
            handler(sender, name, pass);
            if (name != "game/Main.class" && name != "game\\Main.class")
                return;
            const std::string path = testutil::Join(job.Runner.WorkFolder(), "game/Main.class");
            Bytes bytes = testutil::ReadFile(path);
            const std::string canvas = jobtest::kCanvas;
            if (sameSize)
                std::copy(canvas.begin(), canvas.end(), bytes.begin() + 10);
            else
                bytes.insert(bytes.end(), canvas.begin(), canvas.end());
            testutil::WriteFile(path, bytes);
        };
        job.Runner.Run(job.Jar);
        EXPECT_EQ(job.Runner.Form().LastReport().Failure, app::TJobFailure::jfCheckFailed) << sameSize;
        job.ExpectStoppedOrComplete();
    }
}

// Expected: files and folders beside the jar with names the job might once have used ("<jar>.gvnew", a
// folder of that name) are neither deleted nor overwritten, and the job completes.
TEST(JobFaults, NamesBesideTheJarThatLookLikeTheJobsOwnAreLeftAlone) {
    TJobCase job;
    testutil::WriteFile(job.Jar + ".gvnew", std::string("the user's file"));
    testutil::WriteFile(job.Jar + ".new/keep.txt", std::string("kept"));
    job.Runner.Run(job.Jar);
    EXPECT_TRUE(job.Runner.Errors().empty());
    jobtest::ExpectPatched(job.Jar, job.Tree);
    EXPECT_EQ(testutil::ReadText(job.Jar + ".gvnew"), "the user's file");
    EXPECT_EQ(testutil::ReadText(job.Jar + ".new/keep.txt"), "kept");
}

#ifndef _WIN32
// Expected: a disk that fills while the archive is unpacked (file-size limit below the large entries)
// stops the job with "could not unpack"; nothing is packed and the user's archive is unchanged.
TEST(JobFaults, ADiskFillingWhileUnpackingStopsTheJob) {
    TJobCase job;
    for (int i = 0; i < 2; ++i)
        job.Tree["res/big" + std::to_string(i) + ".bin"] = testutil::RandomBytes(400000, 60 + i);
    ASSERT_TRUE(jobtest::PackWithPeer("zip", job.Tree, job.Jar));
    job.Original = testutil::ReadFile(job.Jar);
    {
        faulttest::TFileSizeLimit disk(200000);
        job.Runner.Run(job.Jar);
    }
    ASSERT_EQ(job.Runner.Errors().size(), 1u);
    // "распаковать": the unpacking step is named
    EXPECT_NE(job.Runner.Errors().front().find("\xF0\xE0\xF1\xEF\xE0\xEA\xEE\xE2\xE0\xF2\xFC"), std::string::npos);
    EXPECT_EQ(testutil::ReadFile(job.Jar), job.Original);
    EXPECT_FALSE(testutil::Exists(job.Runner.LastRunFolder()));
}
#else
// Expected: a class file that another program opens without sharing as soon as it is unpacked cannot be
// patched or packed: the job stops with a message and the user's archive is unchanged.
TEST(JobFaults, AClassFileHeldWithoutSharingStopsTheJob) {
    TJobCase job;
    HANDLE held = INVALID_HANDLE_VALUE;
    auto& reader = job.Runner.Form().UnJar;
    reader.OnEnd = [job = reader.OnEnd, &held, &jc = job](fw::TObject* sender, const std::string& name, bool pass) {
        job(sender, name, pass);
        if (held != INVALID_HANDLE_VALUE || name.find(".class") == std::string::npos)
            return;
        const std::string path = testutil::Join(jc.Runner.WorkFolder(), name);
        held = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    job.Runner.Run(job.Jar);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    CloseHandle(held);
    job.ExpectStoppedOrComplete(false);  // the held file kept the run's folder from going
    testutil::RemoveTree(job.Runner.LastRunFolder());
    EXPECT_FALSE(job.Runner.Errors().empty());
}
#endif

}  // namespace
