// Runs a legacy decoder over an in-memory stream, fed in pieces of a chosen size, and records its writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/codec/legacy/Legacy.h"

namespace legacytest {

using Bytes = std::vector<uint8_t>;

struct TDecoded {
    archive::legacy::TLegacyStatus status = archive::legacy::lsOk;
    Bytes data;
    size_t largestChunk = 0;
    size_t writes = 0;
};

struct TFeed {
    int32_t piece = 32768;                // bytes handed out per read
    size_t refuseAfterWrites = SIZE_MAX;  // the writer answers false from this write on
};

TDecoded Decode(int method, uint16_t flags, const Bytes& packed, int64_t size, const TFeed& feed = {});

// Sample data sets for round trips: empty, one byte, repetitive, text, random, 1 MiB mixed.
struct TSample {
    std::string name;
    Bytes data;
};
std::vector<TSample> Samples();
Bytes Random(size_t size, uint32_t seed);
Bytes Text(size_t size);  // source-like words

// A one-entry archive "f.txt" holding `packed` under the given method and flags.
Bytes OneEntryZip(int method, uint16_t flags, const Bytes& packed, const Bytes& data);

}  // namespace legacytest
