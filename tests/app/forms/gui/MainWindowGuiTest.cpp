// The main window as a real window: the settings file on start and close, the patch job started from
// its button, the About dialog opened and closed with real clicks; and the README screenshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "TestUtil.h"
#include "app/forms/AboutForm.h"
#include "app/forms/MainForm.h"
#include "app/forms/Settings.h"
#include "framework/Dialogs.h"
#include "platform/Platform.h"
#include "tests/framework/gui/GuiDriver.h"

namespace {

constexpr fw::TColor kPanelFill = 16052200;

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

// The user is told once, and the program can still be closed.
TEST_F(RealMainWindow, UnwritableSettingsFileIsToldOnceAndTheWindowStillCloses) {
    HWND w = Start();
    ASSERT_TRUE(platform::CreateDirectory(app::SettingsPath()));  // a folder where the file should be
    ClickButton(w, frm->btnExit);
    platform::RemoveDirectory(app::SettingsPath());
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], "Unable to write to " + app::SettingsPath());
    EXPECT_FALSE(IsWindowVisible(w));
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
        // The pointer was left on the dialog's Ok, away from the button: no hover look stays behind.
        EXPECT_EQ(guitest::Pixel(w, frm->btnAbout.Left() + 130, frm->btnAbout.Top() + 10), kPanelFill);
    }
    EXPECT_TRUE(errors.empty());
}

// Writes a jar with one class naming the canvas class, made by Info-ZIP's zip.
std::string MakeJar(const testutil::TTempDir& dir, const std::string& name = "game") {
    std::string cls = std::string("\xCA\xFE\xBA\xBE", 4) + "javax/microedition/lcdui/Canvas";
    testutil::WriteFile(dir / (name + "/Main.class"), cls);
    testutil::RunHost("cd " + testutil::Quote(testutil::ToHostPath(dir / name)) + " && zip -q -r ../" + name +
                      ".jar .");
    return dir / (name + ".jar");
}

bool Patched(const std::string& jar) {
    std::string listing;
    testutil::RunHost("unzip -l " + testutil::Quote(testutil::ToHostPath(jar)), &listing);
    return listing.find("com/vidorurud/fullscreen/WideCv.class") != std::string::npos;
}

TEST_F(RealMainWindow, DroppedJarsArePatchedOneAfterAnotherWithTheBackupBox) {
    if (!testutil::HostHas("zip"))
        GTEST_SKIP() << "zip missing";
    testutil::TTempDir dir;
    const std::string first = MakeJar(dir, "first"), second = MakeJar(dir, "second");
    HWND w = Start();
    frm->cbBackup.SetChecked(true);
    guitest::PostDrop(w, {first, second});
    guitest::Pump();
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors[0]);
    EXPECT_TRUE(Patched(first));
    EXPECT_TRUE(Patched(second));
    EXPECT_TRUE(platform::FileExists(first + ".bak"));
    EXPECT_TRUE(platform::FileExists(second + ".bak"));
    EXPECT_EQ(frm->LastReport().Archive, second);
}

// The log of the visible main window of another process, or nothing while it has none.
std::wstring LogOfProcess(DWORD process) {
    struct TSearch {
        DWORD Process;
        HWND Log = nullptr;
    } search{process};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<TSearch*>(param);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == s->Process && IsWindowVisible(window))
                s->Log = FindWindowExW(window, nullptr, L"EDIT", nullptr);
            return s->Log == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    if (!search.Log)
        return {};
    // Another process's edit text comes only through its messages (GetWindowText reads the caption).
    wchar_t text[4096]{};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(search.Log, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return std::wstring(text, copied);
}

// The program started on `jar`, from the folder it lies in.
PROCESS_INFORMATION StartProgram(const std::string& program, const std::string& jar, const std::string& folder) {
    std::string command = "\"" + program + "\" \"" + jar + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    EXPECT_TRUE(
        CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &child));
    return child;
}

// The log once it holds `line`; the wait is bounded only so a broken program cannot hang the suite.
std::wstring LogOnceItHolds(DWORD process, const std::wstring& line) {
    std::wstring log;
    for (int i = 0; i < 1200 && log.find(line) == std::wstring::npos; ++i) {
        Sleep(100);
        log = LogOfProcess(process);
    }
    return log;
}

void CloseProgram(const PROCESS_INFORMATION& child) {
    EnumWindows(
        [](HWND window, LPARAM process) -> BOOL {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner == static_cast<DWORD>(process))
                PostMessageW(window, WM_CLOSE, 0, 0);
            return TRUE;
        },
        static_cast<LPARAM>(child.dwProcessId));
    if (WaitForSingleObject(child.hProcess, 60000) != WAIT_OBJECT_0)
        TerminateProcess(child.hProcess, 1);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
}

// The program in the build tree (this test sits in tests/app/forms/gui), copied to `program` so its settings and
// work folder stay beside the copy.
testing::AssertionResult CopyProgramTo(const std::string& program) {
    char self[MAX_PATH]{};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string built =
        std::string(self).substr(0, std::string(self).rfind('\\')) + "\\..\\..\\..\\..\\app\\grandvue.exe";
    if (!CopyFileA(built.c_str(), program.c_str(), FALSE))
        return testing::AssertionFailure() << "cannot copy " << built;
    return testing::AssertionSuccess();
}

std::string JadFor(const std::string& name, const std::string& size) {
    return "MIDlet-Name: " + name + "\r\nMIDlet-Jar-URL: " + name + ".jar\r\nMIDlet-Jar-Size: " + size + "\r\n";
}

// Two copies of the program at once, from one folder (so one "temp" beside them), each on a jar named on its
// command line with a .jad beside it: both jars patched, both .jad files follow, both logs say so.
TEST(DesktopProgram, TwoProgramsAtOnceEachPatchTheirJarAndItsJad) {
    if (!testutil::HostHas("zip"))
        GTEST_SKIP() << "zip missing";
    testutil::TTempDir dir;
    const std::string program = dir / "grandvue.exe";
    ASSERT_TRUE(CopyProgramTo(program));
    const std::string names[] = {"first", "second"};
    std::vector<PROCESS_INFORMATION> children;
    for (const std::string& name : names) {
        testutil::WriteFile(dir / (name + ".jad"), JadFor(name, "1"));
        children.push_back(StartProgram(program, MakeJar(dir, name), dir.Path()));
    }
    // "Работа завершена": the job's last line, after "Обновление jad файла".
    const std::wstring done =
        L"\x0420\x0430\x0431\x043E\x0442\x0430 \x0437\x0430\x0432\x0435\x0440\x0448\x0435\x043D\x0430";
    const std::wstring jadLine =
        L"\x041E\x0431\x043D\x043E\x0432\x043B\x0435\x043D\x0438\x0435 jad \x0444\x0430\x0439\x043B\x0430";
    for (size_t i = 0; i < children.size(); ++i) {
        SCOPED_TRACE(names[i]);
        const std::wstring log = LogOnceItHolds(children[i].dwProcessId, done);
        EXPECT_NE(log.find(jadLine + L"\r\n"), std::wstring::npos);
        EXPECT_NE(log.find(done), std::wstring::npos);
        const std::string jar = dir / (names[i] + ".jar");
        EXPECT_TRUE(Patched(jar));
        const platform::THandle h = platform::FileOpen(jar, platform::fmOpenRead | platform::fmShareDenyNone);
        const int64_t size = platform::FileSize(h);
        platform::FileClose(h);
        EXPECT_EQ(testutil::ReadText(dir / (names[i] + ".jad")), JadFor(names[i], std::to_string(size)));
        EXPECT_EQ(WaitForSingleObject(children[i].hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT));  // still open
    }
    for (const PROCESS_INFORMATION& child : children)
        CloseProgram(child);
}

// Writes a jar whose second entry, res/level.dat, has a byte of its compressed data flipped (Python's zipfile).
std::string MakeDamagedJar(const testutil::TTempDir& dir, const std::string& name) {
    testutil::WriteFile(dir / "damage.py",
                        "import sys, zipfile\n"
                        "p = sys.argv[1]\n"
                        "with zipfile.ZipFile(p, 'w', zipfile.ZIP_DEFLATED) as z:\n"
                        "    z.writestr('Main.class', b'\\xca\\xfe\\xba\\xbejavax/microedition/lcdui/Canvas')\n"
                        "    z.writestr('res/level.dat', bytes(range(256)) * 64)\n"
                        "i = zipfile.ZipFile(p).getinfo('res/level.dat')\n"
                        "d = bytearray(open(p, 'rb').read())\n"
                        "d[i.header_offset + 30 + len(i.filename) + 5] ^= 0xFF\n"
                        "open(p, 'wb').write(d)\n");
    const std::string jar = dir / (name + ".jar");
    testutil::RunHost("python3 " + testutil::Quote(testutil::ToHostPath(dir / "damage.py")) + " " +
                      testutil::Quote(testutil::ToHostPath(jar)));
    return jar;
}

std::vector<std::string> LogLines(const app::Tfrm& frm) {
    std::vector<std::string> lines;
    for (int i = 0; i < frm.mem.Lines().Count(); ++i)
        lines.push_back(frm.mem.Lines()[i]);
    return lines;
}

// The middle jar fails with its box naming it and the entry; the others are patched; the log names each jar's
// lines and counts the outcomes in Russian on its last line.
TEST_F(RealMainWindow, ThreeDroppedJarsWithADamagedOneInTheMiddleAreOneBatch) {
    if (!testutil::HostHas("zip") || !testutil::HostHas("python3"))
        GTEST_SKIP() << "zip or python3 missing";
    testutil::TTempDir dir;
    const std::string first = MakeJar(dir, "first"), damaged = MakeDamagedJar(dir, "broken"),
                      last = MakeJar(dir, "last");
    const testutil::Bytes damagedBefore = testutil::ReadFile(damaged);
    HWND w = Start();
    guitest::PostDrop(w, {first, damaged, last});
    guitest::Pump();
    EXPECT_TRUE(Patched(first));
    EXPECT_TRUE(Patched(last));
    EXPECT_EQ(testutil::ReadFile(damaged), damagedBefore);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("broken.jar"), std::string::npos) << errors[0];
    const size_t newline = errors[0].find('\n');
    ASSERT_NE(newline, std::string::npos) << errors[0];
    EXPECT_NE(errors[0].find("level.dat", newline), std::string::npos) << errors[0];
    const std::vector<std::string> lines = LogLines(*frm);
    ASSERT_GE(lines.size(), 4u);
    // "first.jar: Инициализация"
    EXPECT_EQ(lines.front(), "first.jar: \xC8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xFF");
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].rfind("first.jar: ", 0) == 0 || lines[i].rfind("broken.jar: ", 0) == 0 ||
                    lines[i].rfind("last.jar: ", 0) == 0)
            << lines[i];
    EXPECT_NE(std::find(lines.begin(), lines.end(), "last.jar: \xC8\xED\xE8\xF6\xE8\xE0\xEB\xE8\xE7\xE0\xF6\xE8\xFF"),
              lines.end());
    // "Исправлено: 2, оставлено без изменений: 0, с ошибкой: 1"
    EXPECT_EQ(lines.back(),
              "\xC8\xF1\xEF\xF0\xE0\xE2\xEB\xE5\xED\xEE: 2, \xEE\xF1\xF2\xE0\xE2\xEB\xE5\xED\xEE \xE1\xE5\xE7 "
              "\xE8\xE7\xEC\xE5\xED\xE5\xED\xE8\xE9: 0, \xF1 \xEE\xF8\xE8\xE1\xEA\xEE\xE9: 1");
}

TEST_F(RealMainWindow, AGameCanvasOnlyJarIsLeftUnchangedWithALogLineAndNoBox) {
    if (!testutil::HostHas("zip"))
        GTEST_SKIP() << "zip missing";
    testutil::TTempDir dir;
    testutil::WriteFile(dir / "arcade/Main.class",
                        std::string("\xCA\xFE\xBA\xBE", 4) + "javax/microedition/lcdui/game/GameCanvas");
    testutil::RunHost("cd " + testutil::Quote(testutil::ToHostPath(dir / "arcade")) + " && zip -q -r ../arcade.jar .");
    const std::string jar = dir / "arcade.jar";
    const testutil::Bytes before = testutil::ReadFile(jar);
    HWND w = Start();
    guitest::PostDrop(w, {jar});
    guitest::Pump();
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : errors[0]);
    EXPECT_EQ(testutil::ReadFile(jar), before);
    const std::vector<std::string> lines = LogLines(*frm);
    // "... файл не изменён"
    EXPECT_NE(std::find_if(lines.begin(), lines.end(),
                           [](const std::string& line) {
                               return line.find("\xF4\xE0\xE9\xEB \xED\xE5 \xE8\xE7\xEC\xE5\xED\xB8\xED") !=
                                      std::string::npos;
                           }),
              lines.end());
}

// The message box another process shows, once it shows one; the wait is bounded only against a hang.
HWND BoxOfProcess(DWORD process) {
    struct TSearch {
        DWORD Process;
        HWND Box = nullptr;
    } search{process};
    for (int i = 0; i < 1200 && !search.Box; ++i) {
        Sleep(100);
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                auto* s = reinterpret_cast<TSearch*>(param);
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t kind[16]{};
                GetClassNameW(window, kind, std::size(kind));
                if (owner == s->Process && IsWindowVisible(window) && std::wstring(kind) == L"#32770")
                    s->Box = window;
                return s->Box == nullptr;
            },
            reinterpret_cast<LPARAM>(&search));
    }
    return search.Box;
}

std::wstring WindowText(HWND window) {
    wchar_t text[4096]{};
    DWORD_PTR copied = 0;
    SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &copied);
    return std::wstring(text, copied);
}

// The program started on a damaged jar shows the job's message, then on its second line the reason naming
// the entry, both in Russian; read through the box's own text.
TEST(DesktopProgram, ADamagedJarsBoxNamesTheEntryOnItsSecondLine) {
    if (!testutil::HostHas("python3"))
        GTEST_SKIP() << "python3 missing";
    testutil::TTempDir dir;
    const std::string program = dir / "grandvue.exe";
    ASSERT_TRUE(CopyProgramTo(program));
    const std::string jar = MakeDamagedJar(dir, "broken");
    const testutil::Bytes before = testutil::ReadFile(jar);
    const PROCESS_INFORMATION child = StartProgram(program, jar, dir.Path());
    const HWND box = BoxOfProcess(child.dwProcessId);
    ASSERT_NE(box, nullptr);
    const std::wstring text = WindowText(GetDlgItem(box, 0xFFFF));  // the box's message
    const size_t newline = text.find(L'\n');
    ASSERT_NE(newline, std::wstring::npos) << std::string(text.begin(), text.end());
    // "Не удалось распаковать файл ...broken.jar. Файл не изменён." then "архив повреждён: не читается элемент ..."
    EXPECT_EQ(text.rfind(L"\x041D\x0435 \x0443\x0434\x0430\x043B\x043E\x0441\x044C", 0), 0u);
    EXPECT_NE(text.substr(0, newline).find(L"broken.jar"), std::wstring::npos);
    EXPECT_EQ(text.substr(newline + 1, 15),
              L"\x0430\x0440\x0445\x0438\x0432 \x043F\x043E\x0432\x0440\x0435\x0436\x0434\x0451\x043D");
    EXPECT_NE(text.substr(newline + 1).find(L"level.dat"), std::wstring::npos);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(testutil::ReadFile(jar), before);
    CloseProgram(child);
}

TEST_F(RealMainWindow, JarDroppedWhileAJobRunsIsRefusedAsBusy) {
    if (!testutil::HostHas("zip"))
        GTEST_SKIP() << "zip missing";
    testutil::TTempDir dir;
    const std::string first = MakeJar(dir, "first"), second = MakeJar(dir, "second");
    HWND w = Start();
    // The drop waits behind the click, so the job's own message processing finds it.
    fw::TOpenDialog::QueueAnswer(first);
    guitest::PostClick(w, frm->btnJar.Left() + 20, frm->btnJar.Top() + 10);
    guitest::PostDrop(w, {second});
    guitest::Pump();
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_NE(errors[0].find("first.jar"), std::string::npos) << errors[0];
    EXPECT_TRUE(Patched(first));
    EXPECT_FALSE(Patched(second));
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
    EXPECT_TRUE(Patched(jar));
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
