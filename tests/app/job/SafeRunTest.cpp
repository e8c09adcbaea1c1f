// The job on paths and files a user really has: relative paths, links, private files, names beside the jar,
// settings it cannot keep; and what its report says.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "JobFixture.h"
#include "app/forms/Settings.h"
#include "app/job/WorkFolder.h"
#include "framework/Exceptions.h"
#include "platform/Platform.h"

namespace {

using app::TJobFailure;
using jobtest::TJobRunner;
using jobtest::TTree;
using testutil::Bytes;

// The current folder for one test, put back on every way out.
class TCurrentFolder {
public:
    explicit TCurrentFolder(const std::string& folder) : FSaved(platform::GetCurrentDirectory()) {
        EXPECT_TRUE(platform::SetCurrentDirectory(folder));
    }
    ~TCurrentFolder() { platform::SetCurrentDirectory(FSaved); }

private:
    std::string FSaved;
};

std::string UniqueName(const testutil::TTempDir& dir) {
    return dir.Path().substr(dir.Path().find_last_of(platform::PathDelim) + 1);
}

// Two jars given by relative names after the current folder was changed: each is the one in that folder,
// never a file of the same name beside the program, and the current folder stays where it was.
TEST(SafeRun, RelativePathsNameFilesInTheCurrentFolderWhateverTheJobDid) {
    testutil::TTempDir dir;
    const TTree tree = jobtest::SampleTree();
    const std::string name = UniqueName(dir);
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, dir / (name + "-1.jar")));
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, dir / (name + "-2.jar")));
    const std::string decoy = app::ExeFolder() + platform::PathDelim + name + "-2.jar";
    testutil::WriteFile(decoy, std::string("a decoy beside the program"));
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);
    {
        TCurrentFolder here(dir.Path());
        runner.Run(name + "-1.jar");
        EXPECT_EQ(platform::ExpandFileName("."), platform::ExpandFileName(dir.Path()));
        runner.Run(name + "-2.jar");
    }
    EXPECT_TRUE(runner.Errors().empty());
    jobtest::ExpectPatched(dir / (name + "-1.jar"), tree);
    jobtest::ExpectPatched(dir / (name + "-2.jar"), tree);
    EXPECT_EQ(testutil::ReadText(decoy), "a decoy beside the program");
    platform::DeleteFile(decoy);
}

TEST(SafeRun, TheReportNamesEveryChangedClassWithItsReplacements) {
    testutil::TTempDir dir;
    const std::string jar = dir / "game.jar";
    ASSERT_TRUE(jobtest::PackWithPeer("zip", jobtest::SampleTree(), jar));
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);
    runner.Run(jar);
    const app::TJobReport& report = runner.Form().LastReport();
    EXPECT_EQ(report.Failure, TJobFailure::jfNone);
    EXPECT_EQ(report.Archive, jar);
    std::vector<std::pair<std::string, int>> changed;
    for (const auto& c : report.ChangedClasses)
        changed.emplace_back(c.Name, c.Replacements);
    std::sort(changed.begin(), changed.end());
    const std::vector<std::pair<std::string, int>> expected = {
        {"game/Board.class", 3}, {"game/Tail.class", 1}, {"game/deep/er/Menu.CLASS", 4}};
    EXPECT_EQ(changed, expected);
    EXPECT_EQ(report.Replacements, 8);
}

// Bytes of a jar whose first entry claims a compression method nobody knows.
Bytes WithUnknownMethod(Bytes zip) {
    constexpr uint16_t kUnknownMethod = 99;
    zip[8] = kUnknownMethod;  // local header: method at offset 8
    for (size_t i = 0; i + 4 <= zip.size(); ++i)
        if (zip[i] == 'P' && zip[i + 1] == 'K' && zip[i + 2] == 1 && zip[i + 3] == 2) {
            zip[i + 10] = kUnknownMethod;  // the first central header: method at offset 10
            break;
        }
    return zip;
}

TEST(SafeRun, EachWayOfFailingIsReportedWithItsKind) {
    testutil::TTempDir dir;
    TTree one;
    one["only.txt"] = Bytes(100, 'x');
    const std::string good = dir / "good.jar";
    ASSERT_TRUE(jobtest::PackWithPeer("zip", jobtest::SampleTree(), good));
    ASSERT_TRUE(jobtest::PackWithPeer("zip", one, dir / "one.jar"));
    testutil::WriteFile(dir / "text.jar", std::string("not an archive, only text"));
    Bytes damaged = testutil::ReadFile(good);
    damaged[damaged.size() / 2] ^= 0x55;  // inside the large resource's data
    testutil::WriteFile(dir / "damaged.jar", damaged);
    testutil::WriteFile(dir / "method.jar", WithUnknownMethod(testutil::ReadFile(dir / "one.jar")));
    testutil::MakeDirs(dir / "folder.jar");
    testutil::WriteFile(dir / "nobak.jar", testutil::ReadFile(good));
    testutil::MakeDirs(dir / "nobak.jar.bak");  // a folder where the backup should go

    const struct {
        std::string Jar;
        bool Backup;
        TJobFailure Failure;
        std::string EntryEnd;  // the end of the entry named, when one must be
    } cases[] = {
        {"missing.jar", false, TJobFailure::jfNotFound, ""},
        {"folder.jar", false, TJobFailure::jfIsFolder, ""},
        {"text.jar", false, TJobFailure::jfNotArchive, ""},
        {"damaged.jar", false, TJobFailure::jfDamaged, "music.bin"},
        {"method.jar", false, TJobFailure::jfUnsupportedMethod, "only.txt"},
        {"nobak.jar", true, TJobFailure::jfBackupFailed, ""},
    };
    TJobRunner runner;
    for (const auto& c : cases) {
        runner.Form().cbBackup.SetChecked(c.Backup);
        const bool existed = testutil::Exists(dir / c.Jar) && platform::FileExists(dir / c.Jar);
        const Bytes before = existed ? testutil::ReadFile(dir / c.Jar) : Bytes();
        runner.Run(dir / c.Jar);
        const app::TJobReport& report = runner.Form().LastReport();
        EXPECT_EQ(report.Failure, c.Failure) << c.Jar;
        const std::string& entry = report.Entry;
        if (!c.EntryEnd.empty()) {
            EXPECT_TRUE(entry.size() >= c.EntryEnd.size() &&
                        entry.compare(entry.size() - c.EntryEnd.size(), std::string::npos, c.EntryEnd) == 0)
                << c.Jar << ": " << entry;
        }
        if (existed) {
            EXPECT_EQ(testutil::ReadFile(dir / c.Jar), before) << c.Jar;
        }
    }
    EXPECT_EQ(runner.Errors().size(), std::size(cases));
}

// A settings file that cannot be written costs the setting, never the program: the close goes on.
TEST(SafeRun, ASettingsFileThatCannotBeWrittenDoesNotStopTheProgram) {
    testutil::TTempDir dir;
    testutil::WriteFile(dir / "a-file", std::string("not a folder"));
    EXPECT_FALSE(app::SaveBackupSetting(dir / "a-file/grandvue.ini", true));
    EXPECT_FALSE(app::SaveBackupSetting(dir / "a-file/grandvue.ini", false));
    EXPECT_FALSE(app::LoadBackupSetting(dir / "a-file/grandvue.ini"));
#ifndef _WIN32
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string savedValue = saved ? saved : "";
    ::setenv("XDG_CONFIG_HOME", (dir / "a-file").c_str(), 1);
    EXPECT_EQ(app::SettingsPath(), dir / "a-file/grandvue/grandvue.ini");
    TJobRunner runner;
    bool canClose = true;
    runner.Form().FormCloseQuery(&runner.Form(), canClose);
    EXPECT_TRUE(canClose);
    saved ? ::setenv("XDG_CONFIG_HOME", savedValue.c_str(), 1) : ::unsetenv("XDG_CONFIG_HOME");
#endif
}

TEST(SafeRun, SettingsAreWrittenThroughAFreshFileAndKeepTheOtherKeys) {
    testutil::TTempDir dir;
    const std::string ini = dir / "new-folder/grandvue.ini";
    app::WriteBackupSetting(ini, true);  // the folder is made on first use
    testutil::WriteFile(ini, std::string("[Other]\r\nKey=kept\r\n[Grandvue]\r\nBackup=1\r\n"));
    app::WriteBackupSetting(ini, false);
    EXPECT_FALSE(app::ReadBackupSetting(ini));
    EXPECT_EQ(platform::GetPrivateProfileString("Other", "Key", "", ini), "kept");
    platform::TFindHandle find;
    platform::TFindData data;
    int files = 0;
    for (bool more = find.First(dir / "new-folder/*", data); more; more = find.Next(data))
        files += (data.Attr & platform::faDirectory) ? 0 : 1;
    EXPECT_EQ(files, 1);  // no temporary file left beside it
}

#ifndef _WIN32
mode_t ModeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

// A link to a private jar: the jar it names is patched and keeps its rights, the link stays a link, the
// backup is as private as the jar, and nothing else appears in either folder.
TEST(SafeRun, ALinkedPrivateJarIsPatchedAtItsTargetAndKeepsItsRights) {
    testutil::TTempDir dir;
    const TTree tree = jobtest::SampleTree();
    const std::string target = dir / "store/real.jar";
    testutil::MakeDirs(dir / "store");
    testutil::MakeDirs(dir / "links");
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, target));
    ASSERT_EQ(::chmod(target.c_str(), 0600), 0);
    ASSERT_EQ(::symlink(target.c_str(), (dir / "links/game.jar").c_str()), 0);
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(true);
    runner.Run(dir / "links/game.jar");
    EXPECT_TRUE(runner.Errors().empty());
    struct stat st {};
    ASSERT_EQ(::lstat((dir / "links/game.jar").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    jobtest::ExpectPatched(target, tree);
    EXPECT_EQ(ModeOf(target), 0600u);
    EXPECT_EQ(ModeOf(target + ".bak"), 0600u);
    std::string listing;
    testutil::RunHost("cd " + testutil::Quote(dir.Path()) + " && find . | sort", &listing);
    EXPECT_EQ(listing, ".\n./links\n./links/game.jar\n./store\n./store/real.jar\n./store/real.jar.bak\n");
}

// A small file system of its own for one test (root only, as CI runs): a disk that fills up.
class TSmallDisk {
public:
    TSmallDisk(const std::string& folder, int kib) : FFolder(folder) {
        testutil::MakeDirs(folder);
        FMounted = ::geteuid() == 0 && testutil::RunHost("mount -t tmpfs -o size=" + std::to_string(kib) + "k tmpfs " +
                                                         testutil::Quote(folder) + " 2>/dev/null") == 0;
    }
    ~TSmallDisk() {
        if (FMounted)
            testutil::RunHost("umount " + testutil::Quote(FFolder));
    }
    TSmallDisk(const TSmallDisk&) = delete;
    TSmallDisk& operator=(const TSmallDisk&) = delete;
    bool Mounted() const { return FMounted; }

private:
    std::string FFolder;
    bool FMounted = false;
};

// $TMPDIR for one test.
class TTempDirSetting {
public:
    explicit TTempDirSetting(const std::string& folder) {
        const char* saved = std::getenv("TMPDIR");
        FHad = saved != nullptr;
        FSaved = saved ? saved : "";
        ::setenv("TMPDIR", folder.c_str(), 1);
    }
    ~TTempDirSetting() { FHad ? ::setenv("TMPDIR", FSaved.c_str(), 1) : ::unsetenv("TMPDIR"); }

private:
    bool FHad = false;
    std::string FSaved;
};

std::string Listing(const std::string& folder) {
    std::string out;
    testutil::RunHost("cd " + testutil::Quote(folder) + " && find . | sort", &out);
    return out;
}

// A temporary folder that is not there: the job stops before it begins, and says it is not the jar.
TEST(SafeRun, AMissingTemporaryFolderStopsTheJobWithTheJarUntouched) {
    testutil::TTempDir dir;
    const std::string jar = dir / "game.jar";
    ASSERT_TRUE(jobtest::PackWithPeer("zip", jobtest::SampleTree(), jar));
    const Bytes original = testutil::ReadFile(jar);
    TTempDirSetting tmp(dir / "no-such-folder");
    TJobRunner runner;
    runner.Form().cbBackup.SetChecked(false);
    runner.Run(jar);
    EXPECT_EQ(runner.Errors().size(), 1u);
    EXPECT_EQ(runner.Form().LastReport().Failure, TJobFailure::jfOther);
    EXPECT_EQ(testutil::ReadFile(jar), original);
    EXPECT_EQ(Listing(dir.Path()), ".\n./game.jar\n");
}

// The jar's own disk full when the backup is copied, and when the new jar is put beside the old one: the
// jar stays as it was and no part-written backup or temporary file is left beside it.
TEST(SafeRunFullDisk, ABackupOrNewJarThatDoesNotFitLeavesTheJarAndNoPartFile) {
    testutil::TTempDir dir;
    TSmallDisk disk(dir / "disk", 100);
    if (!disk.Mounted())
        GTEST_SKIP() << "needs root to mount a small file system";
    const std::string jar = dir / "disk/game.jar";
    ASSERT_TRUE(jobtest::PackWithPeer("zip", jobtest::SampleTree(), jar));
    const Bytes original = testutil::ReadFile(jar);
    const std::pair<bool, TJobFailure> cases[] = {{true, TJobFailure::jfBackupFailed},
                                                  {false, TJobFailure::jfDiskFull}};
    for (const auto& [backup, failure] : cases) {
        TJobRunner runner;
        runner.Form().cbBackup.SetChecked(backup);
        runner.Run(jar);
        EXPECT_EQ(runner.Errors().size(), 1u);
        EXPECT_EQ(runner.Form().LastReport().Failure, failure) << backup;
        EXPECT_EQ(runner.Form().LastReport().SystemError, static_cast<int>(platform::kErrorDiskFull)) << backup;
        EXPECT_EQ(testutil::ReadFile(jar), original);
        EXPECT_EQ(Listing(dir / "disk"), ".\n./game.jar\n") << backup;
    }
}

// The temporary folder's disk full while unpacking and while packing: the run's folder goes with the
// writer's temporary archive, and the jar stays as it was.
TEST(SafeRunFullDisk, ATemporaryFolderThatFillsUpIsClearedAndTheJarKept) {
    testutil::TTempDir dir;
    jobtest::TTree tree = jobtest::SampleTree();
    tree["res/more.bin"] = testutil::RandomBytes(60000, 77);
    const std::string jar = dir / "game.jar";
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, jar));
    const Bytes original = testutil::ReadFile(jar);
    // Full while unpacking (two log lines), full while packing (five).
    for (const auto& [kib, lines] : {std::pair{60, size_t{2}}, std::pair{200, size_t{5}}}) {
        TSmallDisk disk(dir / "tmp", kib);
        if (!disk.Mounted())
            GTEST_SKIP() << "needs root to mount a small file system";
        TTempDirSetting tmp(dir / "tmp");
        TJobRunner runner;
        runner.Form().cbBackup.SetChecked(false);
        runner.Run(jar);
        EXPECT_EQ(runner.Errors().size(), 1u) << kib;
        EXPECT_EQ(runner.Log().size(), lines) << kib;
        EXPECT_EQ(runner.Form().LastReport().Failure, TJobFailure::jfDiskFull) << kib;
        EXPECT_EQ(testutil::ReadFile(jar), original) << kib;
        EXPECT_EQ(Listing(dir / "tmp"), ".\n") << kib;
    }
    EXPECT_EQ(Listing(dir.Path()), ".\n./game.jar\n./tmp\n");
}

// A settings file on a full disk keeps its old content: the new one is written beside it first.
TEST(SafeRunFullDisk, ASettingsFileOnAFullDiskKeepsItsOldContent) {
    testutil::TTempDir dir;
    TSmallDisk disk(dir / "disk", 16);
    if (!disk.Mounted())
        GTEST_SKIP() << "needs root to mount a small file system";
    const std::string ini = dir / "disk/grandvue.ini";
    const std::string old = "[Other]\r\nKey=" + std::string(200, 'k') + "\r\n[Grandvue]\r\nBackup=1\r\n";
    testutil::WriteFile(ini, old);
    testutil::RunHost("cat /dev/zero > " + testutil::Quote(dir / "disk/filler") + " 2>/dev/null");
    EXPECT_THROW(app::WriteBackupSetting(ini, false), fw::Exception);
    EXPECT_EQ(testutil::ReadText(ini), old);
    EXPECT_EQ(Listing(dir / "disk"), ".\n./filler\n./grandvue.ini\n");
}
#endif

}  // namespace
