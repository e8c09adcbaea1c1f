// The failure reasons both front ends show: every kind worded in both languages, entries named, texts joined.
#include <gtest/gtest.h>

#include <string>

#include "app/job/Reasons.h"
#include "app/job/Texts.h"
#include "platform/Platform.h"

namespace {

using app::TJobFailure;

class Reasons : public testing::Test {
protected:
    void TearDown() override { app::SetLanguage(app::TLanguage::Russian); }
};

app::TJobReport Failed(TJobFailure failure, const std::string& entry = "", const std::string& detail = "") {
    app::TJobReport report;
    report.Failure = failure;
    report.Entry = entry;
    report.Detail = detail;
    return report;
}

// The reason in UTF-8 for comparing (the Russian texts are Windows-1251 unless a name made them UTF-8).
std::string Shown(const app::TJobReport& report) {
    const std::string line = app::ReasonLine(report);
    return platform::IsUtf8(line) ? line : platform::Cp1251ToUtf8(line);
}

TEST_F(Reasons, EveryFailureKindHasItsLineInBothLanguagesNamingTheEntry) {
    const struct {
        TJobFailure Failure;
        std::string Entry;
        std::string English;
        std::string Russian;
    } cases[] = {
        {TJobFailure::jfNotFound, "", "no such file", "файл не найден"},
        {TJobFailure::jfAccessDenied, "", "permission denied", "доступ запрещён"},
        {TJobFailure::jfIsFolder, "", "is a folder, not a jar file", "это папка, а не jar-файл"},
        {TJobFailure::jfNotArchive, "", "not a ZIP/JAR archive", "не является архивом ZIP/JAR"},
        {TJobFailure::jfDamaged, "a/B.class", "damaged archive: entry a/B.class cannot be read",
         "архив повреждён: не читается элемент a/B.class"},
        {TJobFailure::jfDamaged, "", "damaged archive", "архив повреждён"},
        {TJobFailure::jfUnsupportedMethod, "x.png", "entry x.png uses a compression method grandvue cannot read",
         "элемент x.png сжат методом, который grandvue не читает"},
        {TJobFailure::jfEncrypted, "x.png", "entry x.png is encrypted", "элемент x.png зашифрован"},
        {TJobFailure::jfNameNotRepresentable, "res/name.txt",
         "the name of entry res/name.txt cannot be written on this system",
         "имя элемента res/name.txt нельзя записать в этой системе"},
        {TJobFailure::jfDiskFull, "big.bin", "disk full while writing big.bin", "диск заполнен при записи big.bin"},
        {TJobFailure::jfDiskFull, "", "disk full", "диск заполнен"},
        {TJobFailure::jfReadOnlyFolder, "", "its folder cannot be written", "в его папку нельзя записывать"},
        {TJobFailure::jfCheckFailed, "x.png", "the rebuilt archive is incomplete (entry x.png)",
         "новый архив получился неполным (элемент x.png)"},
        {TJobFailure::jfBackupFailed, "", "could not make the backup copy", "не удалось создать резервную копию"},
        {TJobFailure::jfInterrupted, "", "interrupted", "прервано"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.English);
        app::SetLanguage(app::TLanguage::English);
        EXPECT_EQ(Shown(Failed(c.Failure, c.Entry)), c.English);
        app::SetLanguage(app::TLanguage::Russian);
        EXPECT_EQ(Shown(Failed(c.Failure, c.Entry)), c.Russian);
    }
}

TEST_F(Reasons, ARefusedScreenClassSaysWhichAndWhy) {
    app::SetLanguage(app::TLanguage::English);
    EXPECT_EQ(Shown(Failed(TJobFailure::jfRelinkRefused, "g/Screen.class", "it calls a Canvas constructor")),
              "screen class g/Screen.class cannot be moved onto WideCv (it calls a Canvas constructor)");
    app::SetLanguage(app::TLanguage::Russian);
    EXPECT_EQ(Shown(Failed(TJobFailure::jfRelinkRefused, "g/Screen.class", "why")),
              "класс экрана g/Screen.class нельзя перенести на WideCv (why)");
}

TEST_F(Reasons, OnlyAFailureWithoutAKnownReasonHasNoLineAndOnlyAFileThatWasThereStaysAsItWas) {
    for (int kind = static_cast<int>(TJobFailure::jfNone); kind <= static_cast<int>(TJobFailure::jfOther); ++kind) {
        const auto failure = static_cast<TJobFailure>(kind);
        SCOPED_TRACE(kind);
        const bool known = failure != TJobFailure::jfNone && failure != TJobFailure::jfOther;
        for (app::TLanguage language : {app::TLanguage::English, app::TLanguage::Russian}) {
            app::SetLanguage(language);
            EXPECT_EQ(app::ReasonLine(Failed(failure, "e")).empty(), !known);
        }
        const bool absent = failure == TJobFailure::jfNotFound || failure == TJobFailure::jfIsFolder;
        EXPECT_EQ(app::FailureLeavesFile(failure), known && !absent);
    }
}

// The box shows the job's text as the error display words it, then the reason; a name outside ASCII makes
// both lines UTF-8 so neither is garbled.
TEST_F(Reasons, TheMessageKeepsItsFirstLineAndGainsTheReasonBelow) {
    app::SetLanguage(app::TLanguage::Russian);
    const std::string message = "\xD4\xE0\xE9\xEB g.jar";  // "Файл g.jar"
    EXPECT_EQ(app::MessageWithReason(message, Failed(TJobFailure::jfDamaged, "a.txt")),
              message + ".\n" + app::ReasonLine(Failed(TJobFailure::jfDamaged, "a.txt")));
    EXPECT_EQ(app::MessageWithReason(message, Failed(TJobFailure::jfOther)), message + ".");
    EXPECT_EQ(app::MessageWithReason(message, Failed(TJobFailure::jfDamaged, "res/naïve.txt")),
              "Файл g.jar.\nархив повреждён: не читается элемент res/naïve.txt");
}

TEST_F(Reasons, JoinedTextsShareOneEncoding) {
    const std::string russian1251 = "\xEF\xF0\xE5\xF0\xE2\xE0\xED\xEE";  // "прервано"
    EXPECT_EQ(app::JoinTexts("a.jar", ": ", russian1251), "a.jar: " + russian1251);
    EXPECT_EQ(app::JoinTexts("игра.jar", ": ", russian1251), "игра.jar: прервано");
    EXPECT_EQ(app::JoinTexts(russian1251, " ", "naïve"), "прервано naïve");
    EXPECT_EQ(app::JoinTexts("игра.jar", ": ", "naïve"), "игра.jar: naïve");
}

}  // namespace
