// The Linux command-line front end: the main window's patch job on the console backend.
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/Unit1.h"
#include "app/Unit2.h"
#include "framework/Application.h"
#include "framework/Dialogs.h"
#include "framework/Forms.h"
#include "platform/Platform.h"

namespace {

const char kUsage[] =
    "Usage: grandvue [--backup | --no-backup] FILE.jar...\n"
    "       grandvue --about\n"
    "       grandvue --help\n"
    "\n"
    "Rewrites each J2ME archive in turn so that its screens extend the full-screen canvas\n"
    "com/vidorurud/fullscreen/WideCv, adds that class, and writes the archive back under its name.\n"
    "--backup / --no-backup tick or clear the backup box (kept in grandvue.ini beside the program):\n"
    "with it ticked, FILE.jar is first copied to FILE.jar.bak unless that file exists.\n"
    "The exit status is 0 only when every job ended normally.\n";

struct TOptions {
    int Backup = -1;  // -1: as the settings file says
    bool About = false;
    bool Help = false;
    std::vector<std::string> Files;
};

bool ParseArguments(int argc, char** argv, TOptions& options) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--backup")
            options.Backup = 1;
        else if (arg == "--no-backup")
            options.Backup = 0;
        else if (arg == "--about")
            options.About = true;
        else if (arg == "--help" || arg == "-h")
            options.Help = true;
        else if (arg.rfind("--", 0) == 0)
            return false;
        else
            options.Files.push_back(arg);
    }
    return options.Help || options.About || !options.Files.empty();
}

void PrintAbout(const app::TfrmAbout& about) {
    const auto text = [](const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); };
    std::printf("%s %s %s\n%s\n%s %s %s\n", text(about.lblOru.Caption()).c_str(),
                text(about.lblGrandvue.Caption()).c_str(), text(about.lblVersion.Caption()).c_str(),
                text(about.lblMot.Caption()).c_str(), text(about.lblBy.Caption()).c_str(),
                text(about.lblVelkor.Caption()).c_str(), text(about.lblEmail.Caption()).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    TOptions options;
    if (!ParseArguments(argc, argv, options)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (options.Help) {
        std::fputs(kUsage, stdout);
        return 0;
    }

    fw::Application().SetTitle("Grandvue");
    bool failed = false;
    fw::Application().OnException = [&failed](fw::TObject*, const std::exception& error) {
        failed = true;
        fw::Application().ShowException(error);
    };
    std::unique_ptr<app::Tfrm> frm;
    fw::CreateForm(frm);
    fw::CreateForm(app::frmAbout);
    if (options.About) {
        PrintAbout(*app::frmAbout);
        return 0;
    }

    if (options.Backup >= 0) frm->cbBackup.SetChecked(options.Backup == 1);
    for (const std::string& file : options.Files) {
        // The job changes the current folder, so the dialog's answer is a full path, as on Windows.
        fw::TOpenDialog::QueueAnswer(platform::ExpandFileName(file));
        fw::GuardedCall([&] { frm->btnJarClick(&frm->btnJar); });
    }
    frm->Close();
    return failed ? 1 : 0;
}
