// The deflate workers: the same encoder with the same chunks as the writer's own path, so the bytes agree.
#include "archive/pipeline/DeflateAhead.h"

#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <system_error>

#include "framework/Exceptions.h"

namespace archive {

// As many workers as the system gives, at least one.
TDeflateAhead::TDeflateAhead(TDeflateType type, unsigned workers) : FType(type) {
    for (unsigned i = 0; i < workers; ++i) {
        try {
            FWorkers.emplace_back([this] { Work(); });
        } catch (const std::system_error&) {
            if (FWorkers.empty())
                throw;
            break;
        }
    }
}

TDeflateAhead::~TDeflateAhead() {
    FAbandon = true;
    {
        std::lock_guard<std::mutex> lock(FLock);
        FEnding = true;
        FQueue.clear();
    }
    FWake.notify_all();
    for (std::thread& worker : FWorkers)
        worker.join();
}

void TDeflateAhead::Submit(size_t key, std::vector<uint8_t> input) {
    {
        std::lock_guard<std::mutex> lock(FLock);
        FHeld += input.size();
        TJob& job = FJobs[key];
        job.Input = std::move(input);
        job.Generation = FGeneration;
        FQueue.push_back(key);
    }
    FWake.notify_one();
}

void TDeflateAhead::SubmitLarge(size_t key, std::string path, std::unique_ptr<TTempFileStream> spill) {
    {
        std::lock_guard<std::mutex> lock(FLock);
        TJob& job = FJobs[key];
        job.Path = std::move(path);
        job.Spill = std::move(spill);
        job.Generation = FGeneration;
        FQueue.push_back(key);
    }
    FWake.notify_one();
}

bool TDeflateAhead::Submitted(size_t key) const {
    std::lock_guard<std::mutex> lock(FLock);
    return FJobs.count(key) != 0;
}

std::optional<TDeflateAhead::TResult> TDeflateAhead::Take(size_t key, const std::function<void()>& idle) {
    constexpr auto kIdleEvery = std::chrono::milliseconds(20);
    std::unique_lock<std::mutex> lock(FLock);
    const auto it = FJobs.find(key);
    if (it == FJobs.end())
        return std::nullopt;
    while (!FDone.wait_for(lock, kIdleEvery, [&] { return it->second.Result.has_value(); })) {
        if (!idle)
            continue;
        lock.unlock();
        idle();
        lock.lock();
    }
    std::optional<TResult> result = std::move(it->second.Result);
    FHeld -= it->second.Input.size() + result->Packed.size();
    result->Input = std::move(it->second.Input);
    FJobs.erase(it);
    return result;
}

void TDeflateAhead::Clear() {
    std::lock_guard<std::mutex> lock(FLock);
    FQueue.clear();
    FJobs.clear();
    FHeld = 0;
    ++FGeneration;
}

std::vector<uint8_t> TDeflateAhead::TakeBuffer() {
    std::lock_guard<std::mutex> lock(FLock);
    if (FSpare.empty())
        return {};
    std::vector<uint8_t> buffer = std::move(FSpare.back());
    FSpare.pop_back();
    return buffer;
}

void TDeflateAhead::GiveBack(std::vector<uint8_t> buffer) {
    constexpr size_t kMaxSpare = 16;
    buffer.clear();
    std::lock_guard<std::mutex> lock(FLock);
    if (FSpare.size() < kMaxSpare)
        FSpare.push_back(std::move(buffer));
}

uint64_t TDeflateAhead::BytesHeld() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FHeld;
}

size_t TDeflateAhead::Count() const {
    std::lock_guard<std::mutex> lock(FLock);
    return FJobs.size();
}

size_t TDeflateAhead::LargeCount() const {
    std::lock_guard<std::mutex> lock(FLock);
    return static_cast<size_t>(
        std::count_if(FJobs.begin(), FJobs.end(), [](const auto& job) { return !job.second.Path.empty(); }));
}

void TDeflateAhead::Work() {
    TDeflateWorkspace workspace;  // this worker's engine and chunk, kept from one file to the next
    std::unique_lock<std::mutex> lock(FLock);
    for (;;) {
        FWake.wait(lock, [&] { return FEnding || !FQueue.empty(); });
        if (FEnding)
            return;
        const size_t key = FQueue.front();
        FQueue.pop_front();
        TJob& job = FJobs.at(key);
        const uint64_t generation = job.Generation;
        // The worker holds the input while the lock is down; the job may be cleared meanwhile, and a new
        // job may even take its key, so the result goes back only to the same job.
        std::vector<uint8_t> input = std::move(job.Input);
        const std::string path = job.Path;
        TResult result;
        result.Spill = std::move(job.Spill);
        if (!FSpare.empty() && path.empty()) {
            result.Packed = std::move(FSpare.back());
            FSpare.pop_back();
        }
        lock.unlock();
        if (path.empty())
            Deflate(input, workspace, result);
        else
            DeflateFile(path, workspace, result);
        lock.lock();
        const auto it = FJobs.find(key);
        if (it == FJobs.end() || it->second.Generation != generation)
            continue;  // cleared meanwhile
        FHeld += result.Packed.size();
        it->second.Input = std::move(input);
        it->second.Result = std::move(result);
        FDone.notify_all();
    }
}

namespace {
// A worker's deflate context: its own engine and chunk; no message loop, as it is not the caller's thread.
TDeflateContext WorkerContext(TDeflateWorkspace& workspace) {
    TDeflateContext context;
    context.Workspace = &workspace;
    return context;
}

// The deflater's output, appended to a vector that may come with memory from an earlier result.
class TAppendStream : public fw::TStream {
public:
    explicit TAppendStream(std::vector<uint8_t>& bytes) : FBytes(bytes) {}
    int32_t Read(void*, int32_t) override { return 0; }
    int32_t Write(const void* buffer, int32_t count) override {
        const auto* p = static_cast<const uint8_t*>(buffer);
        FBytes.insert(FBytes.end(), p, p + std::max(count, 0));
        return std::max(count, 0);
    }
    int64_t Seek(int64_t offset, fw::TSeekOrigin origin) override {
        const auto end = static_cast<int64_t>(FBytes.size());
        // Only ever asked where it stands, or told to stay at the end.
        return (origin == fw::soCurrent && offset == 0) || (origin == fw::soBeginning && offset == end) ? end : -1;
    }
    void SetSize(int64_t) override {}

private:
    std::vector<uint8_t>& FBytes;
};
}  // namespace

void TDeflateAhead::Deflate(const std::vector<uint8_t>& input, TDeflateWorkspace& workspace, TResult& result) const {
    result.Packed.clear();
    TAppendStream packed(result.Packed);
    TCompressStream deflater(packed, FType, WorkerContext(workspace));
    if (deflater.InitResult() != Z_OK)
        return;
    for (size_t at = 0; at < input.size(); at += kDeflateChunk) {
        const auto n = static_cast<int32_t>(std::min<size_t>(kDeflateChunk, input.size() - at));
        deflater.Write(input.data() + at, n);
    }
    deflater.Finish();
    result.Crc = input.empty() ? 0 : deflater.Crc();
    result.Size = input.size();
    result.Ok = true;
}

// Read and deflated in the writer's pieces, to the end of the file as the writer would; any failure leaves
// the result not Ok and the writer does the file itself.
void TDeflateAhead::DeflateFile(const std::string& path, TDeflateWorkspace& workspace, TResult& result) const {
    TFileStream32 source(path, platform::fmOpenRead | platform::fmShareDenyNone);
    if (!source.Valid() || !result.Spill || !result.Spill->Valid())
        return;
    TCompressStream deflater(*result.Spill, FType, WorkerContext(workspace));
    if (deflater.InitResult() != Z_OK)
        return;
    std::vector<uint8_t>& chunk = workspace.Chunk();
    uint64_t size = 0;
    try {
        for (;;) {
            if (FAbandon)
                return;
            const int32_t n = source.Read(chunk.data(), kDeflateChunk);
            if (n <= 0)
                break;
            if (deflater.Write(chunk.data(), n) != n)
                return;
            size += static_cast<uint64_t>(n);
        }
        deflater.Finish();
    } catch (const fw::EWriteError&) {
        return;  // the temporary folder is full
    }
    result.SpillSize = static_cast<uint64_t>(result.Spill->Position());
    result.Crc = deflater.Crc();
    result.Size = size;
    result.Ok = true;
}

}  // namespace archive
