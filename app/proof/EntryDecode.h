// Decodes one entry's data of an archive in bounded chunks and hands the bytes to a sink.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <span>

#include "app/proof/ArchiveFile.h"

namespace app::jarcheck {

enum TDecodeStatus {
    dsOk,           // the data decoded completely
    dsDataError,    // damaged data, or more output than allowed
    dsTruncated,    // the data ended (file end or the entry's size) before the stream did
    dsUnsupported,  // encrypted, or a method this check cannot decode
};

struct TDecodeResult {
    TDecodeStatus Status = dsOk;
    uint64_t InputUsed = 0;  // compressed bytes the stream took (exact for stored and deflate)
    uint64_t Output = 0;     // bytes handed to the sink
};

// Where an entry's compressed data lies and how it is coded.
struct TEntryData {
    int64_t Position = 0;     // first byte of the data in the file
    uint64_t InputLimit = 0;  // the data never reaches past this many bytes
    uint16_t Method = 0;
    uint16_t Flags = 0;
    uint64_t DeclaredSize = 0;  // the uncompressed size the records give (the legacy decoders need it)
    // Output past this many bytes is a data error; stored data is exactly InputLimit bytes long.
    uint64_t OutputLimit = std::numeric_limits<uint64_t>::max();
};

using TChunkSink = std::function<void(std::span<const uint8_t> bytes)>;

// Methods: 0 stored, 8 deflate (zlib), 9 Deflate64 and 1 to 6 through the engine's decoders.
TDecodeResult DecodeEntryData(TCheckFile& file, const TEntryData& data, const TChunkSink& sink);

}  // namespace app::jarcheck
