// Removes a folder with everything in it through the shell.
#pragma once

#include <string>

namespace app {

// Sends the folder (absolute, or relative to the current folder) to the recycle bin where the platform has
// one, asking nothing and showing no progress. True only when the shell reports success; an empty name, a
// name holding a NUL, a name longer than 254 bytes or any error on the way gives false.
bool DeleteFolder(const std::string& name);

}  // namespace app
