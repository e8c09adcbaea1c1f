// What the command line says about one jar's job: the reason it failed, or its summary.
#pragma once

#include <string>
#include <vector>

#include "app/cli/Options.h"
#include "app/job/JobReport.h"

namespace cli {

// One line for stderr naming `shown` (the jar as the user wrote it). `jobMessage` is the job's own
// message, used when the report names no reason of its own.
std::string FailureLine(const std::string& shown, const app::TJobReport& report, const std::string& jobMessage);

// The lines after a patched jar's log: the per-class lines when verbose, then the summary.
// A warning for a jar the job left as it was, saying why in a player's words.
std::string LeftUnchangedLine(const std::string& shown, const app::TJobReport& report);

std::vector<std::string> SummaryLines(const app::TJobReport& report, TVerbosity verbosity);

}  // namespace cli
