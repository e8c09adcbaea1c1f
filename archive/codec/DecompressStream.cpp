// The method-8 decompressing stream on zlib's raw inflate.
#include "archive/codec/DecompressStream.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "archive/io/Chunk.h"

namespace archive {

namespace {
constexpr size_t kInputBufferSize = 131070;  // room for the largest input chunk the reader asks for
}

TCustomStream::TCustomStream(fw::TStream& source, uint64_t inputLimit, std::span<uint8_t> input)
    : FSource(source), FSourcePos(source.Position()), FInputLeft(inputLimit), FInput(input) {}

uint32_t TCustomStream::FillInput(uint32_t count) {
    count = static_cast<uint32_t>(std::min<uint64_t>({count, FInput.size(), FInputLeft}));
    // Other reads may have moved the archive stream since the last fill.
    if (FSource.Position() != FSourcePos)
        FSource.Seek(FSourcePos, fw::soBeginning);
    uint32_t got = 0;
    while (got < count) {
        const int32_t n = FSource.Read(FInput.data() + got, static_cast<int32_t>(count - got));
        if (n <= 0)
            break;
        got += static_cast<uint32_t>(n);
    }
    FSourcePos += got;
    FInputLeft -= got;
    return got;
}

// One state serves entry after entry: inflateReset decodes exactly as a fresh state does.
struct TInflateEngine::TState {
    z_stream Z{};
    bool Ready = false;  // initialised; inflateEnd is owed
    int WindowBits = 0;
    std::vector<uint8_t> Input = std::vector<uint8_t>(kInputBufferSize);

    TState() = default;
    TState(const TState&) = delete;
    TState& operator=(const TState&) = delete;
    ~TState() {
        if (Ready)
            inflateEnd(&Z);
    }
    int Start(int windowBits) {
        Z.next_in = nullptr;  // nothing of the previous entry's input may be taken for this one
        Z.avail_in = 0;
        if (Ready && WindowBits == windowBits)
            return inflateReset(&Z);
        if (Ready)
            inflateEnd(&Z);
        Z = z_stream{};
        const int result = inflateInit2(&Z, windowBits);
        Ready = result == Z_OK;
        WindowBits = windowBits;
        return result;
    }
};

TInflateEngine::TInflateEngine() = default;
TInflateEngine::~TInflateEngine() = default;

TInflateEngine::TState& TInflateEngine::State() {
    if (!FState)
        FState = std::make_unique<TState>();
    return *FState;
}

TDecompressStream::TDecompressStream(TInflateEngine& engine,
                                     fw::TStream& source,
                                     int windowBits,
                                     uint64_t compressedSize)
    : TDecompressStream(engine.State(), source, windowBits, compressedSize) {}

TDecompressStream::TDecompressStream(TInflateEngine::TState& state,
                                     fw::TStream& source,
                                     int windowBits,
                                     uint64_t compressedSize)
    : TCustomStream(source, compressedSize, state.Input),
      FCompressedSize(compressedSize),
      FZ(&state.Z),
      FInitResult(state.Start(windowBits)) {}

TDecompressStream::~TDecompressStream() {
    if (FInitResult != Z_OK)
        return;
    if (FZ->avail_in > 0)
        FSource.Seek(FSourcePos - FZ->avail_in, fw::soBeginning);
}

uint64_t TDecompressStream::TotalIn() const {
    return FInitResult == Z_OK ? FZ->total_in : 0;
}

int32_t TDecompressStream::ReadChunk(uint8_t* buffer, uint32_t count) {
    const uint64_t left = FCompressedSize - std::min(FCompressedSize, TotalIn());
    return ReadChunk(buffer, static_cast<uint32_t>(std::min<uint64_t>(left, kChunkSize)), count);
}

int32_t TDecompressStream::ReadChunk(uint8_t* buffer, uint32_t chunk, uint32_t count) {
    if (FInitResult != Z_OK)
        return FInitResult == Z_MEM_ERROR ? kMemError : kStreamError;
    if (FPendingError != 0)
        return FPendingError;
    FZ->next_out = buffer;
    FZ->avail_out = count;
    while (FZ->avail_out > 0 && !FEnded) {
        if (FZ->avail_in == 0) {
            FZ->next_in = FInput.data();
            FZ->avail_in = FillInput(chunk);
        }
        const int rc = inflate(FZ, Z_NO_FLUSH);
        if (rc == Z_STREAM_END) {
            FEnded = true;
        } else if (rc != Z_OK) {
            const int32_t produced = static_cast<int32_t>(count - FZ->avail_out);
            const int code = rc == Z_NEED_DICT ? kDataError : rc;
            if (produced == 0)
                return code;
            FPendingError = code;
            return produced;
        }
    }
    return static_cast<int32_t>(count - FZ->avail_out);
}

}  // namespace archive
