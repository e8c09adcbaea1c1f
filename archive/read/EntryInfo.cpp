// Reading stored names and extra fields, and converting names for the file system.
#include "archive/read/EntryInfo.h"

#include <algorithm>

#include "platform/Platform.h"

namespace archive {

namespace {
bool ReadExact(fw::TStream& stream, uint8_t* buffer, size_t count) {
    size_t got = 0;
    while (got < count) {
        const int32_t n = stream.Read(buffer + got, static_cast<int32_t>(count - got));
        if (n <= 0)
            return false;
        got += static_cast<size_t>(n);
    }
    return true;
}
}  // namespace

TStoredName ReadStoredName(fw::TStream& stream, uint16_t nameLength, uint16_t extraLength) {
    TStoredName result;
    const size_t kept = std::min<size_t>(nameLength, kMaxNameLength);
    result.Raw.resize(kept);
    bool ok = ReadExact(stream, reinterpret_cast<uint8_t*>(result.Raw.data()), kept);
    if (nameLength > kept)
        stream.Seek(nameLength - kept, fw::soCurrent);
    result.Extra.resize(extraLength);
    ok = ok && ReadExact(stream, result.Extra.data(), extraLength);
    result.Complete = ok;
    result.Cut = nameLength > kept;
    // A name cut short keeps only what arrived; zero bytes end it as in a C buffer.
    result.Raw.resize(std::min(result.Raw.find('\0'), result.Raw.size()));
    return result;
}

}  // namespace archive
