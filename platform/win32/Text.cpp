// Code-page conversions and private-profile (INI) files over the Win32 API.
#include <vector>

#include "platform/win32/Wide.h"

namespace platform {

using win32::FromWide;
using win32::Narrow;
using win32::ToWide;
using win32::Widen;

namespace {
constexpr UINT kCp1251 = 1251;         // the code page of the program's Russian texts
constexpr DWORD kProfileChunk = 1024;  // first buffer size for a profile value; doubled while too small

// Names without the UTF-8 flag were written in the OEM code page of the system that made the archive: taken
// as the OEM code page of this one, as the system's own OEM conversions take them.
UINT OemCodePage() {
    return ::GetOEMCP();
}
}  // namespace

std::string OemToAnsi(const std::string& text) {
    return Narrow(ToWide(text, OemCodePage()));
}

// Best fit, as the system's own conversion into OEM does: the stored name stays readable.
std::string AnsiToOem(const std::string& text) {
    return FromWide(Widen(text), OemCodePage());
}

bool IsDBCSLeadByte(uint8_t) {
    return false;
}

std::string Cp1251ToUtf8(const std::string& text) {
    return Narrow(ToWide(text, kCp1251));
}

std::string Utf8ToCp1251(const std::string& text) {
    return FromWide(Widen(text), kCp1251);
}

std::string GetPrivateProfileString(const std::string& section,
                                    const std::string& key,
                                    const std::string& def,
                                    const std::string& file) {
    const std::wstring wideSection = Widen(section), wideKey = Widen(key), wideDef = Widen(def), wideFile = Widen(file);
    std::vector<wchar_t> buffer(kProfileChunk);
    for (;;) {
        const DWORD n = ::GetPrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideDef.c_str(), buffer.data(),
                                                   static_cast<DWORD>(buffer.size()), wideFile.c_str());
        if (n + 1 < buffer.size())
            return Narrow(std::wstring(buffer.data(), n));
        buffer.resize(buffer.size() * 2);
    }
}

bool WritePrivateProfileString(const std::string& section,
                               const std::string& key,
                               const std::string& value,
                               const std::string& file) {
    return ::WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                                        Widen(file).c_str()) != 0;
}

}  // namespace platform
