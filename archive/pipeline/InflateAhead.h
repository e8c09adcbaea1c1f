// TInflateAhead: a second thread inflates the small deflated entries of a run in list order while the reader
// writes the ones before. The reader still takes every entry in order and writes it itself, so its events,
// message processing and reports stay on the caller's thread; it is only spared the decoding. An entry that
// does not decode cleanly to its stated size is left to the reader, whose own decoding meets the fault.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "archive/codec/DecompressStream.h"
#include "archive/io/ReadCache.h"

namespace archive {

class TInflateAhead {
public:
    struct TItem {
        int64_t LocalHeaderOffset = 0;
        uint64_t CompressedSize = 0;
        uint64_t UncompressedSize = 0;  // 0: left to the reader
    };

    // Whether an entry of `size` bytes is worth inflating ahead: small enough to be held in memory, and
    // not empty.
    static bool Takes(uint64_t size);

    // Starts the thread, which opens `archiveFile` for itself; std::system_error when no thread can be had.
    TInflateAhead(const std::string& archiveFile, std::vector<TItem> items);
    // Stops at the next chunk and drops what was not taken.
    ~TInflateAhead();
    TInflateAhead(const TInflateAhead&) = delete;
    TInflateAhead& operator=(const TInflateAhead&) = delete;

    // Item `index`'s decoded bytes, exactly its size, or null when the reader must decode it itself. Waits
    // until the thread is past the item; items before it that were not taken are dropped. Indexes must not
    // go down. The bytes stay valid until the next call.
    const std::vector<uint8_t>* Take(size_t index);

private:
    struct TResult {
        size_t Index = 0;
        std::vector<uint8_t> Bytes;
    };
    void Work();
    // The item's whole decoded bytes, or empty when it does not decode cleanly to its size.
    std::vector<uint8_t> Inflate(TReadCache& archive, TInflateEngine& engine, const TItem& item);
    void DropBefore(size_t index);

    const std::vector<TItem> FItems;
    const std::string FArchiveFile;
    std::mutex FLock;
    std::condition_variable FReady;  // an item was finished, or the thread stopped
    std::condition_variable FRoom;   // results were taken or dropped, or the run is ending
    std::deque<TResult> FResults;    // decoded whole, in list order, not taken yet
    size_t FHeld = 0;                // bytes in FResults
    size_t FPassed = 0;              // items the thread is done with
    std::atomic<bool> FEnding{false};
    TResult FTaken;
    std::thread FThread;
};

}  // namespace archive
