// Entries of the local-header walk whose sizes and CRC follow the data in a descriptor: the deflate stream
// is decoded to its end, and the descriptor behind it must agree with what was decoded.
#include <array>
#include <vector>

#include "archive/Messages.h"
#include "archive/codec/DecompressStream.h"
#include "archive/format/Crc32.h"
#include "archive/io/Chunk.h"
#include "archive/read/UnZip.h"

namespace archive {

namespace {
constexpr size_t kLongestDescriptor = 24;  // signature, CRC and two 64-bit sizes

// The descriptor forms: with or without its signature, with 32-bit or (Zip64) 64-bit sizes.
struct TDescriptorForm {
    bool Signed;
    bool Wide;
    size_t Size() const { return (Signed ? 4 : 0) + 4 + (Wide ? 16 : 8); }
};
constexpr std::array<TDescriptorForm, 4> kForms{{{true, false}, {false, false}, {true, true}, {false, true}}};

// The size of the descriptor form at the start of `bytes` that names this CRC and these sizes, or 0.
size_t MatchingDescriptor(std::span<const uint8_t> bytes, uint32_t crc, uint64_t packed, uint64_t length) {
    for (const TDescriptorForm form : kForms) {
        if (bytes.size() < form.Size() || (form.Signed && GetU32(bytes, 0) != kSplitMarkerSig))
            continue;
        const size_t at = form.Signed ? 4 : 0;
        const uint64_t packedField = form.Wide ? GetU64(bytes, at + 4) : GetU32(bytes, at + 4);
        const uint64_t lengthField = form.Wide ? GetU64(bytes, at + 12) : GetU32(bytes, at + 8);
        if (GetU32(bytes, at) == crc && packedField == packed && lengthField == length)
            return form.Size();
    }
    return 0;
}
}  // namespace

std::optional<int64_t> TUnZip::MeasureDescribed(const TLocalHeader& local,
                                                int64_t dataStart,
                                                TUnBaseHeaderObj& item,
                                                const std::string& name) {
    // Stored data has no end of its own: its descriptor could be any twelve bytes that look right.
    if (local.Method != kMethodDeflate) {
        ReportError(name, "sizes only in a data descriptor", kMsgUnsupportedMethod);
        return std::nullopt;
    }
    uint32_t crc = kCrcInit;
    uint64_t length = 0;
    uint64_t packed = 0;
    bool ended = false;
    if (Archive().Seek(dataStart, fw::soBeginning) == dataStart) {
        TDecompressStream stream(Context().Inflate, Archive(), kRawDeflateWindow,
                                 static_cast<uint64_t>(ArchiveSize() - dataStart));
        std::vector<uint8_t>& buffer = Context().Chunk;
        constexpr auto kChunk = static_cast<uint32_t>(kChunkSize);
        for (;;) {
            const int32_t n = stream.ReadChunk(buffer.data(), kChunk, kChunk);
            if (n > 0) {
                crc = UpdateCrc32(crc, {buffer.data(), static_cast<size_t>(n)});
                length += static_cast<uint64_t>(n);
            }
            if (n <= 0 || stream.Ended() || Cancel())
                break;
        }
        ended = stream.Ended();
        packed = stream.TotalIn();
    }
    crc ^= kCrcInit;
    const int64_t dataEnd = dataStart + static_cast<int64_t>(packed);
    const size_t descriptor =
        ended ? MatchingDescriptor(ReadBytesAt(Archive(), dataEnd, kLongestDescriptor), crc, packed, length) : 0;
    if (descriptor == 0) {
        if (!Cancel())
            ReportError(name, "no data descriptor agrees with the entry's data", kMsgCrcCheckFailed);
        return std::nullopt;
    }
    item.CompressedSize = packed;
    item.UncompressedSize = length;
    item.Crc32 = crc;
    return dataEnd + static_cast<int64_t>(descriptor);
}

}  // namespace archive
