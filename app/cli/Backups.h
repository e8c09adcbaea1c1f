// The backup copies beside a jar: what is there already, and putting them back (--restore).
#pragma once

#include <string>

#include "app/cli/Jars.h"

namespace cli {

// The modification time of an existing backup ("2024-05-01 14:03"); empty when there is no file at `path`.
std::string BackupDate(const std::string& path);

// The backup's path as the user should see it: `shown`.bak beside the named file, or the full path of the
// one beside the file a link names.
std::string ShownBackup(const TJar& jar);

// Puts FILE.jar.bak over the jar, then FILE.jad.bak over its .jad, each in one step; the lines said go to
// `say` (stdout) and `warn` (stderr). False when the jar had no backup or it could not be put back.
bool RestoreJar(const TJar& jar, std::string& said, std::string& warned);

}  // namespace cli
