// The failure reasons and the summary, worded from the job's report.
#include "app/cli/Outcome.h"

#include "app/cli/Messages.h"
#include "app/job/PatchRule.h"
#include "app/job/Reasons.h"
#include "framework/console/Recorder.h"

namespace cli {

namespace {

bool IsPayload(const app::TChangedClass& changed) {
    return changed.Name == app::kPayloadEntryName;
}

}  // namespace

std::string FailureLine(const std::string& shown, const app::TJobReport& report, const std::string& jobMessage) {
    const std::string reason = app::ReasonLine(report);
    if (reason.empty()) {
        // The job's own texts name the archive; a bare run-time error ("File access denied") does not.
        const std::string text = fw::console::ToConsole(jobMessage);
        const bool named = !report.Archive.empty() && jobMessage.find(report.Archive) != std::string::npos;
        return named ? text : shown + ": " + text;
    }
    const std::string line = shown + ": " + fw::console::ToConsole(reason);
    return app::FailureLeavesFile(report.Failure) ? line + "; " + Msg(TMsg::Unchanged) : line;
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
    if (report.Rule == app::TPatchRuleUsed::prSuperLink && changed > 0)
        lines.push_back(Msg(TMsg::ClassesRelinked, {std::to_string(changed), PluralEnding(changed), report.OtherKind}));
    else if (changed > 0)
        lines.push_back(Msg(TMsg::ClassesChanged, {std::to_string(changed), PluralEnding(changed),
                                                   std::to_string(replacements), PluralEnding(replacements)}));
    else
        lines.push_back(Msg(patchedBefore ? TMsg::PatchedBefore : TMsg::NoneChanged));
    return lines;
}

}  // namespace cli
