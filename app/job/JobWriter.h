// The writer settings of the patch job, shared by the job and the benchmark's packer.
#pragma once

#include "archive/write/Jar.h"

namespace app {

// Deflate, the .jar extension, add; every extracted file back (dot-named and hidden ones too); archives
// and other packed types stored.
void ApplyJobWriterSettings(archive::TJar& jar);

}  // namespace app
