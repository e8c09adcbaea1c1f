// Code-page conversions and private-profile (INI) files over the Win32 API.
#include <vector>

#include "platform/win32/Win.h"

namespace platform {

namespace {
constexpr UINT kCp1251 = 1251;         // the code page of the program's Russian texts
constexpr DWORD kProfileChunk = 1024;  // first buffer size for a profile value; doubled while too small

std::wstring ToWide(const std::string& text, UINT codePage) {
    if (text.empty())
        return {};
    const int n = ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

std::string FromWide(const std::wstring& text, UINT codePage) {
    if (text.empty())
        return {};
    const int n =
        ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), out.data(), n, nullptr, nullptr);
    return out;
}
}  // namespace

std::string OemToAnsi(const std::string& text) {
    std::string out(text.size(), '\0');
    if (!text.empty())
        ::OemToCharBuffA(text.data(), out.data(), static_cast<DWORD>(text.size()));
    return out;
}

std::string AnsiToOem(const std::string& text) {
    std::string out(text.size(), '\0');
    if (!text.empty())
        ::CharToOemBuffA(text.data(), out.data(), static_cast<DWORD>(text.size()));
    return out;
}

bool IsDBCSLeadByte(uint8_t byte) {
    return ::IsDBCSLeadByte(byte) != 0;
}

std::string Cp1251ToUtf8(const std::string& text) {
    return FromWide(ToWide(text, kCp1251), CP_UTF8);
}

std::string Utf8ToCp1251(const std::string& text) {
    return FromWide(ToWide(text, CP_UTF8), kCp1251);
}

std::string GetPrivateProfileString(const std::string& section,
                                    const std::string& key,
                                    const std::string& def,
                                    const std::string& file) {
    std::vector<char> buffer(kProfileChunk);
    for (;;) {
        const DWORD n = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), file.c_str());
        if (n + 1 < buffer.size())
            return std::string(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

bool WritePrivateProfileString(const std::string& section,
                               const std::string& key,
                               const std::string& value,
                               const std::string& file) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

}  // namespace platform
