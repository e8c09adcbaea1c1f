// Byte transforms between a plain stream and a zlib stream (RFC 1950) through the library's deflate and inflate.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <vector>

#include "framework/Exceptions.h"
#include "framework/Streams.h"

namespace storage {

// zlib refused data or state; the message is the library wrapper's one word, "Error".
class ECompressionError : public fw::Exception {
public:
    ECompressionError() : fw::Exception("Error") {}
};
class EDecompressionError : public fw::Exception {
public:
    EDecompressionError() : fw::Exception("Error") {}
};

// Compresses what is written into one zlib stream appended to `dest` (not owned), at a zlib level
// (-1 the library's default, 1 fastest .. 9 smallest) with the default window and memory level.
class TZlibWriter {
public:
    TZlibWriter(fw::TStream& dest, int level);
    ~TZlibWriter();
    TZlibWriter(const TZlibWriter&) = delete;
    TZlibWriter& operator=(const TZlibWriter&) = delete;

    void WriteBuffer(const void* buffer, int64_t count);
    // Copies exactly `count` bytes from `source`'s position; EReadError when it has fewer.
    void CopyFrom(fw::TStream& source, int64_t count);
    // Ends the zlib stream (remaining output and the Adler-32 trailer); nothing may be written after.
    void Finish();

private:
    void Deflate(int flush);

    fw::TStream& FDest;
    z_stream FZ{};
    std::vector<Bytef> FOut;
};

// Reads the decompressed content of the zlib stream found at `source`'s position (not owned).
// Damaged data raises EDecompressionError; data that ends early gives short reads.
class TZlibReader {
public:
    explicit TZlibReader(fw::TStream& source);
    ~TZlibReader();
    TZlibReader(const TZlibReader&) = delete;
    TZlibReader& operator=(const TZlibReader&) = delete;

    // Bytes produced, fewer than `count` only at the end of the stream or of the source.
    int32_t Read(void* buffer, int32_t count);
    // All or nothing: EReadError when fewer bytes come.
    void ReadBuffer(void* buffer, int64_t count);
    void CopyTo(fw::TStream& dest, int64_t count);

private:
    fw::TStream& FSource;
    z_stream FZ{};
    std::vector<Bytef> FIn;
    bool FEnded = false;
};

}  // namespace storage
