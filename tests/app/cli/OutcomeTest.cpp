// The wording of a job's outcome from hand-made reports: every reason, entry names, the summary's cases.
#include <gtest/gtest.h>

#include "app/cli/Outcome.h"
#include "app/job/PatchRule.h"
#include "app/job/Texts.h"

namespace {

using app::TJobFailure;

class Outcome : public testing::Test {
protected:
    void SetUp() override { app::SetLanguage(app::TLanguage::English); }
    void TearDown() override { app::SetLanguage(app::TLanguage::Russian); }
};

app::TJobReport Failed(TJobFailure failure, const std::string& entry = "") {
    app::TJobReport report;
    report.Failure = failure;
    report.Entry = entry;
    return report;
}

TEST_F(Outcome, EachReasonHasItsOwnLineAndOnlyAnExistingFileIsToldItIsUnchanged) {
    const struct {
        TJobFailure Failure;
        std::string Entry;
        std::string Line;
    } cases[] = {
        {TJobFailure::jfNotFound, "", "g.jar: no such file"},
        {TJobFailure::jfIsFolder, "", "g.jar: is a folder, not a jar file"},
        {TJobFailure::jfAccessDenied, "", "g.jar: permission denied; the file is unchanged"},
        {TJobFailure::jfNotArchive, "", "g.jar: not a ZIP/JAR archive; the file is unchanged"},
        {TJobFailure::jfDamaged, "a/B.class",
         "g.jar: damaged archive: entry a/B.class cannot be read; the file is unchanged"},
        {TJobFailure::jfDamaged, "", "g.jar: damaged archive; the file is unchanged"},
        {TJobFailure::jfUnsupportedMethod, "a/B.class",
         "g.jar: entry a/B.class uses a compression method grandvue cannot read; the file is unchanged"},
        {TJobFailure::jfDiskFull, "", "g.jar: disk full; the file is unchanged"},
        {TJobFailure::jfReadOnlyFolder, "", "g.jar: its folder cannot be written; the file is unchanged"},
        {TJobFailure::jfCheckFailed, "x.png",
         "g.jar: the rebuilt archive is incomplete (entry x.png); the file is unchanged"},
        {TJobFailure::jfBackupFailed, "", "g.jar: could not make the backup copy; the file is unchanged"},
        {TJobFailure::jfInterrupted, "", "g.jar: interrupted; the file is unchanged"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(cli::FailureLine("g.jar", Failed(c.Failure, c.Entry), "job text"), c.Line);
}

TEST_F(Outcome, AReasonTheCommandLineDoesNotKnowShowsTheJobsOwnMessageInUtf8) {
    EXPECT_EQ(cli::FailureLine("g.jar", Failed(TJobFailure::jfOther), "I/O error 1117"), "g.jar: I/O error 1117");
    // The job's Russian texts are Windows-1251 bytes; one that names the archive is not named again.
    app::TJobReport report = Failed(TJobFailure::jfNone);
    report.Archive = "/games/g.jar";
    EXPECT_EQ(cli::FailureLine("g.jar", report, "\xD4\xE0\xE9\xEB /games/g.jar"), "Файл /games/g.jar");
    EXPECT_EQ(cli::FailureLine("g.jar", report, "\xD4\xE0\xE9\xEB"), "g.jar: Файл");
}

TEST_F(Outcome, TheSummaryCountsTheUsersClassesAndTellsWhyNoneChanged) {
    app::TJobReport report;
    report.ChangedClasses = {{"a/B.class", 3}, {"a/C.class", 2}};
    report.Replacements = 5;
    EXPECT_EQ(cli::SummaryLines(report, cli::TVerbosity::Normal),
              std::vector<std::string>{"2 class files changed, 5 occurrences replaced"});
    EXPECT_EQ(cli::SummaryLines(report, cli::TVerbosity::Verbose),
              (std::vector<std::string>{"  a/B.class: 3", "  a/C.class: 2",
                                        "2 class files changed, 5 occurrences replaced"}));

    // The old full-screen class of a jar patched before is no change of the user's.
    report.ChangedClasses.push_back({app::kPayloadEntryName, 1});
    report.Replacements = 6;
    EXPECT_EQ(cli::SummaryLines(report, cli::TVerbosity::Verbose),
              (std::vector<std::string>{"  a/B.class: 3", "  a/C.class: 2",
                                        "2 class files changed, 5 occurrences replaced"}));
    report.ChangedClasses = {{app::kPayloadEntryName, 1}};
    report.Replacements = 1;
    EXPECT_EQ(cli::SummaryLines(report, cli::TVerbosity::Verbose),
              std::vector<std::string>{"no class file changed: the jar was patched before (it already holds "
                                       "com/vidorurud/fullscreen/WideCv.class)"});
    report.ChangedClasses = {{"a/B.class", 1}};
    report.Replacements = 1;
    EXPECT_EQ(cli::SummaryLines(report, cli::TVerbosity::Normal),
              std::vector<std::string>{"1 class file changed, 1 occurrence replaced"});
    app::SetLanguage(app::TLanguage::Russian);
    EXPECT_EQ(cli::SummaryLines(report, cli::TVerbosity::Normal),
              std::vector<std::string>{"изменено файлов классов: 1, замен: 1"});
    app::SetLanguage(app::TLanguage::English);
    EXPECT_EQ(cli::SummaryLines(app::TJobReport{}, cli::TVerbosity::Normal),
              std::vector<std::string>{
                  "no class file changed: none refers to the MIDP canvas javax/microedition/lcdui/Canvas"});
}

}  // namespace
