// The writer's data moves: stored, deflated or copied, each counted and cancellable the same way.
#include "archive/write/DataWriter.h"

#include <algorithm>

#include "archive/format/Crc32.h"
#include "archive/io/Chunk.h"

namespace archive {

TDataWriter::TDataWriter(THooks hooks, int64_t& bytesLeft, const bool& cancel, const TOnProgress& onProgress)
    : FHooks(std::move(hooks)), FBytesLeft(bytesLeft), FCancel(cancel), FOnProgress(onProgress), FBuffer(kChunkSize) {}

void TDataWriter::ProcessMessages() const {
    fw::Fire(FHooks.ProcessMessages);
}

void TDataWriter::Write(const void* data, size_t size) {
    Output().WriteBuffer(data, static_cast<int64_t>(size));
}

TEntryData TDataWriter::Store(fw::TStream& source, uint64_t size) {
    TEntryData data;
    uint32_t crc = kCrcInit;
    for (;;) {
        ProcessMessages();
        if (Cancelled())
            break;
        const int32_t n = source.Read(FBuffer.data(), static_cast<int32_t>(FBuffer.size()));
        if (n <= 0)
            break;
        crc = UpdateCrc32(crc, {FBuffer.data(), static_cast<size_t>(n)});
        Write(FBuffer.data(), static_cast<size_t>(n));
        data.Size += static_cast<uint64_t>(n);
        Processed(n);
        FHooks.Progress(data.Size, size);
    }
    data.Crc = data.Size == 0 ? 0 : crc ^ kCrcInit;
    return data;
}

bool TDataWriter::Deflate(TStream32& source, fw::TStream& target, TDeflateType type, uint32_t& crc) {
    const auto size = static_cast<uint64_t>(std::max<int64_t>(source.Size(), 0));
    TDeflateContext context;
    context.Remaining = &FBytesLeft;
    context.Cancel = &FCancel;
    context.ProcessMessages = FHooks.ProcessMessages;
    context.Workspace = &FWorkspace;
    if (FOnProgress)
        context.OnProgress = [this, &source, size] { FHooks.Progress(static_cast<uint64_t>(source.Position()), size); };
    return DeflateStream(source, target, type, context, crc);
}

bool TDataWriter::Copy(fw::TStream& source, uint64_t count) {
    while (count > 0 && !Cancelled()) {
        const auto n = static_cast<int32_t>(std::min<uint64_t>(count, FBuffer.size()));
        if (source.Read(FBuffer.data(), n) != n)
            return false;
        Write(FBuffer.data(), static_cast<size_t>(n));
        count -= static_cast<uint64_t>(n);
        ProcessMessages();
    }
    return true;
}

}  // namespace archive
