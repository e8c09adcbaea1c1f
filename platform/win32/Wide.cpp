// Conversions between UTF-16 and byte strings through the system's converters.
#include "platform/win32/Wide.h"

namespace platform::win32 {

std::wstring ToWide(const std::string& text, UINT codePage) {
    const int size = static_cast<int>(text.size());
    const int n = text.empty() ? 0 : ::MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(codePage, 0, text.data(), size, out.data(), n);
    return out;
}

std::string FromWide(const std::wstring& text, UINT codePage) {
    const int size = static_cast<int>(text.size());
    const int n =
        text.empty() ? 0 : ::WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(codePage, 0, text.data(), size, out.data(), n, nullptr, nullptr);
    return out;
}

std::wstring Widen(const std::string& utf8) {
    return ToWide(utf8, CP_UTF8);
}

std::string Narrow(const std::wstring& wide) {
    return FromWide(wide, CP_UTF8);
}

std::string Narrow(const wchar_t* wide) {
    return wide ? Narrow(std::wstring(wide)) : std::string();
}

}  // namespace platform::win32
