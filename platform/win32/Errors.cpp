// Last-error codes and their system texts.
#include "platform/win32/Wide.h"

namespace platform {

uint32_t LastError() {
    return ::GetLastError();
}

void SetLastError(uint32_t code) {
    ::SetLastError(code);
}

std::string SysErrorMessage(uint32_t code) {
    wchar_t buffer[512];
    DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                               sizeof buffer / sizeof buffer[0], nullptr);
    while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n'))
        --n;
    return win32::Narrow(std::wstring(buffer, n));  // in UTF-8, as every text from the system
}

}  // namespace platform
