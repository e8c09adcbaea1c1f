// The reasons a jar cannot be patched that show before its job starts.
#pragma once

#include <string>

#include "app/job/JobReport.h"

namespace cli {

// jfNotFound, jfIsFolder, jfNotArchive (not a regular file), jfAccessDenied (the file cannot be read)
// or jfReadOnlyFolder (the folder the patched jar goes to cannot be written: the jar's own, or that of `target`
// when it is written elsewhere); jfNone when the job may start.
app::TJobFailure CheckBeforeJob(const std::string& path, const std::string& target);

// The folder where runs make their work folders ($TMPDIR, else /tmp), without a trailing slash.
std::string TemporaryFolder();
// Why no work folder can be made in it, in the user's words ("no such folder"); empty when one can.
std::string WorkFolderProblem();
// After a "disk full": true when the work folder's disk is the full one, not the jar's (another disk, with
// room to spare for the jar twice over).
bool WorkDiskIsFull(const std::string& jarPath);

}  // namespace cli
