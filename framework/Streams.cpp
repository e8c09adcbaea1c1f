// Stream base operations and the handle, file and memory streams.
#include "framework/Streams.h"

#include <algorithm>
#include <cstring>

#include "framework/Exceptions.h"

namespace fw {

namespace {
constexpr int32_t kCopyChunk = 32 * 1024;  // one copy buffer, as every stream copy in the program uses
}

int64_t TStream::Size() {
    const int64_t pos = Seek(0, soCurrent);
    const int64_t size = Seek(0, soEnd);
    Seek(pos, soBeginning);
    return size;
}

void TStream::ReadBuffer(void* buffer, int64_t count) {
    auto* p = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const int32_t n = Read(p, static_cast<int32_t>(std::min<int64_t>(count, kCopyChunk)));
        if (n <= 0)
            throw EReadError();
        p += n;
        count -= n;
    }
}

void TStream::WriteBuffer(const void* buffer, int64_t count) {
    const auto* p = static_cast<const uint8_t*>(buffer);
    while (count > 0) {
        const int32_t n = Write(p, static_cast<int32_t>(std::min<int64_t>(count, kCopyChunk)));
        if (n <= 0)
            throw EWriteError();
        p += n;
        count -= n;
    }
}

int64_t TStream::CopyFrom(TStream& source, int64_t count) {
    if (count == 0) {
        source.SetPosition(0);
        count = source.Size();
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(std::min<int64_t>(count, kCopyChunk)));
    const int64_t total = count;
    while (count > 0) {
        const auto n = static_cast<int32_t>(std::min<int64_t>(count, kCopyChunk));
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
    return total;
}

int32_t THandleStream::Read(void* buffer, int32_t count) {
    const int32_t n = platform::FileRead(FHandle, buffer, static_cast<uint32_t>(count));
    return n < 0 ? 0 : n;
}

int32_t THandleStream::Write(const void* buffer, int32_t count) {
    const int32_t n = platform::FileWrite(FHandle, buffer, static_cast<uint32_t>(count));
    return n < 0 ? 0 : n;
}

int64_t THandleStream::Seek(int64_t offset, TSeekOrigin origin) {
    return platform::FileSeek(FHandle, offset, origin);
}

void THandleStream::SetSize(int64_t newSize) {
    if (Seek(newSize, soBeginning) != newSize || !platform::FileTruncate(FHandle))
        throw EWriteError();
}

namespace {
platform::THandle OpenOrCreate(const std::string& fileName, uint32_t mode) {
    if (mode == platform::fmCreate) {
        const platform::THandle h = platform::FileCreate(fileName);
        if (h == platform::kInvalidHandle)
            throw EFCreateError("Cannot create file \"" + fileName + "\". " +
                                platform::SysErrorMessage(platform::LastError()));
        return h;
    }
    const platform::THandle h = platform::FileOpen(fileName, mode);
    if (h == platform::kInvalidHandle)
        throw EFOpenError("Cannot open file \"" + fileName + "\". " + platform::SysErrorMessage(platform::LastError()));
    return h;
}
}  // namespace

TFileStream::TFileStream(const std::string& fileName, uint32_t mode)
    : THandleStream(platform::kInvalidHandle), FFile(OpenOrCreate(fileName, mode)), FFileName(fileName) {
    FHandle = FFile.Get();
}

int32_t TMemoryStream::Read(void* buffer, int32_t count) {
    const int64_t avail = Size() - FPosition;
    if (count <= 0 || avail <= 0)
        return 0;
    const auto n = static_cast<int32_t>(std::min<int64_t>(count, avail));
    std::memcpy(buffer, FData.data() + FPosition, static_cast<size_t>(n));
    FPosition += n;
    return n;
}

int32_t TMemoryStream::Write(const void* buffer, int32_t count) {
    if (count <= 0 || FPosition < 0)
        return 0;
    const int64_t end = FPosition + count;
    if (end > Size())
        FData.resize(static_cast<size_t>(end));
    std::memcpy(FData.data() + FPosition, buffer, static_cast<size_t>(count));
    FPosition = end;
    return count;
}

int64_t TMemoryStream::Seek(int64_t offset, TSeekOrigin origin) {
    switch (origin) {
        case soBeginning:
            FPosition = offset;
            break;
        case soCurrent:
            FPosition += offset;
            break;
        case soEnd:
            FPosition = Size() + offset;
            break;
    }
    return FPosition;
}

void TMemoryStream::SetSize(int64_t newSize) {
    FData.resize(static_cast<size_t>(std::max<int64_t>(newSize, 0)));
    FPosition = std::min(FPosition, newSize);
}

void TMemoryStream::Clear() {
    FData.clear();
    FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& source) {
    source.SetPosition(0);
    const int64_t size = source.Size();
    SetSize(size);
    source.SetPosition(0);
    if (size > 0)
        source.ReadBuffer(FData.data(), size);
    FPosition = 0;
}

void TMemoryStream::SaveToStream(TStream& target) {
    if (!FData.empty())
        target.WriteBuffer(FData.data(), Size());
}

}  // namespace fw
