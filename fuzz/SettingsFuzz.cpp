// Fuzz target: the settings file reader on any file content, and the stored-integer parser on any text.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/forms/Settings.h"
#include "fuzz/FuzzScratch.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    app::ParseProfileInteger(std::string(reinterpret_cast<const char*>(data), size));
    const fuzz::TScratch& scratch = fuzz::TScratch::Get();
    app::ReadBackupSetting(scratch.Put("grandvue.ini", data, size));
    return 0;
}
