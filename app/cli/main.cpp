// The Linux program's entry point: options and language, the answers that need no job, the jars handed to the
// batch, the settings saved on request.
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/Batch.h"
#include "app/cli/Messages.h"
#include "app/cli/Options.h"
#include "app/cli/Signals.h"
#include "app/forms/AboutForm.h"
#include "app/forms/MainForm.h"
#include "app/forms/Settings.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "platform/Platform.h"

namespace {

const char kVersionLine[] = "grandvue 1.0";

int UsageError(const cli::TParsed& parsed) {
    using cli::TMsg;
    const TMsg reason = parsed.Error == cli::TUsageError::UnknownOption    ? TMsg::UnknownOption
                        : parsed.Error == cli::TUsageError::EmptyArgument  ? TMsg::EmptyArgument
                        : parsed.Error == cli::TUsageError::AboutWithFiles ? TMsg::AboutWithFiles
                                                                           : TMsg::NoFiles;
    std::fprintf(stderr, "grandvue: %s\n%s\n", cli::Msg(reason, {parsed.Offender}).c_str(),
                 cli::Msg(TMsg::TryHelp).c_str());
    return 2;
}

void PrintAbout(const app::TfrmAbout& about) {
    const auto text = [](const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); };
    const std::string phones =
        app::Language() == app::TLanguage::Russian ? text(about.lblMot.Caption()) : cli::Msg(cli::TMsg::AboutPhones);
    std::printf("%s %s %s\n%s\n%s %s %s\n", text(about.lblOru.Caption()).c_str(),
                text(about.lblGrandvue.Caption()).c_str(), text(about.lblVersion.Caption()).c_str(), phones.c_str(),
                text(about.lblBy.Caption()).c_str(), text(about.lblVelkor.Caption()).c_str(),
                text(about.lblEmail.Caption()).c_str());
}

// Every path is taken against the caller's folder now: the jobs change the current folder. A link is
// followed, so the jar it names is patched and the link stays a link.
std::vector<cli::TJar> ExpandJars(const std::vector<std::string>& files) {
    std::vector<cli::TJar> jars;
    for (const std::string& file : files) {
        std::string path = platform::ExpandFileName(file);
        if (char* real = realpath(path.c_str(), nullptr)) {
            path = real;
            std::free(real);
        }
        jars.push_back({file, path});
    }
    return jars;
}

// Asked for with --save-settings only; a file that cannot be written costs a warning, not the run.
void SaveSettings(app::Tfrm& frm) {
    try {
        app::WriteBackupSetting(app::SettingsPath(), frm.cbBackup.Checked());
    } catch (const std::exception&) {
        std::fprintf(stderr, "grandvue: %s\n", cli::Msg(cli::TMsg::SettingsNotSaved, {app::SettingsPath()}).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    // A umask that takes the owner's own rights (0277, 0222) would leave the job unable to write in the
    // folders and files it makes itself; group and others keep what the user's umask gives them.
    ::umask(::umask(0) & 077);
    app::SetLanguage(cli::LanguageFromEnvironment());
    const cli::TParsed parsed = cli::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (parsed.Error != cli::TUsageError::None)
        return UsageError(parsed);
    const cli::TOptions& options = parsed.Options;
    if (options.Help) {
        std::fputs(cli::Msg(cli::TMsg::Help).c_str(), stdout);
        return 0;
    }
    if (options.Version) {
        std::puts(kVersionLine);
        return 0;
    }
    cli::InstallStopHandlers();
    const std::vector<cli::TJar> jars = ExpandJars(options.Files);

    fw::Application().SetTitle("Grandvue");
    std::unique_ptr<app::Tfrm> frm;
    fw::CreateForm(frm);
    fw::CreateForm(app::frmAbout);
    if (options.About) {
        PrintAbout(*app::frmAbout);
        return 0;
    }
    frm->SaveSettingsOnClose = false;
    frm->Job.ShowWarnings = false;  // the batch words them itself, naming the jar
    if (options.Backup)
        frm->cbBackup.SetChecked(*options.Backup);
    const int status = cli::TBatch(*frm, options.Verbosity).Run(jars);
    if (options.SaveSettings)
        SaveSettings(*frm);
    return status;
}
