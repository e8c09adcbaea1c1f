// UTF-8 names on Windows: through UTF-16, with no best-fit mapping into the ANSI code page.
#include "platform/Utf8Names.h"

#include <algorithm>

#include "platform/win32/Win.h"

namespace platform {

namespace {
std::optional<std::wstring> Widen(const std::string& text, UINT codePage, DWORD flags) {
    if (text.empty())
        return std::wstring();
    const int size = static_cast<int>(text.size());
    const int n = ::MultiByteToWideChar(codePage, flags, text.data(), size, nullptr, 0);
    if (n <= 0)
        return std::nullopt;
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, flags, text.data(), size, out.data(), n);
    return out;
}

std::string Narrow(const std::wstring& text, UINT codePage, DWORD flags, BOOL* usedDefault) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    const int n = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, usedDefault);
    std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), n, nullptr, usedDefault);
    return out;
}
}  // namespace

std::optional<std::string> Utf8ToAnsi(const std::string& text) {
    const std::optional<std::wstring> wide = Widen(text, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (!wide)
        return std::nullopt;
    BOOL usedDefault = FALSE;
    std::string ansi = Narrow(*wide, CP_ACP, WC_NO_BEST_FIT_CHARS, &usedDefault);
    // The way back must give the same characters, or the file on disk would carry another name.
    if (usedDefault || Widen(ansi, CP_ACP, 0) != wide)
        return std::nullopt;
    return ansi;
}

std::string AnsiToUtf8(const std::string& text) {
    const std::optional<std::wstring> wide = Widen(text, CP_ACP, 0);
    return wide ? Narrow(*wide, CP_UTF8, 0, nullptr) : text;
}

}  // namespace platform
