// The method-8 decompressing stream on zlib's raw inflate.
#include "archive/Inflate.h"

#include <zlib.h>

#include <algorithm>

namespace archive {

namespace {
constexpr size_t kInputBufferSize = 131070;  // room for the largest input chunk the reader asks for
}

TCustomStream::TCustomStream(fw::TStream& source, uint64_t inputLimit)
    : FSource(source), FSourcePos(source.Position()), FInputLeft(inputLimit), FInput(kInputBufferSize) {}

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

TDecompressStream::TDecompressStream(fw::TStream& source, int windowBits, uint64_t compressedSize)
    : TCustomStream(source, compressedSize), FZ(std::make_unique<z_stream_s>()) {
    FInitResult = inflateInit2(FZ.get(), windowBits);
}

TDecompressStream::~TDecompressStream() {
    if (FInitResult != Z_OK)
        return;
    if (FZ->avail_in > 0)
        FSource.Seek(FSourcePos - FZ->avail_in, fw::soBeginning);
    inflateEnd(FZ.get());
}

uint64_t TDecompressStream::TotalIn() const {
    return FInitResult == Z_OK ? FZ->total_in : 0;
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
        const int rc = inflate(FZ.get(), Z_NO_FLUSH);
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
