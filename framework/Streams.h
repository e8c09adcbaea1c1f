// Streams with 64-bit sizes and positions: the abstract base, handle and file streams, memory stream.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/FileHandle.h"
#include "platform/Platform.h"

namespace fw {

enum TSeekOrigin { soBeginning = platform::kSeekBegin, soCurrent = platform::kSeekCurrent, soEnd = platform::kSeekEnd };

class TStream {
public:
    TStream() = default;
    TStream(const TStream&) = delete;
    TStream& operator=(const TStream&) = delete;
    virtual ~TStream() = default;

    // Bytes actually moved; 0 at the end or on error. Never throw.
    virtual int32_t Read(void* buffer, int32_t count) = 0;
    virtual int32_t Write(const void* buffer, int32_t count) = 0;
    virtual int64_t Seek(int64_t offset, TSeekOrigin origin) = 0;

    int64_t Position() { return Seek(0, soCurrent); }
    void SetPosition(int64_t pos) { Seek(pos, soBeginning); }
    virtual int64_t Size();
    virtual void SetSize(int64_t newSize) = 0;

    // All or nothing: EReadError / EWriteError when fewer bytes moved.
    void ReadBuffer(void* buffer, int64_t count);
    void WriteBuffer(const void* buffer, int64_t count);
    // Copies `count` bytes from `source`'s position; count 0 copies the whole of `source` from its start.
    int64_t CopyFrom(TStream& source, int64_t count);
};

// A stream over an operating-system file handle it does not own.
class THandleStream : public TStream {
public:
    explicit THandleStream(platform::THandle handle) : FHandle(handle) {}
    platform::THandle Handle() const { return FHandle; }

    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    void SetSize(int64_t newSize) override;  // EWriteError on failure

protected:
    platform::THandle FHandle;
};

// A file opened (platform::fmOpen* | fmShare*) or created (platform::fmCreate) by name; closed when freed.
// A failed open raises EFOpenError, a failed create EFCreateError, both with the platform's text.
class TFileStream : public THandleStream {
public:
    TFileStream(const std::string& fileName, uint32_t mode);
    const std::string& FileName() const { return FFileName; }

private:
    platform::TFileHandle FFile;  // the handle the stream works on, closed when the stream goes
    std::string FFileName;
};

class TMemoryStream : public TStream {
public:
    int32_t Read(void* buffer, int32_t count) override;
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, TSeekOrigin origin) override;
    int64_t Size() override { return static_cast<int64_t>(FData.size()); }
    void SetSize(int64_t newSize) override;

    void Clear();
    uint8_t* Memory() { return FData.data(); }
    const std::vector<uint8_t>& Bytes() const { return FData; }
    void LoadFromStream(TStream& source);  // replaces the content by the whole of `source`
    void SaveToStream(TStream& target);    // writes the whole content at the target's position

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

}  // namespace fw
