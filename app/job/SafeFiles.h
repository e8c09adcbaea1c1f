// Files beside the user's archive written so that no failure or crash leaves a half file in a real name.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Paths.h"

namespace app {

// Copies `archive` to `backup` unless a file of that name exists (then it is kept and the result is false).
// The copy is written under an exclusive temporary name beside `backup`, flushed, and renamed only when
// complete. Raises fw::EInOutError with the platform's code when it cannot be made; no file is left then.
bool MakeBackupCopy(const std::string& archive, const std::string& backup);

// Puts a copy of `built` in the place of `target`: written under an exclusive temporary name beside it,
// flushed, given `target`'s permission bits and owner, then renamed over it durably. Raises
// fw::EInOutError with the platform's code; `target` is then unchanged and no temporary file is left.
// The new file takes the rights of `model` (the target itself when empty: a jar written elsewhere takes the
// original's).
void ReplaceDurably(const std::string& built, const std::string& target, const std::string& model = {});

// The folder part of a path, as the platform spells it for every layer.
using platform::FolderOf;

// True when a new file can be made in `folder`; otherwise false with the platform's error code in `error`.
bool FolderWritable(const std::string& folder, uint32_t& error);

}  // namespace app
