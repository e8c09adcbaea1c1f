// Names stored in UTF-8 and the system's ANSI code page: exact conversions that refuse rather than guess.
#pragma once

#include <optional>
#include <string>

namespace platform {

// The UTF-8 text in the ANSI code page; empty when it is not valid UTF-8 or a character has no exact form
// there (a look-alike would name another file).
std::optional<std::string> Utf8ToAnsi(const std::string& text);
// The ANSI text in UTF-8.
std::string AnsiToUtf8(const std::string& text);

}  // namespace platform
