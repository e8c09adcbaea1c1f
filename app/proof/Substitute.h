// A streaming twin of the class patcher: the bytes a class file holds after the patcher ran, chunk by chunk.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/proof/EntryDecode.h"

namespace app::jarcheck {

// Replaces `search` by `replace` (of the same length) at every offset where the bytes, as rewritten so far,
// hold `search`, in ascending order of offsets: the rule of ReplaceInFile. Bytes that could still begin a
// match are held back until the next chunk or Finish().
class TSubstitution {
public:
    TSubstitution(const std::string& search, const std::string& replace, TChunkSink downstream);
    void Feed(std::span<const uint8_t> bytes);
    void Finish();
    uint64_t Replacements() const { return FReplacements; }

private:
    std::string FSearch;
    std::string FReplace;
    TChunkSink FDownstream;
    std::vector<uint8_t> FBuffer;  // held-back bytes followed by the current chunk
    uint64_t FReplacements = 0;
};

// The CRC-32 and length of the bytes fed.
class TCrcCounter {
public:
    TCrcCounter();
    void Feed(std::span<const uint8_t> bytes);
    uint32_t Crc() const;
    uint64_t Size() const { return FSize; }

private:
    uint32_t FRunning;
    uint64_t FSize = 0;
};

}  // namespace app::jarcheck
