// Fuzz target: extracting a whole archive into a scratch folder; nothing may be written beside the target.
#include <cstddef>
#include <cstdint>

#include "archive/read/UnZip.h"
#include "fuzz/FuzzScratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fuzz::TScratch& scratch = fuzz::TScratch::Get();
    const std::string archivePath = scratch.Put("in.jar", data, size);
    {
        archive::TUnJar reader(nullptr);
        reader.FileSpec = {"*.*"};
        reader.CreateStoredDirs = true;
        reader.SetArchiveFile(archivePath);
        reader.SetExtractDir((scratch.Root() / "out").string());
        if (reader.Extract() < 0)
            __builtin_trap();
    }
    scratch.Sweep({"in.jar", "out"}, true);
    return 0;
}
