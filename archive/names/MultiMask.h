// A mask group: several compiled wildcard masks, matched as one ("any of them").
#pragma once

#include <string>
#include <vector>

#include "archive/names/InternalMask.h"

namespace archive {

class TMultiMask {
public:
    TMultiMask() = default;
    // Compiles each mask; an empty mask or "*.*" becomes "*" so that names without a dot match too.
    explicit TMultiMask(const std::vector<std::string>& masks);

    void Add(const std::string& mask);
    bool Matches(const std::string& name) const;
    bool Empty() const { return FItems.empty(); }
    size_t Count() const { return FItems.size(); }

private:
    std::vector<TInternalMask> FItems;
};

}  // namespace archive
