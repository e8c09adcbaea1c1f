// The processors the engine may spread work over, and the one rule on who may start a thread.
#pragma once

#include <thread>

#include "archive/ZipCommon.h"

namespace archive {

// Asked once: the library reads a system file to answer.
inline unsigned Cores() {
    static const unsigned cores = std::thread::hardware_concurrency();
    return cores;
}

// A second thread is started only where the Workers setting allows it and a second core can run it; each
// caller adds what its own work needs (no handler within an entry, a large enough entry).
inline bool MayStartThread(TWorkers workers) {
    return workers == wkAuto && Cores() >= 2;
}

}  // namespace archive
