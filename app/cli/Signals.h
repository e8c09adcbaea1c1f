// Signal handling for the command line: SIGINT, SIGTERM and SIGHUP ask the job to stop at a safe point;
// a closed output pipe does not end the program.
#pragma once

namespace cli {

void InstallStopHandlers();
// The exit status of a run stopped by `signal` (128 + its number, as the shell reports a killed process).
int ExitStatusForSignal(int signal);

}  // namespace cli
