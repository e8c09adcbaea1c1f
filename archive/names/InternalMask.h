// TInternalMask: the engine's wildcard matcher ("*" and "?", case-insensitive) with bounded backtracking.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace archive {

class TInternalMask {
public:
    explicit TInternalMask(std::string_view mask);
    // True when the whole name is consumed by the mask; a mask ending in "." adds a "." to a name without one.
    bool Matches(std::string_view name) const;

private:
    enum TElementKind { ekLiteral, ekAnyChar, ekEnd };
    struct TElement {
        TElementKind Kind;
        char Char;  // upper-cased literal
        bool Star;  // any run of characters may come before this element
    };
    bool MatchElements(std::string_view name) const;

    std::vector<TElement> FElements;
    bool FEndsWithDot = false;
};

}  // namespace archive
