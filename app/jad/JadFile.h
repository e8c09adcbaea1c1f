// The .jad update's file steps: what lies at a name, replacing a file in one step.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace app {

// Where the file name in `path` begins (after the last folder delimiter; on Windows '/' counts too).
size_t NameStart(const std::string& path);

enum class TEntryKind { ekMissing, ekFile, ekOther };

// A symbolic link, even one to a file, counts as ekOther: it is not replaced by a file of our own.
TEntryKind EntryKindOf(const std::string& path);

// Writes `data` beside `path` and renames it there (platform::WriteBeside), with the rights of `model` when it
// exists: over an existing file when `replace`, else failing where `path` exists. False with LastError() on
// failure; `path` is untouched then and the temporary file gone.
bool WriteFileDurably(const std::string& path, const std::string& data, const std::string& model, bool replace);

}  // namespace app
