// The batch loop: checks, job, outcome for each jar; the job's log lines come through Say().
#include "app/cli/Batch.h"

#include <cstdio>
#include <exception>

#include "app/cli/Messages.h"
#include "app/cli/Outcome.h"
#include "app/cli/Precheck.h"
#include "app/cli/Signals.h"
#include "app/job/Interrupt.h"
#include "framework/console/Recorder.h"

namespace cli {

namespace {
const char kProgramName[] = "grandvue";
}  // namespace

TBatch::TBatch(app::Tfrm& form, TVerbosity verbosity)
    : FForm(form), FVerbosity(verbosity), FProgress(verbosity != TVerbosity::Quiet) {
    fw::console::SetMemoOutput([this](const std::string& line) { Say(line); });
    // Only a line that shows asks the job for fine progress, which costs the engine its threads.
    if (FProgress.Enabled())
        FForm.Job.OnProgress = [this](int percent) { FProgress.Show(FCurrent, percent); };
}

TBatch::~TBatch() {
    FForm.Job.OnProgress = nullptr;
    fw::console::SetMemoOutput(nullptr);
}

int TBatch::Run(const std::vector<TJar>& jars) {
    bool allPatched = true;
    for (size_t i = 0; i < jars.size() && app::StopRequested() == 0; ++i) {
        if (jars.size() > 1) {
            if (i > 0)
                Say("");
            Say(jars[i].Shown + ":");
        }
        allPatched = Patch(jars[i]) && allPatched;
    }
    FProgress.Clear();
    if (const int signal = app::StopRequested())
        return ExitStatusForSignal(signal);
    return allPatched ? 0 : 1;
}

bool TBatch::Patch(const TJar& jar) {
    app::TJobReport report;
    report.Failure = CheckBeforeJob(jar.Path);
    std::string jobMessage;
    if (report.Failure == app::TJobFailure::jfNone) {
        FCurrent = jar.Shown;
        bool raised = false;
        try {
            FForm.RunJob(jar.Path);
        } catch (const std::exception& error) {
            raised = true;
            jobMessage = error.what();
        }
        FProgress.Clear();
        report = FForm.LastReport();
        // A job that raised without naming a reason in its report still failed.
        if (!raised && report.Failure == app::TJobFailure::jfNone) {
            // Nothing was written: a warning, which even the quiet mode shows, since the user asked for a patch.
            if (report.Outcome != app::TJobOutcome::joPatched) {
                Complain(LeftUnchangedLine(jar.Shown, report));
                return true;
            }
            for (const std::string& line : SummaryLines(report, FVerbosity))
                Say(line);
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
            return true;
        }
    }
    Complain(FailureLine(jar.Shown, report, jobMessage));
    return false;
}

void TBatch::Say(const std::string& line) {
    if (FVerbosity == TVerbosity::Quiet)
        return;
    FProgress.Clear();
    // After the reader of a pipe has gone, writes fail with EPIPE and are dropped: the job goes on.
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void TBatch::Complain(const std::string& line) {
    FProgress.Clear();
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", kProgramName, line.c_str());
    std::fflush(stderr);
}

}  // namespace cli
