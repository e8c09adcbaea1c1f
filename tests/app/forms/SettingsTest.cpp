// The backup setting: how stored texts read, and what a close request writes.
#include <gtest/gtest.h>

#include "TestUtil.h"
#include "app/forms/Settings.h"
#include "framework/Exceptions.h"

namespace {

TEST(SettingsParse, ReadsHexOnlyAfterAnOxPrefixAndDecimalOtherwise) {
    struct TCase {
        const char* text;
        std::optional<long long> value;
    } const cases[] = {
        {"1", 1},     {"0", 0},           {"-1", -1},  {"0x1", 1},
        {"0X1f", 31}, {"0xFFFFFFFF", -1}, {"12", 12},  {"+7", 7},
        {"yes", {}},  {"", {}},           {"0x", {}},  {"0xG", {}},
        {"1 ", {}},   {"$1", {}},         {"1.0", {}}, {"99999999999", {}},
        {"-", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(app::ParseProfileInteger(c.text), c.value) << c.text;
}

TEST(SettingsFile, MissingFileSectionOrKeyLeavesTheBoxUnticked) {
    testutil::TTempDir dir;
    EXPECT_FALSE(app::ReadBackupSetting(dir / "none.ini"));
    testutil::WriteFile(dir / "a.ini", "[Other]\nBackup=1\n");
    EXPECT_FALSE(app::ReadBackupSetting(dir / "a.ini"));
    testutil::WriteFile(dir / "b.ini", "[Grandvue]\nOther=1\n");
    EXPECT_FALSE(app::ReadBackupSetting(dir / "b.ini"));
}

TEST(SettingsFile, StoredValuesTickTheBoxWhenNonZero) {
    testutil::TTempDir dir;
    const std::pair<const char*, bool> cases[] = {{"1", true},  {"0", false},   {"0x1", true},
                                                  {"-1", true}, {"yes", false}, {"0x0", false}};
    for (const auto& [text, ticked] : cases) {
        testutil::WriteFile(dir / "g.ini", std::string("[grandvue]\r\nBACKUP=") + text + "\r\n");
        EXPECT_EQ(app::ReadBackupSetting(dir / "g.ini"), ticked) << text;
    }
}

TEST(SettingsFile, WritingCreatesTheFileAndSectionAndReadsBack) {
    testutil::TTempDir dir;
    const std::string ini = dir / "x.ini";
    app::WriteBackupSetting(ini, false);
    const std::string text = testutil::ReadText(ini);
    EXPECT_NE(text.find("[Grandvue]"), std::string::npos);
    EXPECT_NE(text.find("Backup=0"), std::string::npos);
    app::WriteBackupSetting(ini, true);
    EXPECT_TRUE(app::ReadBackupSetting(ini));
}

TEST(SettingsFile, UnwritableFileRaisesUnableToWrite) {
    testutil::TTempDir dir;
    testutil::WriteFile(dir / "a-file", std::string("not a folder"));
    const std::string ini = dir / "a-file/x.ini";
    try {
        app::WriteBackupSetting(ini, true);
        FAIL() << "no exception";
    } catch (const fw::Exception& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + ini);
    }
}

}  // namespace
