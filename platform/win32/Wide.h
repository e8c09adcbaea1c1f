// UTF-16 for the wide API: the program's UTF-8 paths and names, and texts in a given code page.
#pragma once

#include "platform/win32/Win.h"

#include <string>

namespace platform::win32 {

// The text in a code page as UTF-16; malformed UTF-8 gives U+FFFD.
std::wstring ToWide(const std::string& text, UINT codePage);
// The UTF-16 text in a code page, a character that has no form there by the system's best fit or '?'.
std::string FromWide(const std::wstring& text, UINT codePage);
// A path or name of the program (UTF-8) for the wide API, and one from it as the program holds it.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& wide);
std::string Narrow(const wchar_t* wide);

}  // namespace platform::win32
