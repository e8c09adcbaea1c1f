// The decoders of the methods the reader handles and the table that picks one per entry.
#include "archive/read/DecodeJob.h"

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

#include "archive/Messages.h"
#include "archive/codec/DecompressStream.h"
#include "archive/codec/Inflater.h"
#include "archive/codec/legacy/Legacy.h"
#include "archive/io/Chunk.h"
#include "framework/Exceptions.h"

namespace archive {

namespace {

uint32_t ChunkOf(uint64_t remaining) {
    return static_cast<uint32_t>(std::min<uint64_t>(remaining, kChunkSize));
}

// Compression methods with a decoder; every other method takes the unsupported path.
constexpr std::array<std::pair<uint16_t, TDecoder>, 9> kDecoders{{
    {0, DecodeStored},
    {1, DecodeLegacy},  // shrink
    {2, DecodeLegacy},  // reduce, factors 1 to 4
    {3, DecodeLegacy},
    {4, DecodeLegacy},
    {5, DecodeLegacy},
    {6, DecodeLegacy},  // implode
    {8, DecodeDeflate},
    {9, DecodeDeflate64},
}};

// One pass of the method-8 loop: a stream-write error passes on, every other error is dropped
// and decoding goes on with the next buffer.
template <class F>
void GuardedPass(F&& pass) {
    try {
        pass();
    } catch (const fw::EWriteError&) {
        throw;
    } catch (...) {
        // Anything else, the E_RAISE of a reported write failure included, loses this buffer only.
    }
}

// The method-8 loop over `next`, which gives up to `request` decoded bytes: fewer only where the stream
// ends, none (empty) on an error.
template <class Next>
void DeflateLoop(TDecodeJob& job, Next&& next) {
    uint64_t remaining = job.UncompressedSize;
    uint32_t request = ChunkOf(remaining);
    bool done = false;
    while (remaining > 0 && !done && !job.Cancel) {
        job.ProcessMessages();
        GuardedPass([&] {
            const std::optional<std::span<const uint8_t>> piece = next(request);
            if (!piece) {
                done = true;
                return;
            }
            // A stream that ends early passes on only what it decoded.
            if (piece->size() < request)
                done = true;
            if (!piece->empty() && job.Write(*piece) == 0)
                job.Fatal(kMsgErrorWritingFile);
        });
        remaining -= std::min<uint64_t>(remaining, request);
        request = ChunkOf(remaining);
    }
}

}  // namespace

TDecoder FindDecoder(uint16_t method) {
    const auto it =
        std::find_if(kDecoders.begin(), kDecoders.end(), [method](const auto& d) { return d.first == method; });
    return it == kDecoders.end() ? nullptr : it->second;
}

void DecodeStored(TDecodeJob& job) {
    uint8_t* buffer = job.Context.Chunk.data();
    uint64_t remaining = job.CompressedSize;
    while (remaining > 0) {
        const uint32_t want = ChunkOf(remaining);
        const int32_t got = job.Source.Read(buffer, static_cast<int32_t>(want));
        if (got <= 0)
            break;
        // A chunk that could not be written at all loses the entry: no point writing the rest.
        if (job.Write(std::span<const uint8_t>(buffer, static_cast<size_t>(got))) == 0)
            job.Fatal(kMsgErrorWritingFile);
        remaining -= static_cast<uint64_t>(got);
        if (job.Cancel)
            break;
    }
}

void DecodeDeflate(TDecodeJob& job) {
    if (job.Inflated) {
        // Inflated whole ahead: the same pieces, messages and writes, only without the decoding.
        std::span<const uint8_t> rest(*job.Inflated);
        DeflateLoop(job, [&rest](uint32_t request) -> std::optional<std::span<const uint8_t>> {
            const std::span<const uint8_t> piece = rest.first(std::min<size_t>(rest.size(), request));
            rest = rest.subspan(piece.size());
            return piece;
        });
        return;
    }
    TDecompressStream stream(job.Context.Inflate, job.Source, kRawDeflateWindow, job.CompressedSize);
    uint8_t* buffer = job.Context.Chunk.data();
    DeflateLoop(job, [&](uint32_t request) -> std::optional<std::span<const uint8_t>> {
        const int32_t n = stream.ReadChunk(buffer, request);
        if (n < 0)
            return std::nullopt;
        return std::span<const uint8_t>(buffer, static_cast<size_t>(n));
    });
}

void DecodeDeflate64(TDecodeJob& job) {
    uint64_t remainingIn = job.CompressedSize;
    auto read = [&](std::span<uint8_t> buffer) -> int32_t {
        const uint32_t want = std::min<uint32_t>(ChunkOf(remainingIn), static_cast<uint32_t>(buffer.size()));
        if (want == 0)
            return 0;
        const int32_t got = job.Source.Read(buffer.data(), static_cast<int32_t>(want));
        if (got > 0)
            remainingIn -= static_cast<uint64_t>(got);
        return got;
    };
    TInflater inflater(kDeflate64Variant, read, job.Write, job.Cancel, job.UncompressedSize);
    if (inflater.Run().Status == isWriteError)
        job.Fatal(kMsgErrorWritingFile);
}

// The legacy decoders read no further than the entry's compressed bytes and write through the chunk
// writer; a bad code stream is fatal, other damage ends the entry and the CRC check reports it.
void DecodeLegacy(TDecodeJob& job) {
    uint64_t remaining = job.CompressedSize;
    const legacy::TLegacyRead read = [&](uint8_t* buffer, int32_t count) -> int32_t {
        const auto want = static_cast<int32_t>(std::min<uint64_t>(remaining, static_cast<uint64_t>(count)));
        const int32_t got = want > 0 ? job.Source.Read(buffer, want) : 0;
        remaining -= static_cast<uint64_t>(std::max(got, 0));
        return std::max(got, 0);
    };
    const legacy::TLegacyWrite write = [&](const uint8_t* data, int32_t count) {
        return !job.Cancel && job.Write(std::span<const uint8_t>(data, static_cast<size_t>(count))) == count;
    };
    switch (legacy::DecodeLegacy(job.Method, job.Flags, static_cast<int64_t>(job.UncompressedSize), read, write)) {
        case legacy::lsBadBlock:
            job.Fatal(kMsgBadBlock);
            break;
        case legacy::lsStackOverflow:
            job.Fatal(kMsgStackOverflow);
            break;
        default:
            break;
    }
}

}  // namespace archive
