// TReadContext: what one extraction run keeps from entry to entry, owned by the reader for the run.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "archive/codec/DecompressStream.h"
#include "archive/io/Chunk.h"
#include "archive/pipeline/WriteBehind.h"

namespace archive {

class TReadContext {
public:
    TReadContext() = default;
    TReadContext(const TReadContext&) = delete;
    TReadContext& operator=(const TReadContext&) = delete;

    TInflateEngine Inflate;                                         // the method-8 streams, one at a time
    std::vector<uint8_t> Chunk = std::vector<uint8_t>(kChunkSize);  // one decoder's copy or inflate buffer

    // The write-behind thread, made at the first large entry; null when no thread can be had.
    TWriteBehind* WriteBehind();

private:
    std::unique_ptr<TWriteBehind> FWriteBehind;
};

}  // namespace archive
