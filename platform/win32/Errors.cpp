// Last-error codes and their system texts.
#include "platform/win32/Win.h"

namespace platform {

uint32_t LastError() {
    return ::GetLastError();
}

void SetLastError(uint32_t code) {
    ::SetLastError(code);
}

std::string SysErrorMessage(uint32_t code) {
    char buffer[512];
    DWORD n = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                               sizeof buffer, nullptr);
    while (n > 0 && (buffer[n - 1] == '\r' || buffer[n - 1] == '\n'))
        --n;
    return std::string(buffer, n);
}

}  // namespace platform
