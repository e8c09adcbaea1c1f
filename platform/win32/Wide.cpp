// Conversions between UTF-16 and byte strings through the system's converters.
#include "platform/win32/Wide.h"

#include <algorithm>

namespace platform::win32 {

std::optional<std::wstring> ToWide(const std::string& text, UINT codePage, DWORD flags) {
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

std::string FromWide(const std::wstring& text, UINT codePage, DWORD flags, BOOL* usedDefault) {
    if (text.empty())
        return {};
    const int size = static_cast<int>(text.size());
    // UTF-8 takes no default character, so the system would refuse a pointer for it.
    BOOL* asked = codePage == CP_UTF8 ? nullptr : usedDefault;
    const int n = ::WideCharToMultiByte(codePage, flags, text.data(), size, nullptr, 0, nullptr, asked);
    std::string out(static_cast<size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, flags, text.data(), size, out.data(), n, nullptr, asked);
    return out;
}

std::wstring Widen(const std::string& utf8) {
    return ToWide(utf8, CP_UTF8).value_or(std::wstring());
}

std::string Narrow(const std::wstring& wide) {
    return FromWide(wide, CP_UTF8);
}

std::string Narrow(const wchar_t* wide) {
    return wide ? Narrow(std::wstring(wide)) : std::string();
}

}  // namespace platform::win32
