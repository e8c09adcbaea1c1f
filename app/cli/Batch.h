// The jobs of one command line: each jar in turn, named, with its progress, reason or summary.
#pragma once

#include <string>
#include <vector>

#include "app/cli/Options.h"
#include "app/cli/Progress.h"
#include "app/forms/MainForm.h"

namespace cli {

struct TJar {
    std::string Shown;  // as the user wrote it
    std::string Path;   // expanded against the caller's folder before the first job
};

class TBatch {
public:
    TBatch(app::Tfrm& form, TVerbosity verbosity);
    ~TBatch();
    TBatch(const TBatch&) = delete;
    TBatch& operator=(const TBatch&) = delete;

    // 0 when every jar was patched, 1 when one was not, 128+N when signal N stopped the run; no jar
    // is started once a stop was asked for.
    int Run(const std::vector<TJar>& jars);

private:
    bool Patch(const TJar& jar);
    void Say(const std::string& line);       // stdout, unless quiet
    void Complain(const std::string& line);  // stderr, always

    app::Tfrm& FForm;
    TVerbosity FVerbosity;
    TProgressLine FProgress;
    std::string FCurrent;  // the jar whose job runs, for the progress line
};

}  // namespace cli
