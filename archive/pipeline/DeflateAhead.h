// TDeflateAhead: worker threads that deflate whole files in memory ahead of the writer, which takes the
// results one by one in entry order and writes them exactly as it would have written its own.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "archive/codec/CompressStream.h"
#include "archive/io/TempFileStream.h"

namespace archive {

class TDeflateAhead {
public:
    struct TResult {
        std::vector<uint8_t> Input;   // the file as it was read
        std::vector<uint8_t> Packed;  // the raw deflate stream of the whole input
        // A large file is read by the worker and deflated into a temporary file instead.
        std::unique_ptr<TTempFileStream> Spill;
        uint64_t SpillSize = 0;  // deflated bytes in Spill
        uint32_t Crc = 0;        // CRC-32 of the input (0 when empty)
        uint64_t Size = 0;       // input bytes
        bool Ok = false;         // false when the engine could not start (or a large file failed)
    };

    // Starts up to `workers` threads deflating with the level of `type`; std::system_error when none starts.
    TDeflateAhead(TDeflateType type, unsigned workers);
    // Waits for the job being deflated and drops the rest.
    ~TDeflateAhead();
    TDeflateAhead(const TDeflateAhead&) = delete;
    TDeflateAhead& operator=(const TDeflateAhead&) = delete;

    // Queues `input` under `key` (keys are taken in increasing order).
    void Submit(size_t key, std::vector<uint8_t> input);
    // Queues the file at `path`, read and deflated into `spill` by the worker.
    void SubmitLarge(size_t key, std::string path, std::unique_ptr<TTempFileStream> spill);
    bool Submitted(size_t key) const;
    // Waits for the result under `key` and hands it over; nothing when it was never submitted. `idle` runs
    // every few milliseconds of the wait.
    std::optional<TResult> Take(size_t key, const std::function<void()>& idle = {});
    // Forgets every job, queued, running or done; running ones finish and are dropped.
    void Clear();
    // Buffers go round: a spent one handed back keeps its memory for the next file or result, so the
    // heaps of the threads do not shrink and grow again for every entry.
    std::vector<uint8_t> TakeBuffer();
    void GiveBack(std::vector<uint8_t> buffer);
    // Input and output bytes held by queued and finished jobs.
    uint64_t BytesHeld() const;
    // Jobs not taken yet; those of large files.
    size_t Count() const;
    size_t LargeCount() const;

private:
    struct TJob {
        std::vector<uint8_t> Input;
        std::string Path;  // a large file's, read by the worker
        std::unique_ptr<TTempFileStream> Spill;
        std::optional<TResult> Result;
        uint64_t Generation = 0;
    };
    void Work();
    void Deflate(const std::vector<uint8_t>& input, TDeflateWorkspace& workspace, TResult& result) const;
    void DeflateFile(const std::string& path, TDeflateWorkspace& workspace, TResult& result) const;

    const TDeflateType FType;
    mutable std::mutex FLock;
    std::condition_variable FWake;  // a job was queued, or the pool is ending
    std::condition_variable FDone;  // a job was finished
    std::map<size_t, TJob> FJobs;
    std::deque<size_t> FQueue;  // keys waiting for a worker, oldest first
    uint64_t FGeneration = 0;   // raised by Clear: results of older jobs are dropped
    uint64_t FHeld = 0;
    std::vector<std::vector<uint8_t>> FSpare;
    bool FEnding = false;
    std::atomic<bool> FAbandon{false};  // the pool is ending: a large file being deflated is given up
    std::vector<std::thread> FWorkers;
};

}  // namespace archive
