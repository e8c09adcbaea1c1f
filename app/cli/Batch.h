// The jobs of one command line: each jar in turn, one line for each, and a closing count for several.
#pragma once

#include <string>
#include <vector>

#include "app/cli/Jars.h"
#include "app/cli/Options.h"
#include "app/cli/Progress.h"
#include "app/forms/MainForm.h"

namespace cli {

class TBatch {
public:
    TBatch(app::Tfrm& form, const TOptions& options);
    ~TBatch();
    TBatch(const TBatch&) = delete;
    TBatch& operator=(const TBatch&) = delete;

    // 0 when no jar failed, 1 when one did, 128+N when signal N stopped the run; no jar is started once a
    // stop was asked for.
    int Run(const std::vector<TJar>& jars);

private:
    enum class TResult { Patched, Unchanged, Failed };

    TResult One(const TJar& jar);
    TResult Patch(const TJar& jar, const std::string& target);
    TResult DryRun(const TJar& jar, const std::string& target);
    TResult Restore(const TJar& jar);
    // Where -o or -d puts the jar (empty: in its place); `fault` is set when it may not go there.
    std::string TargetOf(const TJar& jar, std::string& fault) const;
    std::string FailureOf(const TJar& jar,
                          const std::string& target,
                          const app::TJobReport& report,
                          const std::string& jobMessage) const;
    void SayBackup(const TJar& jar, const std::string& keptSince);
    void SayWarnings(const TJar& jar, const app::TJobReport& report);
    void Say(const std::string& line);       // stdout, unless quiet
    void Step(const std::string& line);      // the job's step lines: stdout, only when verbose
    void Complain(const std::string& line);  // stderr, always

    app::Tfrm& FForm;
    const TOptions& FOptions;
    TProgressLine FProgress;
    std::string FCurrent;  // the jar whose job runs, for the progress line
};

}  // namespace cli
