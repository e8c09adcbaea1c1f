// The class patcher's replacement rule over a stream of chunks, and the running CRC of a stream.
#include "app/proof/Substitute.h"

#include <algorithm>
#include <stdexcept>

#include "archive/format/Crc32.h"

namespace app::jarcheck {

TSubstitution::TSubstitution(const std::string& search, const std::string& replace, TChunkSink downstream)
    : FSearch(search), FReplace(replace), FDownstream(std::move(downstream)) {
    // Texts of equal length keep class files' layout; the streaming rule relies on it.
    if (FReplace.size() != FSearch.size())
        throw std::invalid_argument("substitution texts differ in length");
}

void TSubstitution::Feed(std::span<const uint8_t> bytes) {
    FBuffer.insert(FBuffer.end(), bytes.begin(), bytes.end());
    const size_t length = FSearch.size();
    if (length == 0 || FBuffer.size() < length)
        return;
    // Every window that fits is judged now, on the bytes as rewritten by earlier windows.
    const auto end = FBuffer.end();
    for (auto at = std::search(FBuffer.begin(), end, FSearch.begin(), FSearch.end()); at != end;
         at = std::search(at + 1, end, FSearch.begin(), FSearch.end())) {
        std::copy(FReplace.begin(), FReplace.begin() + static_cast<std::ptrdiff_t>(length), at);
        ++FReplacements;
    }
    // The last length-1 bytes start windows not judged yet: they wait for more bytes.
    const size_t done = FBuffer.size() - (length - 1);
    FDownstream(std::span<const uint8_t>(FBuffer).first(done));
    FBuffer.erase(FBuffer.begin(), FBuffer.begin() + static_cast<std::ptrdiff_t>(done));
}

void TSubstitution::Finish() {
    if (!FBuffer.empty())
        FDownstream(FBuffer);
    FBuffer.clear();
}

TCrcCounter::TCrcCounter() : FRunning(archive::kCrcInit) {}

void TCrcCounter::Feed(std::span<const uint8_t> bytes) {
    FRunning = archive::UpdateCrc32(FRunning, bytes);
    FSize += bytes.size();
}

uint32_t TCrcCounter::Crc() const {
    return FRunning ^ archive::kCrcInit;
}

}  // namespace app::jarcheck
