// The batch loop: checks, job (or look, or restore), one line for each jar, and the closing count.
#include "app/cli/Batch.h"

#include <sys/stat.h>

#include <exception>

#include "app/cli/Backups.h"
#include "app/cli/DryRun.h"
#include "app/cli/Messages.h"
#include "app/cli/Outcome.h"
#include "app/cli/Output.h"
#include "app/cli/Precheck.h"
#include "app/cli/Signals.h"
#include "app/jad/Jad.h"
#include "app/job/Interrupt.h"
#include "framework/console/Recorder.h"
#include "platform/Platform.h"

namespace cli {

namespace {

bool Exists(const std::string& path) {
    struct stat info = {};
    return lstat(path.c_str(), &info) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat info = {};
    return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string FileName(const std::string& path) {
    return path.substr(path.find_last_of('/') + 1);
}

// A .jad beside the original goes beside the output under the output's base name.
std::string JadBesideOutput(const std::string& jarPath, const std::string& target) {
    const std::string jad = app::FindJadBeside(jarPath);
    if (jad.empty())
        return "";
    return target.substr(0, target.find_last_of('.')) + jad.substr(jad.rfind('.'));
}

}  // namespace

TBatch::TBatch(app::Tfrm& form, const TOptions& options)
    : FForm(form), FOptions(options), FProgress(options.Verbosity != TVerbosity::Quiet) {
    fw::console::SetMemoOutput([this](const std::string& line) { Step(line); });
    // Only a line that shows asks the job for fine progress, which costs the engine its threads.
    if (FProgress.Enabled())
        FForm.Job.OnProgress = [this](int percent) { FProgress.Show(FCurrent, percent); };
}

TBatch::~TBatch() {
    FForm.Job.OnProgress = nullptr;
    FForm.Job.OutputPath.clear();
    fw::console::SetMemoOutput(nullptr);
}

int TBatch::Run(const std::vector<TJar>& jars) {
    int counts[3] = {0, 0, 0};
    for (size_t i = 0; i < jars.size() && app::StopRequested() == 0; ++i) {
        // The step lines of several jars are told apart by a heading.
        if (jars.size() > 1 && FOptions.Verbosity == TVerbosity::Verbose)
            Step((i > 0 ? "\n" : "") + jars[i].Shown + ":");
        ++counts[static_cast<int>(One(jars[i]))];
    }
    FProgress.Clear();
    if (const int signal = app::StopRequested())
        return ExitStatusForSignal(signal);
    if (jars.size() > 1) {
        const int total = static_cast<int>(jars.size());
        const std::string failed = std::to_string(counts[static_cast<int>(TResult::Failed)]);
        const std::string done = std::to_string(counts[static_cast<int>(TResult::Patched)]);
        Say(FOptions.Restore ? Msg(TMsg::RestoreSummary, {std::to_string(total), PluralEnding(total), done, failed})
                             : Msg(TMsg::BatchSummary, {std::to_string(total), PluralEnding(total), done,
                                                        std::to_string(counts[1]), failed}));
    }
    return counts[static_cast<int>(TResult::Failed)] == 0 ? 0 : 1;
}

TBatch::TResult TBatch::One(const TJar& jar) {
    if (!jar.Fault.empty()) {
        Complain(jar.Fault);
        return TResult::Failed;
    }
    if (FOptions.Restore)
        return Restore(jar);
    std::string fault;
    const std::string target = TargetOf(jar, fault);
    if (!fault.empty()) {
        Complain(fault);
        return TResult::Failed;
    }
    app::TJobReport report;
    report.Failure = CheckBeforeJob(jar.Path, target);
    if (report.Failure != app::TJobFailure::jfNone) {
        Complain(FailureOf(jar, target, report, ""));
        return TResult::Failed;
    }
    return FOptions.DryRun ? DryRun(jar, target) : Patch(jar, target);
}

std::string TBatch::TargetOf(const TJar& jar, std::string& fault) const {
    if (FOptions.Output.empty() && FOptions.OutputDir.empty())
        return "";
    if (!FOptions.OutputDir.empty() && !IsFolder(FOptions.OutputDir)) {
        fault = Msg(TMsg::OutputDirMissing, {jar.Shown, FOptions.OutputDir});
        return "";
    }
    std::string target = FOptions.Output.empty() ? FOptions.OutputDir + "/" + FileName(jar.Shown) : FOptions.Output;
    target = platform::ExpandFileName(target);
    if (char* real = realpath(target.c_str(), nullptr)) {
        target = real;
        std::free(real);
    }
    // The jar itself named as its output is a patch in place.
    if (target == jar.Path)
        return "";
    if (IsFolder(target)) {
        fault = Msg(TMsg::OutputIsFolder, {jar.Shown, target});
        return "";
    }
    if (!FOptions.Force)
        for (const std::string& output : {target, JadBesideOutput(jar.Path, target)})
            if (!output.empty() && Exists(output)) {
                fault = Msg(TMsg::OutputExists, {jar.Shown, output});
                return "";
            }
    return target;
}

TBatch::TResult TBatch::DryRun(const TJar& jar, const std::string& target) {
    const bool backup = FForm.cbBackup.Checked();
    const TLook look = LookAtRun(FForm.Job, {jar.Shown, jar.Path, target, backup});
    if (look.Failed) {
        Complain(look.Lines.front());
        return TResult::Failed;
    }
    for (const std::string& line : look.Lines)
        Say(line);
    return look.Patches ? TResult::Patched : TResult::Unchanged;
}

TBatch::TResult TBatch::Patch(const TJar& jar, const std::string& target) {
    const std::string problem = WorkFolderProblem();
    if (!problem.empty()) {
        Complain(Msg(TMsg::WorkFolderFailed, {jar.Shown, TemporaryFolder(), problem}));
        return TResult::Failed;
    }
    const bool backup = FForm.cbBackup.Checked() && target.empty();
    const std::string keptSince = backup ? BackupDate(jar.Path + ".bak") : "";
    FCurrent = jar.Shown;
    FForm.Job.OutputPath = target;
    std::string jobMessage;
    bool raised = false;
    try {
        FForm.RunJob(jar.Path);
    } catch (const std::exception& error) {
        raised = true;
        jobMessage = error.what();
    }
    FForm.Job.OutputPath.clear();
    FProgress.Clear();
    const app::TJobReport& report = FForm.LastReport();
    // A job that raised without naming a reason in its report still failed.
    if (raised || report.Failure != app::TJobFailure::jfNone) {
        Complain(FailureOf(jar, target, report, jobMessage));
        return TResult::Failed;
    }
    // Nothing was written: a warning, which even the quiet mode shows, since the user asked for a patch.
    if (report.Outcome != app::TJobOutcome::joPatched) {
        Complain(LeftUnchangedLine(jar.Shown, report));
        return TResult::Unchanged;
    }
    const std::vector<std::string> summary = SummaryLines(report, FOptions.Verbosity);
    for (size_t i = 0; i + 1 < summary.size(); ++i)
        Step(summary[i]);
    Say(Msg(TMsg::JarLine, {jar.Shown, summary.back()}));
    if (backup)
        SayBackup(jar, keptSince);
    SayWarnings(jar, report);
    return TResult::Patched;
}

TBatch::TResult TBatch::Restore(const TJar& jar) {
    std::string said, warned;
    const bool restored = RestoreJar(jar, said, warned);
    if (!said.empty())
        Say(said);
    if (!warned.empty())
        Complain(warned);
    return restored ? TResult::Patched : TResult::Failed;
}

// A full disk is the jar's unless the work folder's disk is the one without room; a folder that cannot be
// written is the output's where the jar goes elsewhere.
std::string TBatch::FailureOf(const TJar& jar,
                              const std::string& target,
                              const app::TJobReport& report,
                              const std::string& jobMessage) const {
    if (report.Failure == app::TJobFailure::jfReadOnlyFolder && !target.empty())
        return Msg(TMsg::OutputFolderReadOnly, {jar.Shown, target});
    if (report.Failure == app::TJobFailure::jfDiskFull && WorkDiskIsFull(jar.Path))
        return Msg(TMsg::WorkDiskFull, {jar.Shown, TemporaryFolder()});
    return FailureLine(jar.Shown, report, jobMessage);
}

// An existing backup is kept by the job: the user must not believe a fresh one was made.
void TBatch::SayBackup(const TJar& jar, const std::string& keptSince) {
    const std::string shown = ShownBackup(jar);
    if (!keptSince.empty())
        Complain(Msg(TMsg::BackupKept, {jar.Shown, shown, keptSince}));
    else if (shown != jar.Shown + ".bak")
        Say(Msg(TMsg::BackupMadeAt, {jar.Shown, shown}));
}

void TBatch::SayWarnings(const TJar& jar, const app::TJobReport& report) {
    if (report.JadFailed)
        Complain(Msg(TMsg::JadNotUpdated, {jar.Shown}));
    if (report.JadSignatureRemoved)
        Complain(Msg(TMsg::JadSignatureRemoved, {jar.Shown}));
    if (report.JarSigned)
        Complain(Msg(TMsg::JarSigned, {jar.Shown}));
    if (!report.JadOtherJarUrl.empty())
        Complain(Msg(TMsg::JadOtherJar, {jar.Shown, report.JadOtherJarUrl}));
    if (report.JadSizeAdded)
        Complain(Msg(TMsg::JadSizeAdded, {jar.Shown}));
}

void TBatch::Say(const std::string& line) {
    if (FOptions.Verbosity == TVerbosity::Quiet)
        return;
    FProgress.Clear();
    PrintLine(line);
}

void TBatch::Step(const std::string& line) {
    if (FOptions.Verbosity == TVerbosity::Verbose)
        Say(line);
}

void TBatch::Complain(const std::string& line) {
    FProgress.Clear();
    PrintWarning(line);
}

}  // namespace cli
