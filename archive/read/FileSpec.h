// Whether one FileSpec mask selects an entry name, with the folder rules and the added-dot retry.
#pragma once

#include <string>

namespace archive {

// `mask` may gain a "." (the caller's list entry keeps it for the following entries).
bool MaskSelects(std::string& mask, const std::string& name, bool recurseDirs);

}  // namespace archive
