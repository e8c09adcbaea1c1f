// TWriteBehind: writes a large entry's decoded bytes and sums their CRC on a second thread, so the decoder
// never waits for the file system. Bytes go over in blocks, and only a few blocks are ever held, so the
// memory used does not grow with the entry.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <thread>
#include <vector>

#include "framework/Streams.h"

namespace archive {

class TWriteBehind {
public:
    struct TOutcome {
        uint32_t Crc = 0;      // the running CRC carried on over every block written whole
        uint64_t Written = 0;  // bytes the output took
        bool Failed = false;   // a write took fewer bytes than it was given
        uint32_t Error = 0;    // the platform's error code of that write
    };

    TWriteBehind();
    ~TWriteBehind();  // waits for the block being written
    TWriteBehind(const TWriteBehind&) = delete;
    TWriteBehind& operator=(const TWriteBehind&) = delete;

    // Starts an entry written to `output` with the running CRC `crc`.
    void Begin(fw::TStream& output, uint32_t crc);
    // Takes a copy of `data`; false once a write of this entry has failed.
    bool Put(std::span<const uint8_t> data);
    // Writes what is held and waits for it; asked again, gives the same outcome.
    TOutcome Finish();

private:
    void Send();
    void Work();

    std::mutex FLock;
    std::condition_variable FWake;  // a block was queued, or the thread is ending
    std::condition_variable FDone;  // a block was written
    std::deque<std::vector<uint8_t>> FQueue;
    std::vector<std::vector<uint8_t>> FFree;
    std::vector<uint8_t> FBlock;  // being filled by Put
    fw::TStream* FOutput = nullptr;
    TOutcome FOutcome;
    bool FBusy = false;  // the thread holds a block
    bool FEnding = false;
    std::thread FThread;
};

}  // namespace archive
