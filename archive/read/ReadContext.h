// TReadContext: what one extraction run keeps from entry to entry, owned by the reader for the run.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "archive/codec/DecompressStream.h"
#include "archive/io/Chunk.h"
#include "archive/pipeline/InflateAhead.h"
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

    // Starts inflating the listed entries ahead on a second thread; without a thread, nothing is.
    void InflateAhead(const std::string& archiveFile, std::vector<TInflateAhead::TItem> items);
    // The listed entry the reader is at; its bytes, when they were inflated ahead, or null.
    void BeginListed(size_t index) { FListed = index; }
    const std::vector<uint8_t>* InflatedAhead();

private:
    std::unique_ptr<TInflateAhead> FInflateAhead;
    std::unique_ptr<TWriteBehind> FWriteBehind;
    size_t FListed = 0;
};

}  // namespace archive
