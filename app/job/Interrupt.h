// A request to stop the running job at its next safe point: set by a signal handler (command line)
// or by closing the window (desktop program), polled by the job.
#pragma once

namespace app {

// The code the window stores when it is closed during a job (signals are positive).
constexpr int kStopByClose = -1;

// Async-signal-safe: only stores the number.
void RequestStop(int signal);
// The signal number of the request (or a non-zero code from the window), 0 when none.
int StopRequested();
void ClearStopRequest();

}  // namespace app
