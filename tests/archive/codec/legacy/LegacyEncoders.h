// Test-only encoders for the legacy methods, written from the published format descriptions.
#pragma once

#include <cstdint>
#include <vector>

namespace legacytest {

using Bytes = std::vector<uint8_t>;

// Packs fields least significant bit first, as all three formats store them.
class TBitWriter {
public:
    void Put(uint32_t value, int count);
    // A prefix code: its most significant bit goes out first.
    void PutCode(uint32_t code, int length);
    Bytes Finish();

private:
    Bytes FBytes;
    uint32_t FBits = 0;
    int FCount = 0;
};

struct TShrinkOptions {
    uint32_t clearEvery = 0;  // also clear after this many codes (0: only when the table is full)
};
struct TShrinkResult {
    Bytes packed;
    int clears = 0;
    int codeSize = 9;  // code size reached
};
TShrinkResult Shrink(const Bytes& data, const TShrinkOptions& options = {});

// `maxFollowers` (1..32) caps the follower sets so every index width gets used.
Bytes Reduce(const Bytes& data, int factor, uint32_t maxFollowers = 32);

Bytes Implode(const Bytes& data, bool bigWindow, bool literalTree);

}  // namespace legacytest
