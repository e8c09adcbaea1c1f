// TEntrySink: the one way an entry's decoded chunks reach its output file, written on the caller's thread or
// handed to the write-behind thread. The entry's CRC, its byte count and its one failure report live here.
#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "archive/ZipCommon.h"
#include "archive/pipeline/WriteBehind.h"
#include "framework/Streams.h"

namespace archive {

// Whether an entry of `size` bytes is written behind: only where the workers setting allows threads, no
// progress handler could look at a file whose bytes are still on their way, and the entry is large enough
// to gain more than the hand-over costs.
bool WritesBehind(TWorkers workers, bool progressHandler, uint64_t size);

// What the sink tells the reader, on the caller's thread.
struct TSinkEvents {
    // After each chunk taken: its size and the entry's bytes so far.
    std::function<void(uint64_t taken, uint64_t entryDone)> Progress;
    // Once an entry, when its output is lost: the platform's error of the failed write.
    std::function<void(uint32_t error)> Failed;
};

class TEntrySink {
public:
    // `behind` null: every chunk is written here.
    TEntrySink(fw::TStream& output, TWriteBehind* behind, TSinkEvents events);
    TEntrySink(const TEntrySink&) = delete;
    TEntrySink& operator=(const TEntrySink&) = delete;

    // Writes (or hands over) a chunk; returns the bytes taken, 0 once the output is lost behind.
    int32_t Put(std::span<const uint8_t> data);
    // Waits for the writes behind and reports a failed one.
    void Finish();
    // Waits for the writes behind without a report: the decoder already gave up on the entry.
    void Abandon();
    // The finished CRC of the bytes written whole; after Finish or Abandon when writing behind.
    uint32_t Crc() const;

private:
    int32_t WriteHere(std::span<const uint8_t> data);
    TWriteBehind::TOutcome Settle();
    void Fail(uint32_t error, bool shortWrite);

    fw::TStream& FOutput;
    TWriteBehind* FBehind;
    TSinkEvents FEvents;
    uint32_t FCrc;
    uint64_t FDone = 0;
    bool FFailed = false;  // the lost output was reported
};

}  // namespace archive
