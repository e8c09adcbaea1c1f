// The dry run's listing: the job's look at the game, the .jad's edit previewed, the backup it would make or keep.
#include "app/cli/DryRun.h"

#include <exception>

#include "app/cli/Backups.h"
#include "app/cli/Messages.h"
#include "app/cli/Outcome.h"
#include "app/jad/Jad.h"
#include "app/job/PatchRule.h"
#include "framework/console/Recorder.h"
#include "platform/WholeFile.h"

namespace cli {

namespace {

std::string Console(const std::string& text) {
    return fw::console::ToConsole(text);
}

std::string FileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

void ListClasses(app::TPatchJob& job, const app::TGameSurvey& survey, std::vector<std::string>& lines) {
    if (survey.Plan == app::ppSuperLink) {
        for (const std::string& entry : survey.Relinked)
            lines.push_back(Msg(TMsg::DryClassSuperLink, {Console(entry)}));
        return;
    }
    for (const std::string& entry : survey.CanvasClasses) {
        if (entry == app::kPayloadEntryName)
            continue;
        const int count = job.LookedReplacements(entry);
        lines.push_back(Msg(TMsg::DryClassSubstitute, {Console(entry), std::to_string(count), PluralEnding(count)}));
    }
}

// The .jad's edit as the run would make it, from its text now.
void ListJad(const TPlannedRun& run, std::vector<std::string>& lines) {
    const std::string found = app::FindJadBeside(run.Path);
    if (found.empty())
        return;
    // Named beside the jar as the user named it.
    const std::string jad = run.Shown.substr(0, run.Shown.find_last_of('/') + 1) + FileName(found);
    std::string text;
    bool tooLarge = false;
    if (!platform::ReadSmallFile(found, app::kMaxJadSize, text, tooLarge))
        return;
    const app::TJadEdit edit = app::EditJadText(text, FileName(run.Path), 0, true);
    if (!edit.NamesThisJar) {
        lines.push_back(Msg(TMsg::DryJadOther, {jad, edit.OtherJarUrl}));
        return;
    }
    if (!run.Target.empty()) {
        const std::string target = run.Target.substr(0, run.Target.find_last_of('.')) + jad.substr(jad.rfind('.'));
        lines.push_back(Msg(TMsg::DryJadWritten, {target}));
    } else {
        lines.push_back(Msg(TMsg::DryJadSize, {jad}));
    }
    if (edit.SignatureRemoved)
        lines.push_back(Msg(TMsg::DryJadSignature, {jad}));
}

void ListBackup(const TPlannedRun& run, std::vector<std::string>& lines) {
    if (!run.Target.empty()) {
        lines.push_back(Msg(TMsg::DryOutput, {run.Target}));
        return;
    }
    if (!run.Backup) {
        lines.push_back(Msg(TMsg::DryNoBackup));
        return;
    }
    const TJar jar = {run.Shown, run.Path, ""};
    const std::string date = BackupDate(run.Path + ".bak");
    lines.push_back(date.empty() ? Msg(TMsg::DryBackupMake, {ShownBackup(jar)})
                                 : Msg(TMsg::DryBackupKeep, {ShownBackup(jar), date}));
}

TLook Failure(const std::string& line) {
    return {true, false, {line}};
}

}  // namespace

TLook LookAtRun(app::TPatchJob& job, const TPlannedRun& run) {
    app::TGameSurvey survey;
    try {
        survey = job.Look(run.Path);
    } catch (const std::exception& error) {
        return Failure(run.Shown + ": " + Console(error.what()));
    }
    app::TJobReport report;
    report.Archive = run.Path;
    if (!survey.Read) {
        report.Failure = app::TJobFailure::jfNotArchive;
        return Failure(FailureLine(run.Shown, report, ""));
    }
    if (!survey.RefusedClass.empty()) {
        report.Failure = app::TJobFailure::jfRelinkRefused;
        report.Entry = survey.RefusedClass;
        report.Detail = survey.RefusedWhy;
        return Failure(FailureLine(run.Shown, report, app::TextWith(app::TText::RelinkFailed, {run.Shown})));
    }
    report.OtherKind = survey.OtherKind;
    if (survey.Plan == app::ppNoCanvas || survey.Plan == app::ppAlreadyPatched) {
        report.Outcome =
            survey.Plan == app::ppNoCanvas ? app::TJobOutcome::joNoCanvas : app::TJobOutcome::joAlreadyPatched;
        return {false, false, {LeftUnchangedLine(run.Shown, report)}};
    }
    TLook look;
    look.Patches = true;
    std::vector<std::string> classes;
    ListClasses(job, survey, classes);
    const std::string rule = survey.Plan == app::ppSuperLink ? Msg(TMsg::DryRuleSuperLink, {Console(survey.OtherKind)})
                                                             : Msg(TMsg::DryRuleSubstitute);
    const int count = static_cast<int>(classes.size());
    look.Lines.push_back(Msg(TMsg::DryChanges, {run.Shown, std::to_string(count), PluralEnding(count), rule}));
    look.Lines.insert(look.Lines.end(), classes.begin(), classes.end());
    if (!survey.HoldsPayload)
        look.Lines.push_back(Msg(TMsg::DryPayload));
    if (survey.Signed)
        look.Lines.push_back(Msg(TMsg::DryJarSigned));
    ListJad(run, look.Lines);
    ListBackup(run, look.Lines);
    return look;
}

}  // namespace cli
