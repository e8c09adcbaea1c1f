// The Windows program: start the application, create the two windows and run the message loop.
#include <windows.h>

#include <memory>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "framework/Application.h"
#include "framework/Forms.h"

int WINAPI WinMain(HINSTANCE /*instance*/, HINSTANCE /*previous*/, LPSTR /*commandLine*/, int /*show*/) {
    fw::Application().Initialize();
    fw::Application().SetTitle("Grandvue");
    std::unique_ptr<app::Tfrm> frm;
    fw::CreateForm(frm);
    fw::CreateForm(app::frmAbout);
    fw::Application().Run();
    // The dialog's window belongs to the main window's, so it goes first.
    app::frmAbout.reset();
    return 0;
}
