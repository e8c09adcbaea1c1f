// The backup copy and the final replacement of the archive, each written beside its target and renamed in.
#include "app/job/SafeFiles.h"

#include <vector>

#include "framework/Exceptions.h"
#include "platform/FileHandle.h"
#include "platform/Platform.h"
#include "platform/WriteBeside.h"

namespace app {

namespace {
constexpr uint32_t kCopyChunk = 64 * 1024;  // copies move the data in bounded pieces
// The system's unique names take three characters of a prefix; "gv~" marks the program's leftovers.
const char kTempPrefix[] = "gv~";
const char kProbePrefix[] = "gvw";

// Copies the whole of `source` into the temporary file; raises fw::EInOutError with the platform's code.
bool CopyInto(const std::string& source, platform::TBesideFile& file) {
    platform::TFileHandle in(platform::FileOpen(source, platform::fmOpenRead | platform::fmShareDenyWrite));
    fw::InOutCheck(in.Valid());
    const platform::THandle out = file.Handle();
    fw::InOutCheck(out != platform::kInvalidHandle);
    std::vector<char> buffer(kCopyChunk);
    for (;;) {
        const int32_t n = platform::FileRead(in.Get(), buffer.data(), kCopyChunk);
        fw::InOutCheck(n >= 0);
        if (n == 0)
            return true;
        if (platform::FileWrite(out, buffer.data(), static_cast<uint32_t>(n)) != n) {
            // A short write without an error code is a full disk.
            const uint32_t error = platform::LastError();
            throw fw::EInOutError(error != platform::kErrorSuccess ? error : platform::kErrorDiskFull);
        }
    }
}

// A copy of `source` put at `target` through a temporary file beside it, taking the rights of `model`.
bool CopyBeside(const std::string& source, const std::string& target, const std::string& model, bool replace) {
    const auto copy = [&source](platform::TBesideFile& file) { return CopyInto(source, file); };
    return platform::WriteBeside(target, copy, {.Prefix = kTempPrefix, .Model = model, .Replace = replace});
}
}  // namespace

bool MakeBackupCopy(const std::string& archive, const std::string& backup) {
    if (platform::FileExists(backup))
        return false;
    if (CopyBeside(archive, backup, archive, false))
        return true;
    const uint32_t error = platform::LastError();
    if (platform::FileExists(backup))
        return false;  // another run made the backup meanwhile: that one is kept
    throw fw::EInOutError(error);
}

void ReplaceDurably(const std::string& built, const std::string& target, const std::string& model) {
    const std::string rights = model.empty() ? target : model;
    // On the target's volume the built file itself takes the target's place; a rename that went through but
    // whose folder could not be flushed still replaced the target. Elsewhere (or after any other failure) a
    // copy is made beside the target, which meets and reports the same fault.
    if (platform::SettleBeside(built, target, {.Model = rights}) || !platform::FileExists(built))
        return;
    if (!CopyBeside(built, target, rights, true))
        throw fw::EInOutError(platform::LastError());
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
