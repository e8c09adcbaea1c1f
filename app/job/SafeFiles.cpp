// The backup copy and the final replacement of the archive, each through an exclusive temporary file.
#include "app/job/SafeFiles.h"

#include <vector>

#include "framework/Exceptions.h"
#include "platform/Platform.h"

namespace app {

namespace {
constexpr uint32_t kCopyChunk = 64 * 1024;  // copies move the data in bounded pieces
// The system's unique names take three characters of a prefix; "gv~" marks the program's leftovers.
const char kTempPrefix[] = "gv~";
const char kProbePrefix[] = "gvw";

// A handle closed on every path; Close() reports the close's own failure.
class TOpenFile {
public:
    TOpenFile(const std::string& path, uint32_t mode) : FHandle(platform::FileOpen(path, mode)) {
        fw::InOutCheck(FHandle != platform::kInvalidHandle);
    }
    ~TOpenFile() {
        if (FHandle != platform::kInvalidHandle)
            platform::FileClose(FHandle);
    }
    TOpenFile(const TOpenFile&) = delete;
    TOpenFile& operator=(const TOpenFile&) = delete;
    platform::THandle Get() const { return FHandle; }
    void Close() {
        const platform::THandle handle = FHandle;
        FHandle = platform::kInvalidHandle;
        fw::InOutCheck(platform::FileClose(handle));
    }

private:
    platform::THandle FHandle;
};

void WriteCopy(const std::string& source, const std::string& temp, const std::string& permissionsOf) {
    TOpenFile in(source, platform::fmOpenRead | platform::fmShareDenyWrite);
    TOpenFile out(temp, platform::fmOpenReadWrite | platform::fmShareExclusive);
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        const int32_t n = platform::FileRead(in.Get(), buffer.data(), kCopyChunk);
        fw::InOutCheck(n >= 0);
        if (n == 0)
            break;
        if (platform::FileWrite(out.Get(), buffer.data(), static_cast<uint32_t>(n)) != n) {
            // A short write without an error code is a full disk.
            const uint32_t error = platform::LastError();
            throw fw::EInOutError(error != platform::kErrorSuccess ? error : platform::kErrorDiskFull);
        }
    }
    fw::InOutCheck(platform::CopyPermissions(permissionsOf, out.Get()));
    fw::InOutCheck(platform::FileFlush(out.Get()));
    out.Close();
}

// A complete, flushed copy of `source` under a fresh name in the folder of `besideOf`; nothing on failure.
std::string CopyToTemporary(const std::string& source, const std::string& besideOf, const std::string& permissionsOf) {
    const std::string temp = platform::GetTempFileName(FolderOf(besideOf), kTempPrefix);
    fw::InOutCheck(!temp.empty());
    try {
        WriteCopy(source, temp, permissionsOf);
    } catch (...) {  // swallows nothing: whatever stopped the copy, its half-written file goes and the fault goes on
        platform::DeleteFile(temp);
        throw;
    }
    return temp;
}

// On the target's volume the built file itself takes the target's place, after it is given the target's
// rights and flushed; false (nothing changed) where it cannot, so the caller copies instead.
bool MoveInPlace(const std::string& built, const std::string& target) {
    try {
        TOpenFile file(built, platform::fmOpenReadWrite | platform::fmShareExclusive);
        if (!platform::CopyPermissions(target, file.Get()) || !platform::FileFlush(file.Get()))
            return false;
        file.Close();
    } catch (const fw::EInOutError&) {  // the copy that follows meets and reports the same fault
        return false;
    }
    // A rename that went through but whose folder could not be flushed still replaced the target.
    return platform::ReplaceFileDurably(built, target) || !platform::FileExists(built);
}

[[noreturn]] void DropAndRaise(const std::string& temp) {
    const uint32_t error = platform::LastError();
    platform::DeleteFile(temp);
    throw fw::EInOutError(error);
}
}  // namespace

std::string FolderOf(const std::string& path) {
    const auto delim = path.find_last_of(platform::PathDelim);
    if (delim == std::string::npos)
        return ".";
    return delim == 0 ? path.substr(0, 1) : path.substr(0, delim);
}

bool MakeBackupCopy(const std::string& archive, const std::string& backup) {
    if (platform::FileExists(backup))
        return false;
    const std::string temp = CopyToTemporary(archive, backup, archive);
    if (platform::MoveFile(temp, backup))
        return true;
    if (!platform::FileExists(backup))
        DropAndRaise(temp);
    platform::DeleteFile(temp);  // another run made the backup meanwhile: that one is kept
    return false;
}

void ReplaceDurably(const std::string& built, const std::string& target) {
    if (MoveInPlace(built, target))
        return;
    const std::string temp = CopyToTemporary(built, target, target);
    if (!platform::ReplaceFileDurably(temp, target))
        DropAndRaise(temp);
}

bool FolderWritable(const std::string& folder, uint32_t& error) {
    const std::string probe = platform::GetTempFileName(folder, kProbePrefix);
    error = probe.empty() ? platform::LastError() : platform::kErrorSuccess;
    if (probe.empty())
        return false;
    platform::DeleteFile(probe);
    return true;
}

}  // namespace app
