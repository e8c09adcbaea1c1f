// The inflating thread runs through the list once, holding a bounded number of bytes the reader has not
// taken yet.
#include "archive/pipeline/InflateAhead.h"

#include <algorithm>

#include "archive/format/ArchiveType.h"
#include "archive/format/Records.h"
#include "archive/io/Chunk.h"
#include "archive/io/Streams32.h"

namespace archive {

namespace {
constexpr uint64_t kLargestEntry = 1024 * 1024 - 1;  // larger ones are written behind the reader's decoder
constexpr size_t kHeldLimit = 4 * 1024 * 1024;       // decoded bytes waiting for the reader
}  // namespace

bool TInflateAhead::Takes(uint64_t size) {
    return size > 0 && size <= kLargestEntry;
}

TInflateAhead::TInflateAhead(const std::string& archiveFile, std::vector<TItem> items)
    : FItems(std::move(items)), FArchiveFile(archiveFile) {
    FThread = std::thread([this] { Work(); });
}

TInflateAhead::~TInflateAhead() {
    {
        // Under the lock, so a thread about to wait for room cannot miss it.
        std::lock_guard lock(FLock);
        FEnding = true;
    }
    FRoom.notify_one();
    FThread.join();
}

const std::vector<uint8_t>* TInflateAhead::Take(size_t index) {
    std::unique_lock lock(FLock);
    // Results the reader passed by are dropped as they come, or the thread could wait for room forever.
    FReady.wait(lock, [&] {
        DropBefore(index);
        return FPassed > index;
    });
    if (FResults.empty() || FResults.front().Index != index)
        return nullptr;
    FTaken = std::move(FResults.front());
    FResults.pop_front();
    FHeld -= FTaken.Bytes.size();
    FRoom.notify_one();
    return &FTaken.Bytes;
}

void TInflateAhead::DropBefore(size_t index) {
    bool dropped = false;
    while (!FResults.empty() && FResults.front().Index < index) {
        FHeld -= FResults.front().Bytes.size();
        FResults.pop_front();
        dropped = true;
    }
    if (dropped)
        FRoom.notify_one();
}

void TInflateAhead::Work() {
    try {
        TFileStream32 file(FArchiveFile, platform::fmOpenRead | platform::fmShareDenyWrite);
        if (file.Valid()) {
            TReadCache archive(file);
            TInflateEngine engine;
            for (size_t i = 0; i < FItems.size() && !FEnding; ++i) {
                const uint64_t size = FItems[i].UncompressedSize;
                std::vector<uint8_t> bytes;
                if (Takes(size)) {
                    {
                        std::unique_lock lock(FLock);
                        FRoom.wait(lock, [&] { return FEnding || FHeld == 0 || FHeld + size <= kHeldLimit; });
                    }
                    bytes = Inflate(archive, engine, FItems[i]);
                }
                std::lock_guard lock(FLock);
                if (!bytes.empty()) {
                    FHeld += bytes.size();
                    FResults.push_back({i, std::move(bytes)});
                }
                FPassed = i + 1;
                FReady.notify_one();
            }
        }
    } catch (...) {
        // No memory or no engine: the reader decodes the rest itself, as it would without this thread.
    }
    std::lock_guard lock(FLock);
    FPassed = FItems.size();
    FReady.notify_one();
}

std::vector<uint8_t> TInflateAhead::Inflate(TReadCache& archive, TInflateEngine& engine, const TItem& item) {
    const auto local = TLocalHeader::Parse(ReadBytesAt(archive, item.LocalHeaderOffset, kLocalHeaderSize));
    if (!local || local->Method != kMethodDeflate || (local->Flags & kFlagEncrypted))
        return {};
    const int64_t dataStart =
        item.LocalHeaderOffset + static_cast<int64_t>(kLocalHeaderSize + local->NameLength + local->ExtraLength);
    if (archive.Seek(dataStart, fw::soBeginning) != dataStart)
        return {};
    TDecompressStream stream(engine, archive, kRawDeflateWindow, item.CompressedSize);
    std::vector<uint8_t> bytes(item.UncompressedSize);
    uint64_t at = 0;
    while (at < bytes.size()) {
        if (FEnding)
            return {};
        const auto request = static_cast<uint32_t>(std::min<uint64_t>(bytes.size() - at, kChunkSize));
        if (stream.ReadChunk(bytes.data() + at, request) != static_cast<int32_t>(request))
            return {};
        at += request;
    }
    return bytes;
}

}  // namespace archive
