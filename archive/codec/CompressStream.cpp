// The deflate encoder stream on zlib's raw deflate, and the writer's whole-stream entry point.
#include "archive/codec/CompressStream.h"

#include <zlib.h>

#include <algorithm>

#include "archive/format/Crc32.h"
#include "framework/Component.h"

namespace archive {

namespace {
constexpr int kRawWindowBits = -15;  // 32 KiB window; the negative value asks zlib for raw output
constexpr int kMemLevel = 8;         // zlib's default: 32768 hash heads, 16384-symbol blocks
}  // namespace

int DeflateLevel(TDeflateType type) {
    switch (type) {
        case dtDeflateS:
            return 0;
        case dtDeflateF:
            return 1;
        case dtDeflateX:
            return 9;
        case dtDeflateN:
            break;
    }
    return Z_DEFAULT_COMPRESSION;
}

// The deflate state and output buffer; deflateReset gives the same output as a fresh engine.
struct TDeflateWorkspace::TEngine {
    z_stream Z{};
    bool Ready = false;  // initialised; deflateEnd is owed
    int Level = 0;
    std::vector<uint8_t> Buffer;

    TEngine() = default;
    TEngine(const TEngine&) = delete;
    TEngine& operator=(const TEngine&) = delete;
    ~TEngine() {
        if (Ready)
            deflateEnd(&Z);
    }
    int Start(int level) {
        if (Ready && Level == level)
            return deflateReset(&Z);
        if (Ready)
            deflateEnd(&Z);
        Z = z_stream{};
        const int result = deflateInit2(&Z, level, Z_DEFLATED, kRawWindowBits, kMemLevel, Z_DEFAULT_STRATEGY);
        Ready = result == Z_OK;
        Level = level;
        return result;
    }
};

TDeflateWorkspace::TDeflateWorkspace() : FChunk(kDeflateChunk) {}

TDeflateWorkspace::~TDeflateWorkspace() = default;

TCompressStream::TCompressStream(fw::TStream& output, TDeflateType type, TDeflateContext context)
    : FOutput(output), FOutputPos(output.Position()), FContext(std::move(context)), FCrc(kCrcInit) {
    if (FContext.Workspace)
        FEngine = std::move(FContext.Workspace->FSpare);
    if (!FEngine)
        FEngine = std::make_unique<TEngine>();
    FInitResult = FEngine->Start(DeflateLevel(type));
    FEngine->Buffer.resize(kOutBufferSize);
    FEngine->Z.next_out = FEngine->Buffer.data();
    FEngine->Z.avail_out = static_cast<uInt>(FEngine->Buffer.size());
}

TCompressStream::~TCompressStream() {
    if (FInitResult == Z_OK && FContext.Workspace && !FContext.Workspace->FSpare)
        FContext.Workspace->FSpare = std::move(FEngine);
}

int32_t TCompressStream::Read(void*, int32_t) {
    return -1;
}

int64_t TCompressStream::Seek(int64_t offset, fw::TSeekOrigin origin) {
    if (offset == 0 && origin == fw::soCurrent)
        return static_cast<int64_t>(FEngine->Z.total_in);
    return -1;
}

void TCompressStream::SetSize(int64_t) {}

uint32_t TCompressStream::Crc() const {
    return FCrc ^ kCrcInit;
}

void TCompressStream::RestoreOutputPosition() {
    if (FOutput.Position() != FOutputPos)
        FOutput.Seek(FOutputPos, fw::soBeginning);
}

void TCompressStream::FlushBuffer(size_t count) {
    if (count > 0)
        FOutput.WriteBuffer(FEngine->Buffer.data(), static_cast<int64_t>(count));
    FEngine->Z.next_out = FEngine->Buffer.data();
    FEngine->Z.avail_out = static_cast<uInt>(FEngine->Buffer.size());
    FOutputPos = FOutput.Position();
}

void TCompressStream::ConsumeInput(const uint8_t* before) {
    const auto used = static_cast<size_t>(FEngine->Z.next_in - before);
    FCrc = UpdateCrc32(FCrc, {before, used});
    if (FContext.Remaining)
        *FContext.Remaining -= static_cast<int64_t>(used);
}

int32_t TCompressStream::Write(const void* buffer, int32_t count) {
    if (FInitResult != Z_OK || FFinished || count <= 0 || FContext.Cancelled())
        return 0;
    z_stream& z = FEngine->Z;
    z.next_in = static_cast<Bytef*>(const_cast<void*>(buffer));
    z.avail_in = static_cast<uInt>(count);
    RestoreOutputPosition();
    while (z.avail_in > 0 && !FContext.Cancelled()) {
        const uint8_t* before = z.next_in;
        if (deflate(&z, Z_NO_FLUSH) == Z_STREAM_ERROR)
            break;
        ConsumeInput(before);
        if (z.avail_out == 0)
            FlushBuffer(FEngine->Buffer.size());
        fw::Fire(FContext.OnProgress);
    }
    const auto left = static_cast<int32_t>(z.avail_in);
    z.next_in = nullptr;
    z.avail_in = 0;
    return count - left;
}

void TCompressStream::Finish() {
    if (FInitResult != Z_OK || FFinished || FContext.Cancelled())
        return;
    FFinished = true;
    RestoreOutputPosition();
    z_stream& z = FEngine->Z;
    int rc = deflate(&z, Z_FINISH);
    while (rc == Z_OK && !FContext.Cancelled()) {
        FlushBuffer(FEngine->Buffer.size() - z.avail_out);
        rc = deflate(&z, Z_FINISH);
    }
    if (!FContext.Cancelled())
        FlushBuffer(FEngine->Buffer.size() - z.avail_out);
}

bool DeflateStream(fw::TStream& input,
                   fw::TStream& output,
                   TDeflateType type,
                   const TDeflateContext& context,
                   uint32_t& crc) {
    TCompressStream deflater(output, type, context);
    if (deflater.InitResult() != Z_OK)
        return false;
    input.SetPosition(0);
    std::vector<uint8_t> ownChunk;
    std::vector<uint8_t>& chunk = context.Workspace ? context.Workspace->Chunk() : ownChunk;
    chunk.resize(kDeflateChunk);
    for (;;) {
        fw::Fire(context.ProcessMessages);
        if (context.Cancelled())
            break;
        const int32_t n = input.Read(chunk.data(), kDeflateChunk);
        if (n <= 0 || deflater.Write(chunk.data(), n) != n)
            break;
    }
    deflater.Finish();
    crc = deflater.Crc();
    return !context.Cancelled();
}

}  // namespace archive
