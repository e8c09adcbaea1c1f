// The main window as a real window: the settings file on start and close, the patch job started from
// its button, the About dialog opened and closed with real clicks; and the README screenshots.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>

#include "TestUtil.h"
#include "app/Settings.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "framework/Dialogs.h"
#include "platform/Platform.h"
#include "tests/framework/gui/GuiDriver.h"

namespace {

struct RealMainWindow : testing::Test {
    std::unique_ptr<app::Tfrm> frm;
    std::vector<std::string> errors;

    static void SetUpTestSuite() {
        if (!app::frmAbout)
            fw::CreateForm(app::frmAbout);
    }
    void SetUp() override {
        platform::DeleteFile(app::SettingsPath());
        fw::Application().OnException = [this](fw::TObject*, const std::exception& e) { errors.push_back(e.what()); };
    }
    void TearDown() override {
        frm.reset();
        platform::DeleteFile(app::SettingsPath());
        fw::Application().OnException = nullptr;
    }
    // The main window as the program starts it (not made the application's main form, so closing it
    // leaves the test program running).
    HWND Start() {
        frm = std::make_unique<app::Tfrm>(&fw::Application());
        frm->DoCreate();
        frm->Show();
        HWND w = guitest::WindowOf(*frm);
        guitest::WaitActive(w);
        return w;
    }
    void ClickButton(HWND w, const controls::TSelButton& button) {
        guitest::Click(w, button.Left() + 20, button.Top() + 10);
    }
    std::string StoredBackup() {
        return platform::GetPrivateProfileString("Grandvue", "Backup", "<missing>", app::SettingsPath());
    }
};

TEST_F(RealMainWindow, FirstCloseCreatesTheSettingsFileWithBackupOff) {
    HWND w = Start();
    EXPECT_FALSE(frm->cbBackup.Checked());
    ClickButton(w, frm->btnExit);
    EXPECT_EQ(StoredBackup(), "0");
    EXPECT_FALSE(IsWindowVisible(w));
}

TEST_F(RealMainWindow, StoredValuesDecideTheBox) {
    const std::pair<const char*, bool> cases[] = {
        {"0x1", true}, {"-1", true}, {"yes", false}, {"1", true}, {"0", false}};
    for (auto [value, ticked] : cases) {
        SCOPED_TRACE(value);
        ASSERT_TRUE(platform::WritePrivateProfileString("Grandvue", "Backup", value, app::SettingsPath()));
        Start();
        EXPECT_EQ(frm->cbBackup.Checked(), ticked);
        EXPECT_EQ(SendMessageW(guitest::WindowOf(frm->cbBackup), BM_GETCHECK, 0, 0),
                  ticked ? BST_CHECKED : BST_UNCHECKED);
        frm.reset();
    }
}

TEST_F(RealMainWindow, TickingTheBoxAndQuittingStoresOne) {
    HWND w = Start();
    SendMessageW(guitest::WindowOf(frm->cbBackup), BM_CLICK, 0, 0);
    guitest::Pump();
    ClickButton(w, frm->btnExit);
    EXPECT_EQ(StoredBackup(), "1");
    Start();
    EXPECT_TRUE(frm->cbBackup.Checked());
}

TEST_F(RealMainWindow, UnwritableSettingsFileKeepsTheWindowOpen) {
    HWND w = Start();
    ASSERT_TRUE(platform::CreateDirectory(app::SettingsPath()));  // a folder where the file should be
    ClickButton(w, frm->btnExit);
    platform::RemoveDirectory(app::SettingsPath());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Unable to write to " + app::SettingsPath());
    EXPECT_TRUE(IsWindowVisible(w));
}

TEST_F(RealMainWindow, AboutOpensAndOkClosesItAgainAndAgain) {
    HWND w = Start();
    app::frmAbout->Show();
    app::frmAbout->Hide();
    HWND about = guitest::WindowOf(*app::frmAbout);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        // The About click runs the modal loop, which finds the Ok click waiting.
        guitest::PostClick(w, frm->btnAbout.Left() + 20, frm->btnAbout.Top() + 10);
        guitest::PostClick(about, app::frmAbout->btnOk.Left() + 46, app::frmAbout->btnOk.Top() + 10);
        PostMessageW(about, WM_CLOSE, 0, 0);
        guitest::Pump();
        EXPECT_FALSE(IsWindowVisible(about));
        EXPECT_EQ(app::frmAbout->ModalResult(), fw::mrOk);
    }
    EXPECT_TRUE(errors.empty());
}

// Writes a jar with one class naming the canvas class, made by Info-ZIP's zip.
std::string MakeJar(const testutil::TTempDir& dir) {
    std::string cls = std::string("\xCA\xFE\xBA\xBE", 4) + "javax/microedition/lcdui/Canvas";
    testutil::WriteFile(dir / "game/Main.class", cls);
    testutil::RunHost("cd " + testutil::Quote(testutil::ToHostPath(dir / "game")) + " && zip -q -r ../game.jar .");
    return dir / "game.jar";
}

TEST_F(RealMainWindow, JarButtonWithAnAnsweredDialogRunsTheJobAndFillsTheLog) {
    if (!testutil::HostHas("zip"))
        GTEST_SKIP() << "zip missing";
    testutil::TTempDir dir;
    std::string jar = MakeJar(dir);
    HWND w = Start();
    fw::TOpenDialog::QueueAnswer(jar);
    ClickButton(w, frm->btnJar);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors[0]);
    EXPECT_GE(frm->mem.Lines().Count(), 6);
    EXPECT_GT(GetWindowTextLengthW(guitest::WindowOf(frm->mem)), 20);
    std::string listing;
    testutil::RunHost("unzip -l " + testutil::Quote(testutil::ToHostPath(jar)), &listing);
    EXPECT_NE(listing.find("com/vidorurud/fullscreen/WideCv.class"), std::string::npos);
    // The README's pictures, when asked for.
    if (const char* folder = std::getenv("GV_SCREENSHOTS")) {
        guitest::MoveTo(w, 400, 5);
        guitest::SaveWindow(w, std::string(folder) + "\\main-window.bmp");
        app::frmAbout->Show();
        guitest::Pump();
        guitest::SaveWindow(guitest::WindowOf(*app::frmAbout), std::string(folder) + "\\about.bmp");
        app::frmAbout->Hide();
    }
}

}  // namespace
