// TDecompressStream: raw deflate (method 8) read through zlib from the entry's data in the archive stream.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "archive/io/Streams32.h"

struct z_stream_s;

namespace archive {

// A codec stream over an archive stream it does not own; it remembers where its next read must happen.
class TCustomStream : public TStream32 {
public:
    // Reads at most `inputLimit` bytes from `source`, starting at its current position, through `input`.
    TCustomStream(fw::TStream& source, uint64_t inputLimit, std::span<uint8_t> input);

    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void*, int32_t) override { return 0; }
    int64_t Seek(int64_t, fw::TSeekOrigin) override { return 0; }
    void SetSize(int64_t) override {}

protected:
    // Reads up to `count` bytes at the remembered position, never past the input limit; returns the bytes
    // now in the input buffer.
    uint32_t FillInput(uint32_t count);

    fw::TStream& FSource;
    int64_t FSourcePos;
    uint64_t FInputLeft;  // bytes of the entry's data not read yet
    std::span<uint8_t> FInput;
};

// The inflate state and input buffer a run keeps from one entry to the next: some 170 KiB made and freed
// for every entry made the heap shrink and grow again each time. Made at the first use; one stream at a time.
class TInflateEngine {
public:
    TInflateEngine();
    ~TInflateEngine();
    TInflateEngine(const TInflateEngine&) = delete;
    TInflateEngine& operator=(const TInflateEngine&) = delete;

private:
    friend class TDecompressStream;
    struct TState;
    TState& State();

    std::unique_ptr<TState> FState;
};

// zlib's window bits for raw deflate (no header) with a 32 KiB window: the ZIP methods' streams.
constexpr int kRawDeflateWindow = -15;

class TDecompressStream : public TCustomStream {
public:
    // Return codes of the decode step (zlib's numbering).
    static constexpr int kStreamError = -2;
    static constexpr int kDataError = -3;
    static constexpr int kMemError = -4;
    static constexpr int kBufError = -5;

    // `windowBits` -15: raw deflate with a 32 KiB window; no more than `compressedSize` bytes are read.
    // The stream uses `engine` until it goes.
    TDecompressStream(TInflateEngine& engine, fw::TStream& source, int windowBits, uint64_t compressedSize);
    // Moves the archive stream back by the input read but not consumed.
    ~TDecompressStream() override;

    // Decodes up to `count` bytes into `buffer`, reading at most `chunk` compressed bytes at a time.
    // Returns the bytes produced (fewer than `count` only at the end of the stream or before an error),
    // or a negative code when nothing could be produced.
    int32_t ReadChunk(uint8_t* buffer, uint32_t chunk, uint32_t count);
    // The same, reading the compressed bytes not consumed yet at most a chunk (32 KiB) at a time.
    int32_t ReadChunk(uint8_t* buffer, uint32_t count);
    bool Ended() const { return FEnded; }
    uint64_t TotalIn() const;

private:
    TDecompressStream(TInflateEngine::TState& state, fw::TStream& source, int windowBits, uint64_t compressedSize);

    uint64_t FCompressedSize;
    z_stream_s* FZ;
    int FInitResult;
    bool FEnded = false;
    int FPendingError = 0;  // an error met after some bytes were produced, returned by the next read
};

}  // namespace archive
