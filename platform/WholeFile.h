// A small file read or written whole through the platform's handles (no stream library: the shipped
// program stays small).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Platform.h"

namespace platform {

// Reads the whole file into `data` when it holds at most `maxSize` bytes (else `tooLarge` and false). False
// with LastError() when it cannot be read.
bool ReadSmallFile(const std::string& path, uint64_t maxSize, std::string& data, bool& tooLarge);

// Writes all of `data` at the handle's position; a short write is a full disk. False with LastError().
bool WriteAll(THandle h, const std::string& data);

}  // namespace platform
