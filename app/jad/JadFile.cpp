// The .jad update's file steps: the platform layer where it serves, a small per-system part for what lies at a name.
#include "app/jad/JadFile.h"

#include "platform/FileHandle.h"
#include "platform/Platform.h"
#include "platform/WriteBeside.h"

#ifdef _WIN32
#include "platform/win32/Win.h"
#else
#include <sys/stat.h>
#endif

namespace app {

namespace {
constexpr char kTempPrefix[] = "gvj";
#ifdef _WIN32
constexpr char kDelimiters[] = "\\/";
#else
constexpr char kDelimiters[] = "/";
#endif

bool WriteAll(platform::THandle h, const std::string& data) {
    if (h == platform::kInvalidHandle)
        return false;
    const int32_t written = platform::FileWrite(h, data.data(), static_cast<uint32_t>(data.size()));
    if (written >= 0 && static_cast<size_t>(written) < data.size())
        platform::SetLastError(platform::kErrorDiskFull);
    return written >= 0 && static_cast<size_t>(written) == data.size();
}
}  // namespace

size_t NameStart(const std::string& path) {
    const size_t delimiter = path.find_last_of(kDelimiters);
    return delimiter == std::string::npos ? 0 : delimiter + 1;
}

TEntryKind EntryKindOf(const std::string& path) {
#ifdef _WIN32
    const DWORD attr = platform::GetFileAttributes(path);
    if (attr == INVALID_FILE_ATTRIBUTES)
        return TEntryKind::ekMissing;
    return attr & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT) ? TEntryKind::ekOther : TEntryKind::ekFile;
#else
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return TEntryKind::ekMissing;
    return S_ISREG(st.st_mode) ? TEntryKind::ekFile : TEntryKind::ekOther;
#endif
}

bool ReadSmallFile(const std::string& path, uint64_t maxSize, std::string& data, bool& tooLarge) {
    tooLarge = false;
    const platform::TFileHandle file(platform::FileOpen(path, platform::fmOpenRead | platform::fmShareDenyWrite));
    if (!file.Valid())
        return false;
    const int64_t size = platform::FileSize(file.Get());
    if (size < 0)
        return false;
    if (static_cast<uint64_t>(size) > maxSize) {
        tooLarge = true;
        return false;
    }
    data.resize(static_cast<size_t>(size));
    const int32_t read = platform::FileRead(file.Get(), data.data(), static_cast<uint32_t>(size));
    if (read < 0)
        return false;
    data.resize(static_cast<size_t>(read));
    return true;
}

bool WriteFileDurably(const std::string& path, const std::string& data, const std::string& model, bool replace) {
    const auto write = [&data](platform::TBesideFile& file) { return WriteAll(file.Handle(), data); };
    return platform::WriteBeside(
        path, write, {.Prefix = kTempPrefix, .Model = model, .ModelMayBeMissing = true, .Replace = replace});
}

}  // namespace app
