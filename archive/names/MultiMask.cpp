// A mask group: several compiled wildcard masks, matched as one.
#include "archive/names/MultiMask.h"

#include <algorithm>

namespace archive {

TMultiMask::TMultiMask(const std::vector<std::string>& masks) {
    for (const std::string& mask : masks)
        Add(mask);
}

void TMultiMask::Add(const std::string& mask) {
    FItems.emplace_back(mask.empty() || mask == "*.*" ? std::string("*") : mask);
}

bool TMultiMask::Matches(const std::string& name) const {
    return std::any_of(FItems.begin(), FItems.end(), [&](const TInternalMask& m) { return m.Matches(name); });
}

}  // namespace archive
