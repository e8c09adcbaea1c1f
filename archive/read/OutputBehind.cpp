// Writing large entries behind the decoder: the second thread writes and sums the CRC while this one
// inflates. Only while no progress handler runs, since it could look at a file whose bytes are still on
// their way; events and message processing stay on this thread, in order.
#include <system_error>

#include "archive/Messages.h"
#include "archive/pipeline/Cores.h"
#include "archive/read/CustomDClass.h"

namespace archive {

namespace {
constexpr uint64_t kWriteBehindMin = 1024 * 1024;  // smaller entries gain less than the hand-over costs
}  // namespace

TWriteBehind* TCustomDClass::WriteBehindFor(const TEntryInfo& entry) {
    if (OnProgress || entry.UncompressedSize < kWriteBehindMin || Cores() < 2)
        return nullptr;
    if (!FBehind) {
        try {
            FBehind = std::make_unique<TWriteBehind>();
        } catch (const std::system_error&) {
            return nullptr;  // no thread to be had: written here
        }
    }
    FBehind->Begin(*FOutput, FCrc);
    return FBehind.get();
}

// A chunk is done once handed over; after a failed write every chunk is refused, as the output is lost.
int32_t TCustomDClass::WriteBehindChunk(TWriteBehind& behind, std::span<const uint8_t> data) {
    if (!behind.Put(data)) {
        EndWriteBehind(behind);
        return 0;
    }
    const auto size = static_cast<int32_t>(data.size());
    FFileDone += static_cast<uint64_t>(size);
    FArchiveDone += static_cast<uint64_t>(size);
    DoProgress(FFileDone, FFileTotal, FArchiveDone, FTotalUncompressed);
    return size;
}

// Waits for the last blocks; a failed write is reported once, as a write here would have reported it.
void TCustomDClass::EndWriteBehind(TWriteBehind& behind) {
    const TWriteBehind::TOutcome outcome = behind.Finish();
    FCrc = outcome.Crc;
    if (outcome.Failed)
        ReportWriteFailure(outcome.Error, true);
}

// The entry's last buffered writes: a failure found here ends the entry without a message box.
void TCustomDClass::EndLastWrites(TWriteBehind& behind) {
    try {
        EndWriteBehind(behind);
    } catch (const E_RAISE&) {
    }
}

}  // namespace archive
