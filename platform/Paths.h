// Path pieces every layer needs, spelled once for both systems.
#pragma once

#include <string>

namespace platform {

// The folder part of `path`, without the delimiter unless it is a root: "dir/x" -> "dir", "/x" -> "/", a bare
// name -> "."; on Windows '/' delimits too and a drive's root keeps its delimiter ("C:\x.jad" -> "C:\"), since
// "C:" alone names the drive's current folder. Delimiters repeated or at the end belong to no name.
std::string FolderOf(const std::string& path);

}  // namespace platform
