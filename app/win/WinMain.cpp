// The Windows program: start the application, create the two windows, patch the archives named on the
// command line (files dropped on the program's icon arrive there), then run the message loop.
#include "framework/win32/Win.h"

#include <memory>
#include <string>
#include <vector>

#include "app/forms/AboutForm.h"
#include "app/forms/MainForm.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "framework/win32/Gdi.h"

namespace {

// The arguments after the program's own name, in UTF-8 as the file functions take them.
std::vector<std::string> CommandLineFiles() {
    std::vector<std::string> files;
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!args)
        return files;
    for (int i = 1; i < count; ++i)
        files.push_back(fw::win32::Narrow(args[i]));
    LocalFree(args);
    return files;
}

}  // namespace

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    fw::Application().Initialize();
    fw::Application().SetTitle("Grandvue");
    std::unique_ptr<app::Tfrm> frm;
    fw::CreateForm(frm);
    fw::CreateForm(app::frmAbout);
    // The named archives as one batch, with the window showing the log.
    std::vector<std::string> files = CommandLineFiles();
    if (!files.empty()) {
        frm->Show();
        fw::GuardedCall([&] { frm->RunJobs(files); });
    }
    fw::Application().Run();
    // The dialog's window belongs to the main window's, so it goes first.
    app::frmAbout.reset();
    return 0;
}
