// The reasons a jar cannot be patched that show before its job starts.
#pragma once

#include <string>

#include "app/job/JobReport.h"

namespace cli {

// jfNotFound, jfIsFolder, jfNotArchive (not a regular file), jfAccessDenied (the file cannot be read)
// or jfReadOnlyFolder (its folder cannot be written); jfNone when the job may start.
app::TJobFailure CheckBeforeJob(const std::string& path);

}  // namespace cli
