// UTF-16 for the wide API: the program's UTF-8 paths and names, and texts in a given code page.
#pragma once

#include "platform/win32/Win.h"

#include <optional>
#include <string>

namespace platform::win32 {

// The text in UTF-16; none when `flags` holds MB_ERR_INVALID_CHARS and the text is not valid in the code page.
std::optional<std::wstring> ToWide(const std::string& text, UINT codePage, DWORD flags = 0);
// The UTF-16 text in the code page; `usedDefault`, when given, tells whether a character had no form there.
std::string FromWide(const std::wstring& text, UINT codePage, DWORD flags = 0, BOOL* usedDefault = nullptr);
// A path or name of the program (UTF-8) for the wide API; a malformed byte becomes U+FFFD.
std::wstring Widen(const std::string& utf8);
// A path or name from the wide API as the program holds it (UTF-8).
std::string Narrow(const std::wstring& wide);
std::string Narrow(const wchar_t* wide);

}  // namespace platform::win32
