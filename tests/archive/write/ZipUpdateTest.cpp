// Tests of TJar on an existing archive: adding, duplicates, replacing, deleting, non-writeable archives.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "archive/Messages.h"
#include "archive/write/Jar.h"
#include "tests/TestUtil.h"
#include "tests/archive/WriterFixtures.h"

namespace {

using platform::PathDelim;

class ZipUpdate : public ::testing::Test {
protected:
    ZipUpdate() {
        testutil::WriteFile(Work() + PathDelim + "a.txt", std::string("first version of a"));
        FJar.OnError = [this](fw::TObject*, const std::string&, const std::string& ext, const std::string&,
                              int32_t code) {
            FErrors.push_back({code, ext});
        };
    }
    std::string Work() const { return FDir / "work"; }
    std::string Target() const { return FDir / "game.jar"; }
    int32_t Compress(archive::TSwitch sw = archive::swAdd, const std::string& mask = "*.*") {
        FJar.SetArchiveFile(Target());
        FJar.SetSwitch(sw);
        FJar.FileSpec = {sw == archive::swDelete ? mask : Work() + PathDelim + mask};
        return FJar.Compress();
    }
    std::set<std::string> Names() {
        std::set<std::string> names;
        for (const auto& e : writertest::ParseArchive(testutil::ReadFile(Target())).Entries)
            names.insert(e.CentralName);
        return names;
    }
    bool Reported(int32_t code, const std::string& ext) const {
        return std::any_of(FErrors.begin(), FErrors.end(),
                           [&](const auto& e) { return e.first == code && e.second == ext; });
    }

    testutil::TTempDir FDir;
    archive::TJar FJar;
    std::vector<std::pair<int32_t, std::string>> FErrors;
};

TEST_F(ZipUpdate, AddsNewFilesBehindTheEntriesOfAnArchiveMadeByZip) {
    if (!testutil::HostHas("zip"))
        GTEST_SKIP() << "Info-ZIP zip is missing";
    testutil::WriteFile(FDir / "old/keep.txt", std::string(500, 'k'));
    ASSERT_EQ(testutil::RunHost("cd " + testutil::Quote(testutil::ToHostPath(FDir / "old")) + " && zip -q " +
                                testutil::Quote(testutil::ToHostPath(Target())) + " keep.txt"),
              0);
    EXPECT_EQ(Compress(), 1);
    EXPECT_EQ(Names(), (std::set<std::string>{"keep.txt", "a.txt"}));
    EXPECT_EQ(writertest::PeerCheck(Target()), "");
}

TEST_F(ZipUpdate, UnchangedFileIsNotAddedTwice) {
    ASSERT_EQ(Compress(), 1);
    const testutil::Bytes before = testutil::ReadFile(Target());
    EXPECT_EQ(Compress(), 0);
    EXPECT_EQ(testutil::ReadFile(Target()), before);
}

TEST_F(ZipUpdate, ChangedFileNeedsOnReplaceFileToReplaceTheEntry) {
    ASSERT_EQ(Compress(), 1);
    testutil::WriteFile(Work() + PathDelim + "a.txt", std::string("second, longer version of a"));
    EXPECT_EQ(Compress(), 0);
    EXPECT_TRUE(Reported(archive::kMsgRequiredEventNotAssigned, "OnReplaceFile"));
    auto parsed = writertest::ParseArchive(testutil::ReadFile(Target()));
    ASSERT_EQ(parsed.Entries.size(), 1u);
    EXPECT_EQ(parsed.Entries[0].Central.UncompressedSize, 18u);

    FJar.OnReplaceFile = [](fw::TObject*, const std::string&, const std::string&, uint32_t, uint32_t, int64_t, int64_t,
                            int32_t, int32_t, bool& replace) { replace = true; };
    EXPECT_EQ(Compress(), 1);
    parsed = writertest::ParseArchive(testutil::ReadFile(Target()));
    ASSERT_EQ(parsed.Entries.size(), 1u);
    EXPECT_EQ(parsed.Entries[0].Central.UncompressedSize, 27u);
    EXPECT_EQ(writertest::PeerCheck(Target()), "");
}

TEST_F(ZipUpdate, DeleteSwitchDropsMatchingEntries) {
    testutil::WriteFile(Work() + PathDelim + "b.class", std::string("b"));
    ASSERT_EQ(Compress(), 2);
    EXPECT_EQ(Compress(archive::swDelete, "*.class"), 1);
    EXPECT_EQ(Names(), std::set<std::string>{"a.txt"});
    EXPECT_EQ(writertest::PeerCheck(Target()), "");
}

TEST_F(ZipUpdate, MoveSwitchDeletesTheSourcesItPacked) {
    EXPECT_EQ(Compress(archive::swMove), 1);
    EXPECT_EQ(Names(), std::set<std::string>{"a.txt"});
    EXPECT_FALSE(testutil::Exists(Work() + PathDelim + "a.txt"));
}

TEST_F(ZipUpdate, ReadOnlyArchiveIsLeftAloneWithoutOnNonWriteableArchive) {
    ASSERT_EQ(Compress(), 1);
    testutil::WriteFile(Work() + PathDelim + "b.txt", std::string("b"));
    ASSERT_TRUE(platform::SetFileAttributes(Target(), platform::faReadOnly));
    const testutil::Bytes before = testutil::ReadFile(Target());
    EXPECT_EQ(Compress(), 0);
    EXPECT_TRUE(Reported(archive::kMsgRequiredEventNotAssigned, "OnNonWriteableArchive"));
    EXPECT_EQ(testutil::ReadFile(Target()), before);

    FJar.OnNonWriteableArchive = [](fw::TObject*, const std::string&, bool& write) { write = true; };
    EXPECT_EQ(Compress(), 1);
    EXPECT_EQ(Names(), (std::set<std::string>{"a.txt", "b.txt"}));
    platform::SetFileAttributes(Target(), platform::faNormal);
}

}  // namespace
