// zlib deflate and inflate driven chunk by chunk between framework streams.
#include "storage/ZlibStreams.h"

#include <algorithm>

namespace storage {

namespace {
constexpr int32_t kChunk = 32 * 1024;  // one buffer, the size every stream copy in the program uses

// zlib counts in uInt; feed it at most one chunk at a time.
uInt ChunkOf(int64_t count) {
    return static_cast<uInt>(std::min<int64_t>(count, kChunk));
}
}  // namespace

TZlibWriter::TZlibWriter(fw::TStream& dest, int level) : FDest(dest), FOut(kChunk) {
    if (deflateInit(&FZ, level) != Z_OK)
        throw ECompressionError();
}

TZlibWriter::~TZlibWriter() {
    deflateEnd(&FZ);
}

void TZlibWriter::Deflate(int flush) {
    int ret = Z_OK;
    do {
        FZ.next_out = FOut.data();
        FZ.avail_out = static_cast<uInt>(FOut.size());
        ret = deflate(&FZ, flush);
        if (ret == Z_STREAM_ERROR)
            throw ECompressionError();
        FDest.WriteBuffer(FOut.data(), static_cast<int64_t>(FOut.size() - FZ.avail_out));
    } while (FZ.avail_out == 0 || (flush == Z_FINISH && ret != Z_STREAM_END));
}

void TZlibWriter::WriteBuffer(const void* buffer, int64_t count) {
    const auto* p = static_cast<const Bytef*>(buffer);
    while (count > 0) {
        const uInt n = ChunkOf(count);
        FZ.next_in = const_cast<Bytef*>(p);  // zlib's interface is not const-correct; it only reads
        FZ.avail_in = n;
        Deflate(Z_NO_FLUSH);
        p += n;
        count -= n;
    }
}

void TZlibWriter::CopyFrom(fw::TStream& source, int64_t count) {
    std::vector<Bytef> buffer(kChunk);
    while (count > 0) {
        const uInt n = ChunkOf(count);
        source.ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        count -= n;
    }
}

void TZlibWriter::Finish() {
    FZ.next_in = nullptr;
    FZ.avail_in = 0;
    Deflate(Z_FINISH);
}

TZlibReader::TZlibReader(fw::TStream& source) : FSource(source), FIn(kChunk) {
    if (inflateInit(&FZ) != Z_OK)
        throw EDecompressionError();
}

TZlibReader::~TZlibReader() {
    inflateEnd(&FZ);
}

int32_t TZlibReader::Read(void* buffer, int32_t count) {
    if (count <= 0)
        return 0;
    FZ.next_out = static_cast<Bytef*>(buffer);
    FZ.avail_out = static_cast<uInt>(count);
    while (FZ.avail_out > 0 && !FEnded) {
        if (FZ.avail_in == 0) {
            const int32_t got = FSource.Read(FIn.data(), static_cast<int32_t>(FIn.size()));
            if (got <= 0)
                break;
            FZ.next_in = FIn.data();
            FZ.avail_in = static_cast<uInt>(got);
        }
        const int ret = inflate(&FZ, Z_NO_FLUSH);
        if (ret == Z_STREAM_END)
            FEnded = true;
        else if (ret != Z_OK && ret != Z_BUF_ERROR)
            throw EDecompressionError();
    }
    return count - static_cast<int32_t>(FZ.avail_out);
}

void TZlibReader::ReadBuffer(void* buffer, int64_t count) {
    auto* p = static_cast<uint8_t*>(buffer);
    while (count > 0) {
        const auto n = static_cast<int32_t>(ChunkOf(count));
        if (Read(p, n) != n)
            throw fw::EReadError();
        p += n;
        count -= n;
    }
}

void TZlibReader::CopyTo(fw::TStream& dest, int64_t count) {
    std::vector<uint8_t> buffer(kChunk);
    while (count > 0) {
        const auto n = static_cast<int32_t>(ChunkOf(count));
        ReadBuffer(buffer.data(), n);
        dest.WriteBuffer(buffer.data(), n);
        count -= n;
    }
}

}  // namespace storage
