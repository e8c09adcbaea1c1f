// TDataWriter: moves an entry's bytes to the writer's output, with the run's counters, cancel flag, message
// loop and progress in one place for every kind of entry body.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "archive/ZipCommon.h"
#include "archive/codec/CompressStream.h"
#include "archive/format/Records.h"

namespace archive {

// The outcome of an entry's data.
struct TEntryData {
    uint16_t Method = kMethodStored;
    uint32_t Crc = 0;
    uint64_t Size = 0;    // bytes read from the source
    uint64_t Packed = 0;  // bytes of data written after the header
};

class TDataWriter {
public:
    struct THooks {
        std::function<fw::TStream&()> Output;
        std::function<void()> ProcessMessages;
        std::function<void(uint64_t done, uint64_t total)> Progress;  // of one file
    };
    // `bytesLeft` counts the run's input bytes still to process; `onProgress` tells whether anyone listens.
    TDataWriter(THooks hooks, int64_t& bytesLeft, const bool& cancel, const TOnProgress& onProgress);

    fw::TStream& Output() { return FHooks.Output(); }
    bool Cancelled() const { return FCancel; }
    void ProcessMessages() const;
    // Input bytes done (negative: given back when a file is read again).
    void Processed(int64_t bytes) { FBytesLeft -= bytes; }

    void Write(const void* data, size_t size);
    // The rest of `source`, stored: CRC and sizes, the message loop and progress at every chunk.
    TEntryData Store(fw::TStream& source, uint64_t size);
    // The whole of `source` deflated into `target` with the writer's engine; false when cancelled.
    bool Deflate(TStream32& source, fw::TStream& target, TDeflateType type, uint32_t& crc);
    // `count` bytes of `source` to the output; false when the source gives fewer.
    bool Copy(fw::TStream& source, uint64_t count);

private:
    THooks FHooks;
    int64_t& FBytesLeft;
    const bool& FCancel;
    const TOnProgress& FOnProgress;
    std::vector<uint8_t> FBuffer;  // one copy buffer for the whole run
    TDeflateWorkspace FWorkspace;  // the deflate engine of the writer's own thread
};

}  // namespace archive
