// The deflate encoder stream: raw DEFLATE of everything written to it, appended to an output stream.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "archive/io/Streams32.h"
#include "framework/Streams.h"

namespace archive {

// The writer's deflate types; each selects one compression level.
enum TDeflateType { dtDeflateS, dtDeflateF, dtDeflateN, dtDeflateX };

// zlib's level for a deflate type (stored blocks, fastest, zlib's default, best).
int DeflateLevel(TDeflateType type);

// The deflate engine and the input chunk one thread reuses from entry to entry. Making and freeing some
// 400 KiB for every entry made the heap shrink and grow again each time, which cost more than compressing a
// small file. Each thread that deflates owns one: the writer for its own thread, each worker its own.
class TDeflateWorkspace {
public:
    TDeflateWorkspace();
    ~TDeflateWorkspace();
    TDeflateWorkspace(const TDeflateWorkspace&) = delete;
    TDeflateWorkspace& operator=(const TDeflateWorkspace&) = delete;

    // Input bytes read at once: kDeflateChunk of them.
    std::vector<uint8_t>& Chunk() { return FChunk; }

private:
    friend class TCompressStream;
    struct TEngine;
    std::unique_ptr<TEngine> FSpare;  // an engine no stream holds now
    std::vector<uint8_t> FChunk;
};

// Shared with the caller: the bytes still to process (for progress), the progress step, the cancel flag,
// the caller's message loop (none on a worker thread) and the workspace (none: a fresh engine and chunk).
struct TDeflateContext {
    int64_t* Remaining = nullptr;
    std::function<void()> OnProgress;
    const bool* Cancel = nullptr;
    std::function<void()> ProcessMessages;
    TDeflateWorkspace* Workspace = nullptr;

    bool Cancelled() const { return Cancel && *Cancel; }
};

// A write-only stream: every byte written is deflated (zlib raw deflate, 32 KiB window, memory level 8,
// default strategy) into a buffer that goes to `output` when full and at Finish(). The CRC-32 of the
// input is kept on the way. Buffer writes that come up short raise fw::EWriteError.
class TCompressStream : public TStream32 {
public:
    // Output bytes collected before one write to the archive.
    static constexpr size_t kOutBufferSize = 131070;

    TCompressStream(fw::TStream& output, TDeflateType type, TDeflateContext context = {});
    ~TCompressStream() override;

    int32_t Read(void* buffer, int32_t count) override;  // always -1: the stream is write-only
    int32_t Write(const void* buffer, int32_t count) override;
    int64_t Seek(int64_t offset, fw::TSeekOrigin origin) override;  // only the current position (= input consumed)
    void SetSize(int64_t newSize) override;

    // Ends the deflate stream and writes what is left; does nothing once cancelled.
    void Finish();
    // CRC-32 of the input consumed so far (final XOR applied).
    uint32_t Crc() const;
    // zlib's result code of initialisation (Z_OK when the engine is ready).
    int InitResult() const { return FInitResult; }

private:
    using TEngine = TDeflateWorkspace::TEngine;

    void RestoreOutputPosition();
    void FlushBuffer(size_t count);
    void ConsumeInput(const uint8_t* before);

    fw::TStream& FOutput;
    int64_t FOutputPos;
    TDeflateContext FContext;
    std::unique_ptr<TEngine> FEngine;
    int FInitResult;
    uint32_t FCrc;
    bool FFinished = false;
};

// Deflates the whole of `input` (from its start) into `output`: chunks of at most kDeflateChunk bytes, the
// context's message loop run and the cancel flag checked before each. Sets `crc` to the CRC-32 of the input (0 when
// empty). Returns false when cancelled. Output write failures raise fw::EWriteError.
constexpr int32_t kDeflateChunk = 131072;
bool DeflateStream(fw::TStream& input,
                   fw::TStream& output,
                   TDeflateType type,
                   const TDeflateContext& context,
                   uint32_t& crc);

}  // namespace archive
