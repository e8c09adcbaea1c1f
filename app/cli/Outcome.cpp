// The failure reasons and the summary, worded from the job's report.
#include "app/cli/Outcome.h"

#include <algorithm>

#include "app/cli/Messages.h"
#include "app/job/PatchRule.h"
#include "framework/console/Recorder.h"

namespace cli {

namespace {

using app::TJobFailure;

struct TReason {
    TJobFailure Failure;
    TMsg Message;
    bool NamesEntry;
    bool FileExists;  // the file is there and stays as it was, so the line says so
};

const TReason kReasons[] = {
    {TJobFailure::jfNotFound, TMsg::NotFound, false, false},
    {TJobFailure::jfIsFolder, TMsg::IsFolder, false, false},
    {TJobFailure::jfAccessDenied, TMsg::AccessDenied, false, true},
    {TJobFailure::jfNotArchive, TMsg::NotArchive, false, true},
    {TJobFailure::jfDamaged, TMsg::Damaged, true, true},
    {TJobFailure::jfUnsupportedMethod, TMsg::UnsupportedMethod, true, true},
    {TJobFailure::jfDiskFull, TMsg::DiskFull, false, true},
    {TJobFailure::jfReadOnlyFolder, TMsg::ReadOnlyFolder, false, true},
    {TJobFailure::jfCheckFailed, TMsg::CheckFailed, true, true},
    {TJobFailure::jfBackupFailed, TMsg::BackupFailed, false, true},
    {TJobFailure::jfInterrupted, TMsg::Interrupted, false, true},
};

bool IsPayload(const app::TChangedClass& changed) {
    return changed.Name == app::kPayloadEntryName;
}

}  // namespace

std::string FailureLine(const std::string& shown, const app::TJobReport& report, const std::string& jobMessage) {
    const auto reason = std::find_if(std::begin(kReasons), std::end(kReasons),
                                     [&](const TReason& r) { return r.Failure == report.Failure; });
    if (reason == std::end(kReasons)) {
        // The job's own texts name the archive; a bare run-time error ("File access denied") does not.
        const std::string text = fw::console::ToConsole(jobMessage);
        const bool named = !report.Archive.empty() && jobMessage.find(report.Archive) != std::string::npos;
        return named ? text : shown + ": " + text;
    }
    std::string line;
    if (!reason->NamesEntry)
        line = Msg(reason->Message, {shown});
    else if (report.Entry.empty())
        line = Msg(report.Failure == TJobFailure::jfDamaged ? TMsg::DamagedNoEntry : reason->Message, {shown, "?"});
    else
        line = Msg(reason->Message, {shown, fw::console::ToConsole(report.Entry)});
    return reason->FileExists ? line + "; " + Msg(TMsg::Unchanged) : line;
}

std::string LeftUnchangedLine(const std::string& shown, const app::TJobReport& report) {
    std::string text = app::Text(app::TText::LeftPatched);
    if (report.Outcome == app::TJobOutcome::joNoCanvas)
        text = report.OtherKind.empty() ? app::Text(app::TText::LeftNoCanvas)
                                        : app::TextWith(app::TText::LeftOtherKind, {report.OtherKind});
    return shown + ": " + fw::console::ToConsole(text);
}

std::vector<std::string> SummaryLines(const app::TJobReport& report, TVerbosity verbosity) {
    std::vector<std::string> lines;
    // A jar patched before brings its old full-screen class, which the class pass rewrites like any other;
    // it is replaced by a fresh copy and is no change of the user's classes.
    int changed = 0;
    int replacements = report.Replacements;
    bool patchedBefore = false;
    for (const app::TChangedClass& cls : report.ChangedClasses) {
        if (IsPayload(cls)) {
            patchedBefore = true;
            replacements -= cls.Replacements;
            continue;
        }
        ++changed;
        if (verbosity == TVerbosity::Verbose)
            lines.push_back(
                Msg(TMsg::ClassChanged, {fw::console::ToConsole(cls.Name), std::to_string(cls.Replacements)}));
    }
    if (report.Rule == app::TPatchRuleUsed::prSuperLink)
        lines.push_back(fw::console::ToConsole(app::TextWith(app::TText::LogSuperLink, {report.OtherKind})));
    if (changed > 0)
        lines.push_back(Msg(TMsg::ClassesChanged, {std::to_string(changed), PluralEnding(changed),
                                                   std::to_string(replacements), PluralEnding(replacements)}));
    else
        lines.push_back(Msg(patchedBefore ? TMsg::PatchedBefore : TMsg::NoneChanged));
    return lines;
}

}  // namespace cli
