// UTF-8 names on POSIX: the system's "ANSI" is UTF-8 already, so the bytes stay as they are.
#include "platform/Utf8Names.h"

namespace platform {

std::optional<std::string> Utf8ToAnsi(const std::string& text) {
    return text;
}

std::string AnsiToUtf8(const std::string& text) {
    return text;
}

}  // namespace platform
