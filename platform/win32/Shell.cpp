// The shell's delete and open over SHFileOperationW and ShellExecuteW.
#include "platform/win32/Wide.h"

namespace platform {

namespace {
// The double-NUL list of UTF-8 names as the same list in UTF-16.
std::wstring WidenList(const char* doubleNulList) {
    std::wstring list;
    for (const char* name = doubleNulList; *name; name += std::char_traits<char>::length(name) + 1) {
        list += win32::Widen(name);
        list += L'\0';
    }
    list += L'\0';
    return list;
}
}  // namespace

int ShellDelete(const char* doubleNulList, uint16_t flags) {
    const std::wstring list = WidenList(doubleNulList);
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = list.c_str();
    op.fFlags = flags;
    return ::SHFileOperationW(&op);
}

intptr_t ShellExecute(const std::string& verb,
                      const std::string& file,
                      const std::string& params,
                      const std::string& dir,
                      int show) {
    const std::wstring wideVerb = win32::Widen(verb), wideFile = win32::Widen(file), wideParams = win32::Widen(params),
                       wideDir = win32::Widen(dir);
    auto orNull = [](const std::wstring& s) { return s.empty() ? nullptr : s.c_str(); };
    return reinterpret_cast<intptr_t>(
        ::ShellExecuteW(nullptr, orNull(wideVerb), wideFile.c_str(), orNull(wideParams), orNull(wideDir), show));
}

}  // namespace platform
