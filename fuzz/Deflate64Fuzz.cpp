// Fuzz target: the Deflate64 decoder on raw input; in plain deflate mode its output is checked against zlib.
#include <zlib.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "archive/codec/Inflater.h"

namespace {

// Bounds the work per input; a bomb of the format's best ratio still stops here.
constexpr uint64_t kMaxOutput = 1u << 20;

struct TRun {
    archive::TInflateResult Result;
    std::vector<uint8_t> Out;
};

TRun Ours(const archive::TDeflateVariant& variant, const uint8_t* data, size_t size, size_t piece) {
    TRun run;
    size_t pos = 0;
    const bool cancel = false;
    archive::TInflater inflater(
        variant,
        [&](std::span<uint8_t> buffer) {
            const size_t n = std::min({piece, buffer.size(), size - pos});
            std::copy_n(data + pos, n, buffer.begin());
            pos += n;
            return static_cast<int32_t>(n);
        },
        [&](std::span<const uint8_t> out) {
            run.Out.insert(run.Out.end(), out.begin(), out.end());
            return static_cast<int32_t>(out.size());
        },
        cancel, kMaxOutput);
    run.Result = inflater.Run();
    return run;
}

// zlib's raw inflate of the whole input; true only for a complete stream within kMaxOutput.
bool Zlib(const uint8_t* data, size_t size, std::vector<uint8_t>& out) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK)
        return false;
    out.assign(kMaxOutput + 1, 0);
    z.next_in = const_cast<Bytef*>(data);
    z.avail_in = static_cast<uInt>(size);
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&z, Z_FINISH);
    out.resize(z.total_out);
    inflateEnd(&z);
    return status == Z_STREAM_END && out.size() <= kMaxOutput;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    // The first byte picks the input piece size, so buffer boundaries move.
    const size_t piece = data[0] % 2 ? 1 + data[0] : 32768;
    ++data;
    --size;
    Ours(archive::kDeflate64Variant, data, size, piece);
    const TRun plain = Ours(archive::kDeflateVariant, data, size, piece);
    std::vector<uint8_t> reference;
    if (plain.Result.Status == archive::isOk && Zlib(data, size, reference) && plain.Out != reference) {
        std::fprintf(stderr, "deflate output differs from zlib's: %zu vs %zu bytes\n", plain.Out.size(),
                     reference.size());
        std::abort();
    }
    return 0;
}
