// The stop handlers only record the signal; the job polls the request and the batch stops after it.
#include "app/cli/Signals.h"

#include <csignal>
#include <initializer_list>

#include "app/job/Interrupt.h"

namespace cli {

namespace {

void OnStopSignal(int signal) {
    app::RequestStop(signal);
}

}  // namespace

void InstallStopHandlers() {
    struct sigaction action = {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    // Restart interrupted reads and writes: the job decides where to stop, not a failed system call.
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        // A signal the caller ignores stays ignored (nohup, a background job of a script).
        struct sigaction current = {};
        if (sigaction(signal, nullptr, &current) == 0 && current.sa_handler == SIG_IGN)
            continue;
        sigaction(signal, &action, nullptr);
    }

    // With SIGPIPE ignored a write to a closed pipe fails with EPIPE instead of killing the job.
    struct sigaction ignore = {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

int ExitStatusForSignal(int signal) {
    return 128 + signal;
}

}  // namespace cli
