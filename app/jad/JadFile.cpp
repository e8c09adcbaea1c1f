// The .jad update's file steps: the platform layer where it serves, a small per-system part for what lies at a name.
#include "app/jad/JadFile.h"

#include "platform/Platform.h"
#include "platform/WholeFile.h"
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

bool WriteFileDurably(const std::string& path, const std::string& data, const std::string& model, bool replace) {
    const auto write = [&data](platform::TBesideFile& file) { return platform::WriteAll(file.Handle(), data); };
    return platform::WriteBeside(
        path, write, {.Prefix = kTempPrefix, .Model = model, .ModelMayBeMissing = true, .Replace = replace});
}

}  // namespace app
