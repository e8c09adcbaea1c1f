// Decoded-output buffer of the legacy decoders: history for back references, chunks of the engine's size out.
#include "archive/codec/legacy/OutputWindow.h"

namespace archive::legacy {

namespace {
constexpr auto kWindow = static_cast<uint32_t>(kChunkSize);
constexpr uint32_t kMask = kWindow - 1;
static_assert((kWindow & kMask) == 0, "the circular buffer needs a power of two");
}  // namespace

TOutputWindow::TOutputWindow(int64_t size, const TLegacyWrite& write)
    : FWrite(write), FBuffer(kWindow, 0), FSize(size) {}

void TOutputWindow::Flush() {
    if (FPosition > 0 && !FStopped && !FWrite(FBuffer.data(), int32_t(FPosition)))
        FStopped = true;
    FPosition = 0;
}

void TOutputWindow::Put(uint8_t value) {
    if (Done())
        return;
    FBuffer[FPosition++] = value;
    ++FProduced;
    if (FPosition == kWindow)
        Flush();
}

void TOutputWindow::Copy(uint32_t distance, uint32_t length) {
    // The buffer is circular and starts zeroed, so every distance up to its size stays inside it
    // and reaches zeros before the first byte; the decoders never ask for more than 8 KiB back.
    for (uint32_t i = 0; i < length && !Done(); ++i)
        Put(FBuffer[(FPosition - distance) & kMask]);
}

bool TOutputWindow::Finish() {
    Flush();
    return !FStopped;
}

}  // namespace archive::legacy
