// The entry decoders of the check: stored copy, raw deflate through zlib, Deflate64 and the legacy methods.
#include "app/proof/EntryDecode.h"

#include <zlib.h>

#include <algorithm>
#include <vector>

#include "archive/codec/Inflater.h"
#include "archive/codec/legacy/Legacy.h"
#include "archive/format/Records.h"

namespace app::jarcheck {

namespace {
constexpr uint16_t kMethodDeflate64 = 9;
constexpr int kRawDeflateWindow = -15;  // zlib: raw deflate, 32 KiB window

// The entry's compressed bytes in order, never past its limit or the file's end.
class TInput {
public:
    TInput(TCheckFile& file, const TEntryData& data) : FFile(file), FPosition(data.Position), FLeft(data.InputLimit) {}
    size_t Next(std::span<uint8_t> buffer) {
        const size_t want = static_cast<size_t>(std::min<uint64_t>(buffer.size(), FLeft));
        const size_t got = FFile.ReadInto(FPosition, buffer.first(want));
        FPosition += static_cast<int64_t>(got);
        FLeft -= got;
        FShort = FShort || got < want;
        return got;
    }
    bool Exhausted() const { return FLeft == 0 || FShort; }

private:
    TCheckFile& FFile;
    int64_t FPosition;
    uint64_t FLeft;
    bool FShort = false;
};

// Counts what reaches the sink and notes output past the limit.
class TOutput {
public:
    TOutput(const TChunkSink& sink, uint64_t limit) : FSink(sink), FLimit(limit) {}
    // False once the output is longer than allowed (nothing past the limit is handed on).
    bool Put(std::span<const uint8_t> bytes) {
        if (bytes.size() > FLimit - FTotal) {
            FOver = true;
            return false;
        }
        FTotal += bytes.size();
        if (!bytes.empty())
            FSink(bytes);
        return true;
    }
    uint64_t Total() const { return FTotal; }
    bool Over() const { return FOver; }

private:
    const TChunkSink& FSink;
    uint64_t FLimit;
    uint64_t FTotal = 0;
    bool FOver = false;
};

TDecodeResult Stored(TCheckFile& file, const TEntryData& data, TOutput& out) {
    if (data.InputLimit > data.OutputLimit)
        return {dsDataError, 0, 0};
    TInput in(file, data);
    std::vector<uint8_t> buffer(kCheckChunk);
    uint64_t used = 0;
    while (!in.Exhausted()) {
        const size_t got = in.Next(buffer);
        used += got;
        out.Put(std::span<const uint8_t>(buffer).first(got));
    }
    return {used == data.InputLimit ? dsOk : dsTruncated, used, out.Total()};
}

// Owns one zlib inflate state for a call.
class TZlibInflate {
public:
    TZlibInflate() { FInit = inflateInit2(&FStream, kRawDeflateWindow); }
    ~TZlibInflate() {
        if (FInit == Z_OK)
            inflateEnd(&FStream);
    }
    TZlibInflate(const TZlibInflate&) = delete;
    TZlibInflate& operator=(const TZlibInflate&) = delete;
    bool Ready() const { return FInit == Z_OK; }
    z_stream& Stream() { return FStream; }

private:
    z_stream FStream{};
    int FInit = Z_STREAM_ERROR;
};

TDecodeResult Deflate(TCheckFile& file, const TEntryData& data, TOutput& out) {
    TZlibInflate zlib;
    if (!zlib.Ready())
        return {dsUnsupported, 0, 0};
    z_stream& z = zlib.Stream();
    TInput in(file, data);
    std::vector<uint8_t> input(kCheckChunk);
    std::vector<uint8_t> output(kCheckChunk);
    for (;;) {
        if (z.avail_in == 0 && !in.Exhausted()) {
            z.next_in = input.data();
            z.avail_in = static_cast<uInt>(in.Next(input));
        }
        z.next_out = output.data();
        z.avail_out = static_cast<uInt>(output.size());
        const int rc = inflate(&z, Z_NO_FLUSH);
        const size_t produced = output.size() - z.avail_out;
        if (!out.Put(std::span<const uint8_t>(output).first(produced)))
            return {dsDataError, z.total_in, out.Total()};
        if (rc == Z_STREAM_END)
            return {dsOk, z.total_in, out.Total()};
        if (rc == Z_BUF_ERROR && z.avail_in == 0 && in.Exhausted())
            return {dsTruncated, z.total_in, out.Total()};
        if (rc != Z_OK && rc != Z_BUF_ERROR)
            return {dsDataError, z.total_in, out.Total()};
    }
}

TDecodeResult Deflate64(TCheckFile& file, const TEntryData& data, TOutput& out) {
    TInput in(file, data);
    const bool cancel = false;
    archive::TInflater inflater(
        archive::kDeflate64Variant, [&in](std::span<uint8_t> buffer) { return static_cast<int32_t>(in.Next(buffer)); },
        [&out](std::span<const uint8_t> data) { return out.Put(data) ? static_cast<int32_t>(data.size()) : 0; }, cancel,
        data.OutputLimit);
    const archive::TInflateResult result = inflater.Run();
    return {result.Status == archive::isOk && !out.Over() ? dsOk : dsDataError, data.InputLimit, out.Total()};
}

TDecodeResult Legacy(TCheckFile& file, const TEntryData& data, TOutput& out) {
    TInput in(file, data);
    const auto status = archive::legacy::DecodeLegacy(
        data.Method, data.Flags, static_cast<int64_t>(data.DeclaredSize),
        [&in](uint8_t* buffer, int32_t count) {
            return static_cast<int32_t>(in.Next(std::span<uint8_t>(buffer, static_cast<size_t>(count))));
        },
        [&out](const uint8_t* data, int32_t count) {
            return out.Put(std::span<const uint8_t>(data, static_cast<size_t>(count)));
        });
    return {status == archive::legacy::lsOk && !out.Over() ? dsOk : dsDataError, data.InputLimit, out.Total()};
}
}  // namespace

TDecodeResult DecodeEntryData(TCheckFile& file, const TEntryData& data, const TChunkSink& sink) {
    if (data.Flags & archive::kFlagEncrypted)
        return {dsUnsupported, 0, 0};
    TOutput out(sink, data.OutputLimit);
    switch (data.Method) {
        case archive::kMethodStored:
            return Stored(file, data, out);
        case archive::kMethodDeflate:
            return Deflate(file, data, out);
        case kMethodDeflate64:
            return Deflate64(file, data, out);
        default:
            if (archive::legacy::IsLegacyMethod(data.Method) && data.DeclaredSize <= INT64_MAX)
                return Legacy(file, data, out);
            return {dsUnsupported, 0, 0};
    }
}

}  // namespace app::jarcheck
