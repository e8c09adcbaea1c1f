// Helpers shared by the POSIX implementation of the platform layer: errno mapping, stat-derived facts.
#pragma once

#include <sys/stat.h>
#include <time.h>

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace platform::posix {

// The Windows error code for an errno value; ENOENT becomes 3 when the folder of `path` is missing too.
uint32_t WindowsError(int err, const std::string& path = {});
// Stores WindowsError(err, path) as the last error; returns false so callers can `return Fail(...)`.
bool Fail(int err, const std::string& path = {});
// Stores a Windows error code directly; returns false.
bool FailWith(uint32_t code);

// Attribute bits as Wine derives them from a stat result and the name.
uint32_t AttributesOf(const struct stat& st, const std::string& name);
// The read-only attribute is honoured as Windows does: no writing, deleting or replacing.
bool IsReadOnly(const struct stat& st);
std::string BaseName(const std::string& path);

TFileTime FromTimespec(const timespec& ts);
timespec ToTimespec(const TFileTime& ft);

}  // namespace platform::posix
