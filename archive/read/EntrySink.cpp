// Writing an entry's chunks: here, or behind on the second thread, with the same CRC, counts and reports.
#include "archive/read/EntrySink.h"

#include "archive/format/Crc32.h"
#include "archive/pipeline/Cores.h"
#include "platform/Platform.h"

namespace archive {

namespace {
constexpr uint64_t kWriteBehindMin = 1024 * 1024;  // smaller entries gain less than the hand-over costs
}  // namespace

bool WritesBehind(TWorkers workers, bool progressHandler, uint64_t size) {
    return MayStartThread(workers) && !progressHandler && size >= kWriteBehindMin;
}

TEntrySink::TEntrySink(fw::TStream& output, TWriteBehind* behind, TSinkEvents events)
    : FOutput(output), FBehind(behind), FEvents(std::move(events)), FCrc(kCrcInit) {
    if (FBehind)
        FBehind->Begin(FOutput, FCrc);
}

// A chunk handed over is done; after a failed write behind every chunk is refused, as the output is lost.
int32_t TEntrySink::Put(std::span<const uint8_t> data) {
    if (FBehind && !FBehind->Put(data)) {
        Finish();
        return 0;
    }
    const int32_t taken = FBehind ? static_cast<int32_t>(data.size()) : WriteHere(data);
    FDone += static_cast<uint64_t>(taken);
    FEvents.Progress(static_cast<uint64_t>(taken), FDone);
    return taken;
}

void TEntrySink::Finish() {
    const TWriteBehind::TOutcome outcome = Settle();
    if (outcome.Failed)
        Fail(outcome.Error, true);
}

void TEntrySink::Abandon() {
    Settle();
}

uint32_t TEntrySink::Crc() const {
    return FCrc ^ kCrcInit;
}

int32_t TEntrySink::WriteHere(std::span<const uint8_t> data) {
    const auto size = static_cast<int32_t>(data.size());
    platform::SetLastError(platform::kErrorSuccess);
    const int32_t written = FOutput.Write(data.data(), size);
    Fail(platform::LastError(), written < size);
    if (written >= size)
        FCrc = UpdateCrc32(FCrc, data);
    return written;
}

// The writes behind done, their CRC carried over; written here, nothing is outstanding.
TWriteBehind::TOutcome TEntrySink::Settle() {
    if (!FBehind)
        return {};
    const TWriteBehind::TOutcome outcome = FBehind->Finish();
    FCrc = outcome.Crc;
    return outcome;
}

// A full disk is reported even when the write took every byte; any other error only with a short write.
void TEntrySink::Fail(uint32_t error, bool shortWrite) {
    if (FFailed || (error != platform::kErrorDiskFull && !shortWrite))
        return;
    FFailed = true;
    FEvents.Failed(error);
}

}  // namespace archive
