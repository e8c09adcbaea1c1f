#include "app/job/Interrupt.h"

#include <atomic>

namespace app {

namespace {
std::atomic<int> gStop{0};
static_assert(std::atomic<int>::is_always_lock_free, "set from a signal handler");
}  // namespace

void RequestStop(int signal) {
    gStop.store(signal, std::memory_order_relaxed);
}

int StopRequested() {
    return gStop.load(std::memory_order_relaxed);
}

void ClearStopRequest() {
    gStop.store(0, std::memory_order_relaxed);
}

}  // namespace app
