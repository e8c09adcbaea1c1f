// Fuzz target: archive classification and directory location on any bytes.
#include <cstddef>
#include <cstdint>

#include "archive/format/ArchiveType.h"
#include "framework/Streams.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fw::TMemoryStream stream;
    if (size > 0)
        stream.Write(data, static_cast<int32_t>(size));
    stream.Seek(0, fw::soBeginning);
    const archive::TArchiveLocation found = archive::ClassifyArchive(stream);
    stream.Seek(0, fw::soBeginning);
    const archive::TArchiveLocation located = archive::LocateDirectory(stream);
    // Positions are offsets into this file or nothing at all.
    if (found.Position < 0 || located.Position < 0 || located.Position > static_cast<int64_t>(size))
        __builtin_trap();
    return 0;
}
