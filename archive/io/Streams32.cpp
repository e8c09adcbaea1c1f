// Handle and file streams of the engine.
#include "archive/io/Streams32.h"

#include "framework/Exceptions.h"

namespace archive {

void TStream32::NotifyRead(int32_t requested) {
    if (!FNotify)
        return;
    if (FRemaining)
        *FRemaining -= requested;
    FNotify();
}

int32_t THandleStream32::Read(void* buffer, int32_t count) {
    if (count <= 0)
        return 0;
    const int32_t n = platform::FileRead(FHandle, buffer, static_cast<uint32_t>(count));
    if (n < 0)
        ForgetPosition();
    if (n <= 0)  // at the end the position stays where it was
        return 0;
    if (FPosition != kUnknownPosition)
        FPosition += n;
    NotifyRead(count);
    return n;
}

int32_t THandleStream32::Write(const void* buffer, int32_t count) {
    if (count <= 0)
        return 0;
    const int32_t n = platform::FileWrite(FHandle, buffer, static_cast<uint32_t>(count));
    if (n < 0) {
        ForgetPosition();
        return 0;
    }
    if (FPosition != kUnknownPosition)
        FPosition += n;
    return n;
}

int64_t THandleStream32::Seek(int64_t offset, fw::TSeekOrigin origin) {
    if (FPosition != kUnknownPosition && (origin == fw::soCurrent || origin == fw::soBeginning)) {
        const int64_t target = origin == fw::soCurrent ? FPosition + offset : offset;
        if (target == FPosition)
            return FPosition;
    }
    FPosition = platform::FileSeek(FHandle, offset, origin);
    return FPosition;
}

int64_t THandleStream32::Size() {
    return platform::FileSize(FHandle);
}

void THandleStream32::SetSize(int64_t newSize) {
    if (Seek(newSize, fw::soBeginning) != newSize || !platform::FileTruncate(FHandle))
        throw fw::EWriteError();
}

platform::THandle TFileStream32::Open(const std::string& fileName, uint32_t mode) {
    switch (mode) {
        case platform::fmCreate:
            return platform::FileCreate(fileName);
        case platform::fmCreateNew:
            return platform::FileCreateNew(fileName);
        default:
            return platform::FileOpen(fileName, mode);
    }
}

TFileStream32::TFileStream32(const std::string& fileName, uint32_t mode)
    : THandleStream32(platform::kInvalidHandle), FFile(Open(fileName, mode)) {
    FHandle = FFile.Get();
}

bool TFileStream32::Close() {
    FHandle = platform::kInvalidHandle;
    ForgetPosition();
    return FFile.Close();
}

}  // namespace archive
