// Counts every failure the engine reports, as the job does, so a run that lost data does not pass.
#pragma once

#include <cstdio>
#include <string>

#include "archive/ZipCommon.h"

namespace bench {

class TFailureCount {
public:
    void WatchErrors(archive::TZipCommon& engine) {
        engine.OnError = [this](fw::TObject*, const std::string& file, const std::string& message, const std::string&,
                                int32_t code) {
            ++FCount;
            std::fprintf(stderr, "error %d: %s %s\n", static_cast<int>(code), file.c_str(), message.c_str());
        };
    }
    void WatchCrc(archive::TZipCommon& engine) {
        engine.OnEnd = [this](fw::TObject*, const std::string& file, bool crcPass) {
            if (crcPass)
                return;
            ++FCount;
            std::fprintf(stderr, "CRC error: %s\n", file.c_str());
        };
    }
    int Count() const { return FCount; }

private:
    int FCount = 0;
};

}  // namespace bench
