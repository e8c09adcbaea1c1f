// The Linux program's entry point: options and language, the answers that need no job, the jars handed to the
// batch, the settings saved on request.
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "app/cli/Batch.h"
#include "app/cli/Jars.h"
#include "app/cli/Messages.h"
#include "app/cli/Options.h"
#include "app/cli/Output.h"
#include "app/cli/Signals.h"
#include "app/forms/AboutForm.h"
#include "app/forms/MainForm.h"
#include "app/forms/Settings.h"
#include "framework/Application.h"
#include "framework/Forms.h"
#include "platform/Platform.h"

namespace {

// The product as the about text names it, so both answers say one name.
const char kVersionLine[] = "grandvue (Oru Grandvue) 1.0";

int UsageError(const cli::TParsed& parsed) {
    using cli::TMsg;
    using cli::TUsageError;
    struct TReason {
        TUsageError Error;
        TMsg Message;
    };
    static const TReason kReasons[] = {
        {TUsageError::UnknownOption, TMsg::UnknownOption},
        {TUsageError::MissingArgument, TMsg::MissingArgument},
        {TUsageError::EmptyArgument, TMsg::EmptyArgument},
        {TUsageError::AboutWithFiles, TMsg::AboutWithFiles},
        {TUsageError::SaveWithoutChoice, TMsg::SaveWithoutChoice},
        {TUsageError::OutputWithSeveral, TMsg::OutputWithSeveral},
        {TUsageError::OutputAndFolder, TMsg::OutputAndFolder},
        {TUsageError::RestoreWithOthers, TMsg::RestoreWithOthers},
    };
    TMsg reason = TMsg::NoFiles;
    for (const TReason& r : kReasons)
        if (r.Error == parsed.Error)
            reason = r.Message;
    std::fprintf(stderr, "grandvue: %s\n%s\n", cli::Msg(reason, {parsed.Offender}).c_str(),
                 cli::Msg(TMsg::TryHelp).c_str());
    return 2;
}

void PrintAbout(const app::TfrmAbout& about) {
    const auto text = [](const std::string& cp1251) { return platform::Cp1251ToUtf8(cp1251); };
    const std::string phones =
        app::Language() == app::TLanguage::Russian ? text(about.lblMot.Caption()) : cli::Msg(cli::TMsg::AboutPhones);
    cli::PrintLine(text(about.lblOru.Caption()) + " " + text(about.lblGrandvue.Caption()) + " " +
                   text(about.lblVersion.Caption()));
    cli::PrintLine(phones);
    cli::PrintLine(text(about.lblBy.Caption()) + " " + text(about.lblVelkor.Caption()) + " " +
                   text(about.lblEmail.Caption()));
}

// Asked for with --save-settings only; a file that cannot be written costs a warning, not the run.
void SaveSettings(app::Tfrm& frm, cli::TVerbosity verbosity) {
    try {
        const bool backup = frm.cbBackup.Checked();
        app::WriteBackupSetting(app::SettingsPath(), backup);
        if (verbosity != cli::TVerbosity::Quiet)
            cli::PrintLine(cli::Msg(backup ? cli::TMsg::SavedBackup : cli::TMsg::SavedNoBackup, {app::SettingsPath()}));
    } catch (const std::exception&) {
        std::fprintf(stderr, "grandvue: %s\n", cli::Msg(cli::TMsg::SettingsNotSaved, {app::SettingsPath()}).c_str());
    }
}

// Output that never reached stdout (a full disk behind "> file") fails the run; a closed pipe does not.
int Finish(int status) {
    if (const int fault = cli::StdoutFault()) {
        std::fprintf(stderr, "grandvue: %s\n", cli::Msg(cli::TMsg::StdoutFailed, {std::strerror(fault)}).c_str());
        return status == 0 ? 1 : status;
    }
    return status;
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
        cli::PrintText(cli::Msg(cli::TMsg::Help));
        return Finish(0);
    }
    if (options.Version) {
        cli::PrintLine(kVersionLine);
        return Finish(0);
    }
    cli::InstallStopHandlers();
    // Every path is taken against the caller's folder now: the jobs change the current folder.
    const std::vector<cli::TJar> jars = cli::GatherJars(options.Files, options.Recursive);

    fw::Application().SetTitle("Grandvue");
    std::unique_ptr<app::Tfrm> frm;
    fw::CreateForm(frm);
    fw::CreateForm(app::frmAbout);
    if (options.About) {
        PrintAbout(*app::frmAbout);
        return Finish(0);
    }
    frm->SaveSettingsOnClose = false;
    frm->Job.ShowWarnings = false;  // the batch words them itself, naming the jar
    if (options.Backup)
        frm->cbBackup.SetChecked(*options.Backup);
    const int status = jars.empty() ? 0 : cli::TBatch(*frm, options).Run(jars);
    if (options.SaveSettings)
        SaveSettings(*frm, options.Verbosity);
    return Finish(status);
}
