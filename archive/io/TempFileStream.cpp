// The writer's temporary output file and its final move onto the archive.
#include "archive/io/TempFileStream.h"

#include <vector>

#include "archive/io/Chunk.h"
#include "archive/names/EntryNames.h"

namespace archive {

namespace {

platform::THandle CreateUnique(const std::string& folder, std::string& fileName) {
    fileName = platform::GetTempFileName(folder, TTempFileStream::kPrefix);
    return fileName.empty() ? platform::kInvalidHandle : platform::FileCreate(fileName);
}

// Copies the whole of `source` into `target`; false (last error set) on a short read or write.
bool CopyHandle(platform::THandle source, platform::THandle target, const TTempFileStream::TProgress& progress) {
    const int64_t total = platform::FileSize(source);
    std::vector<uint8_t> buffer(kChunkSize);
    int64_t done = 0;
    for (;;) {
        const int32_t n = platform::FileRead(source, buffer.data(), static_cast<uint32_t>(buffer.size()));
        if (n < 0)
            return false;
        if (n == 0)
            return done == total;
        if (platform::FileWrite(target, buffer.data(), static_cast<uint32_t>(n)) != n) {
            if (platform::LastError() == platform::kErrorSuccess)
                platform::SetLastError(platform::kErrorDiskFull);
            return false;
        }
        done += n;
        if (progress)
            progress(done, total);
    }
}

}  // namespace

TTempFileStream::TTempFileStream(const std::string& folder) : THandleStream32(platform::kInvalidHandle) {
    ForceDirectories(folder);
    FFile = platform::TFileHandle(CreateUnique(folder, FFileName));
    FHandle = FFile.Get();
}

TTempFileStream::~TTempFileStream() {
    CloseHandle();
    if (!FGone && !FFileName.empty())
        platform::DeleteFile(FFileName);
}

void TTempFileStream::CloseHandle() {
    FFile.Close();
    FHandle = platform::kInvalidHandle;
    ForgetPosition();
}

bool TTempFileStream::MoveTo(const std::string& target, uint32_t& errorCode, const TProgress& progress) {
    CloseHandle();
    const bool moved =
        platform::SameVolume(FFileName, target) ? platform::ReplaceFile(FFileName, target) : CopyTo(target, progress);
    errorCode = moved ? platform::kErrorSuccess : platform::LastError();
    // Whatever happened, the temporary file is either gone or must stay: it may be the only copy.
    FGone = true;
    return moved;
}

bool TTempFileStream::CopyTo(const std::string& target, const TProgress& progress) {
    platform::TFileHandle source(platform::FileOpen(FFileName, platform::fmOpenRead | platform::fmShareDenyWrite));
    if (!source.Valid())
        return false;
    platform::TFileHandle dest(platform::FileCreate(target));
    if (!dest.Valid())
        return false;
    bool ok = CopyHandle(source.Get(), dest.Get(), progress);
    const uint32_t copyError = platform::LastError();
    source.Close();
    ok = dest.Close() && ok;
    if (!ok) {
        platform::DeleteFile(target);
        platform::SetLastError(copyError == platform::kErrorSuccess ? platform::LastError() : copyError);
        return false;
    }
    platform::DeleteFile(FFileName);
    return true;
}

}  // namespace archive
