// What the job does to a jar, as the proof is told it: the proof knows no class name of its own.
#pragma once

#include <string>

namespace app {

struct TProofRule {
    std::string Search;        // the name the patcher replaces in every class file
    std::string Replace;       // what it writes instead (of the same length)
    std::string PayloadEntry;  // the entry the job adds
    // Instead of the substitution, only classes that extend `Search` directly were made to extend `Replace`
    // (their super_class and constructors' super calls, the constant pool grown); every other byte kept.
    bool SuperLinkOnly = false;
};

}  // namespace app
