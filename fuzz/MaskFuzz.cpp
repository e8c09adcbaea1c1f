// Fuzz target: TMask and TInternalMask compiled from any pattern and matched against any name.
#include <cstddef>
#include <cstdint>
#include <string>

#include "archive/names/InternalMask.h"
#include "search/Masks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Pattern and name are separated by the first line feed.
    const std::string input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\n');
    const std::string pattern = input.substr(0, split);
    const std::string name = split == std::string::npos ? std::string() : input.substr(split + 1);

    const archive::TInternalMask internal(pattern);
    internal.Matches(name);
    // A mask always matches its own text when it holds no wildcard at all.
    if (pattern.find_first_of("*?") == std::string::npos && !pattern.empty() && pattern.back() != '.' &&
        !internal.Matches(pattern))
        __builtin_trap();

    try {
        const search::TMask mask(pattern);
        mask.Matches(name);
    } catch (const search::EMaskException&) {
        // an invalid pattern is refused, which is a clear outcome
    }
    return 0;
}
