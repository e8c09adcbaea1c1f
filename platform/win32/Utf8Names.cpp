// UTF-8 names on Windows: the program holds names in UTF-8 already, so a valid name stays as it is.
#include "platform/Utf8Names.h"

#include "platform/Platform.h"

namespace platform {

// A malformed name is refused: the wide API would turn it into replacement characters, another name.
std::optional<std::string> Utf8ToAnsi(const std::string& text) {
    if (!IsUtf8(text))
        return std::nullopt;
    return text;
}

std::string AnsiToUtf8(const std::string& text) {
    return text;
}

}  // namespace platform
