// The shell's delete and open over SHFileOperationA and ShellExecuteA.
#include "platform/win32/Win.h"

namespace platform {

int ShellDelete(const char* doubleNulList, uint16_t flags) {
    SHFILEOPSTRUCTA op{};
    op.wFunc = FO_DELETE;
    op.pFrom = doubleNulList;
    op.fFlags = flags;
    return ::SHFileOperationA(&op);
}

intptr_t ShellExecute(const std::string& verb,
                      const std::string& file,
                      const std::string& params,
                      const std::string& dir,
                      int show) {
    auto orNull = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
    return reinterpret_cast<intptr_t>(
        ::ShellExecuteA(nullptr, orNull(verb), file.c_str(), orNull(params), orNull(dir), show));
}

}  // namespace platform
