// What a run would do to one jar, said without writing anything (--dry-run).
#pragma once

#include <string>
#include <vector>

#include "app/job/PatchJob.h"

namespace cli {

struct TPlannedRun {
    std::string Shown;   // the jar as the user wrote it
    std::string Path;    // its real path
    std::string Target;  // where the patched jar would go; empty: in its place
    bool Backup = false;
};

struct TLook {
    bool Failed = false;
    bool Patches = false;            // the run would write a patched jar
    std::vector<std::string> Lines;  // for stdout; a failure's line is Lines.front(), for stderr
};

TLook LookAtRun(app::TPatchJob& job, const TPlannedRun& run);

}  // namespace cli
