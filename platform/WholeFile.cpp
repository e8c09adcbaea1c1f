#include "platform/WholeFile.h"

#include "platform/FileHandle.h"

namespace platform {

bool ReadSmallFile(const std::string& path, uint64_t maxSize, std::string& data, bool& tooLarge) {
    tooLarge = false;
    const TFileHandle file(FileOpen(path, fmOpenRead | fmShareDenyWrite));
    if (!file.Valid())
        return false;
    const int64_t size = FileSize(file.Get());
    if (size < 0)
        return false;
    if (static_cast<uint64_t>(size) > maxSize) {
        tooLarge = true;
        return false;
    }
    data.resize(static_cast<size_t>(size));
    const int32_t read = FileRead(file.Get(), data.data(), static_cast<uint32_t>(size));
    if (read < 0)
        return false;
    data.resize(static_cast<size_t>(read));
    return true;
}

bool WriteAll(THandle h, const std::string& data) {
    if (h == kInvalidHandle)
        return false;
    const int32_t written = FileWrite(h, data.data(), static_cast<uint32_t>(data.size()));
    if (written >= 0 && static_cast<size_t>(written) < data.size())
        SetLastError(kErrorDiskFull);
    return written >= 0 && static_cast<size_t>(written) == data.size();
}

}  // namespace platform
