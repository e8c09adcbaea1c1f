// The Linux front end as a user runs it: options, several jars in one call, exit status, settings.
#include <gtest/gtest.h>

#include "JobFixture.h"

namespace {

// A copy of the program in a scratch folder, so its "temp" folder and settings file are its own.
class FrontEnd : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(testutil::RunHost("cp " + testutil::Quote(GV_GRANDVUE) + " " + testutil::Quote(FDir.Path())), 0);
    }
    int Run(const std::string& args, std::string* out = nullptr, const std::string& redirect = "2>&1") {
        return testutil::RunHost(testutil::Quote(FDir / "grandvue") + " " + args + " " + redirect, out);
    }
    std::string Settings() { return testutil::Exists(FDir / "grandvue.ini") ? testutil::ReadText(FDir / "grandvue.ini") : ""; }
    testutil::TTempDir FDir;
};

TEST_F(FrontEnd, HelpAboutAndBadUsage) {
    std::string out;
    EXPECT_EQ(Run("--help", &out), 0);
    EXPECT_NE(out.find("grandvue [--backup | --no-backup] FILE.jar..."), std::string::npos);
    EXPECT_EQ(Run("--about", &out), 0);
    EXPECT_NE(out.find("Oru Grandvue v1.0"), std::string::npos) << out;
    EXPECT_NE(out.find("для телефонов Motorola C650 и C380"), std::string::npos) << out;
    EXPECT_EQ(Run("", &out), 2);
    EXPECT_EQ(Run("--frobnicate x.jar", &out), 2);
}

TEST_F(FrontEnd, PatchesSeveralJarsPrintsTheLogInUtf8AndKeepsTheBackupSetting) {
    testutil::TTempDir jars;
    const jobtest::TTree tree = jobtest::SampleTree();
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, jars / "a.jar"));
    ASSERT_TRUE(jobtest::PackWithPeer("python", tree, jars / "b.jar"));
    std::string out;
    EXPECT_EQ(Run("--backup " + testutil::Quote(jars / "a.jar") + " " + testutil::Quote(jars / "b.jar"), &out), 0)
        << out;
    EXPECT_NE(out.find("Инициализация\nСоздание backup копии jar файла\n"), std::string::npos) << out;
    EXPECT_NE(out.find("Работа завершена\nИнициализация"), std::string::npos) << out;
    jobtest::ExpectPatched(jars / "a.jar", tree);
    jobtest::ExpectPatched(jars / "b.jar", tree);
    EXPECT_TRUE(testutil::Exists(jars / "a.jar.bak"));
    EXPECT_NE(Settings().find("Backup=1"), std::string::npos);
    EXPECT_FALSE(testutil::Exists(FDir / "temp"));

    // The box stays ticked for the next call, as the window would remember it.
    ASSERT_TRUE(jobtest::PackWithPeer("zip", tree, jars / "c.jar"));
    EXPECT_EQ(Run(testutil::Quote(jars / "c.jar"), &out), 0);
    EXPECT_TRUE(testutil::Exists(jars / "c.jar.bak"));
    EXPECT_EQ(Run("--no-backup " + testutil::Quote(jars / "c.jar"), &out), 0);
    EXPECT_NE(Settings().find("Backup=0"), std::string::npos);
}

TEST_F(FrontEnd, AFailedJobGivesExitStatusOneAndTheMessageOnStderr) {
    testutil::TTempDir jars;
    testutil::WriteFile(jars / "bad.jar", std::string("this is not an archive at all, just text"));
    ASSERT_TRUE(jobtest::PackWithPeer("zip", jobtest::SampleTree(), jars / "good.jar"));
    std::string err;
    EXPECT_EQ(Run("--no-backup " + testutil::Quote(jars / "bad.jar") + " " + testutil::Quote(jars / "good.jar"), &err,
                  "2>&1 >/dev/null"),
              1);
    // The default error display's text: the message with a full stop, captioned with the title.
    EXPECT_NE(err.find("Grandvue: Не удалось распаковать файл " + jars / "bad.jar" + ". Файл не изменён."),
              std::string::npos)
        << err;
    EXPECT_EQ(testutil::ReadText(jars / "bad.jar"), "this is not an archive at all, just text");
    jobtest::ExpectPatched(jars / "good.jar", jobtest::SampleTree());
}

}  // namespace
