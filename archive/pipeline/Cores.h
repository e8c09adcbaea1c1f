// The processors the engine may spread work over.
#pragma once

#include <thread>

namespace archive {

// Asked once: the library reads a system file to answer.
inline unsigned Cores() {
    static const unsigned cores = std::thread::hardware_concurrency();
    return cores;
}

}  // namespace archive
