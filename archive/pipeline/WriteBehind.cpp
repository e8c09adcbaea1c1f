// The writing thread takes blocks in order; the decoder fills the next one meanwhile.
#include "archive/pipeline/WriteBehind.h"

#include <algorithm>

#include "archive/format/Crc32.h"
#include "platform/Platform.h"

namespace archive {

namespace {
constexpr size_t kBlockSize = 256 * 1024;
constexpr size_t kBlocks = 3;  // one being filled, two queued or being written
}  // namespace

TWriteBehind::TWriteBehind() : FFree(kBlocks) {
    for (auto& block : FFree)
        block.reserve(kBlockSize);
    FBlock = std::move(FFree.back());
    FFree.pop_back();
    FThread = std::thread([this] { Work(); });
}

TWriteBehind::~TWriteBehind() {
    {
        std::lock_guard lock(FLock);
        FEnding = true;
        FQueue.clear();  // blocks never finished with are not written
    }
    FWake.notify_one();
    FThread.join();
}

void TWriteBehind::Begin(fw::TStream& output, uint32_t crc) {
    Finish();
    std::lock_guard lock(FLock);
    FOutput = &output;
    FOutcome = {};
    FOutcome.Crc = crc;
}

bool TWriteBehind::Put(std::span<const uint8_t> data) {
    while (!data.empty()) {
        const size_t n = std::min(data.size(), kBlockSize - FBlock.size());
        FBlock.insert(FBlock.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(n));
        data = data.subspan(n);
        if (FBlock.size() == kBlockSize)
            Send();
    }
    std::lock_guard lock(FLock);
    return !FOutcome.Failed;
}

TWriteBehind::TOutcome TWriteBehind::Finish() {
    if (!FBlock.empty())
        Send();
    std::unique_lock lock(FLock);
    FDone.wait(lock, [this] { return FQueue.empty() && !FBusy; });
    return FOutcome;
}

// Queues the block being filled and takes a free one, waiting for the thread when none is free.
void TWriteBehind::Send() {
    std::unique_lock lock(FLock);
    FQueue.push_back(std::move(FBlock));
    FWake.notify_one();
    FDone.wait(lock, [this] { return !FFree.empty(); });
    FBlock = std::move(FFree.back());
    FFree.pop_back();
    FBlock.clear();
}

void TWriteBehind::Work() {
    std::unique_lock lock(FLock);
    for (;;) {
        FWake.wait(lock, [this] { return FEnding || !FQueue.empty(); });
        if (FQueue.empty())
            return;
        std::vector<uint8_t> block = std::move(FQueue.front());
        FQueue.pop_front();
        FBusy = true;
        const bool failed = FOutcome.Failed;
        const uint32_t crc = FOutcome.Crc;
        fw::TStream& output = *FOutput;
        lock.unlock();
        // After a failed write the entry is lost: later blocks are dropped, as the decoder stops.
        TOutcome done;
        if (!failed) {
            const auto size = static_cast<int32_t>(block.size());
            platform::SetLastError(platform::kErrorSuccess);
            const int32_t written = output.Write(block.data(), size);
            done.Written = static_cast<uint64_t>(std::max(written, 0));
            done.Failed = written < size;
            done.Error = platform::LastError();
            if (!done.Failed)
                done.Crc = UpdateCrc32(crc, block);
        }
        lock.lock();
        if (!failed) {
            FOutcome.Written += done.Written;
            if (done.Failed) {
                FOutcome.Failed = true;
                FOutcome.Error = done.Error;
            } else {
                FOutcome.Crc = done.Crc;
            }
        }
        FFree.push_back(std::move(block));
        FBusy = false;
        FDone.notify_all();
    }
}

}  // namespace archive
