// Overwrites every occurrence of a byte string in a file, in place.
#pragma once

#include <cstddef>
#include <string>

namespace app {

// Bytes examined per read; consecutive chunks overlap by the search length less one, so no window is missed.
constexpr size_t kReplaceChunk = 64 * 1024;

// Writes `replace` over `search` at every offset where the file, as rewritten so far, holds `search`, scanning
// offsets in ascending order (a window that overlaps an earlier replacement is judged on the rewritten bytes).
// The file must exist; it is opened for reading and writing without barring other users. Returns the
// number of replacements written, so "found" is a result above 0. Any failing file operation raises fw::EInOutError
// with the platform's code; replacements written before it stay. An empty search text finds nothing.
int ReplaceInFile(const std::string& fileName, const std::string& search, const std::string& replace);

}  // namespace app
