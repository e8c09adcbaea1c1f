// Compiling a mask into elements and matching names against them in O(name x mask) steps.
#include "archive/names/InternalMask.h"

#include <cctype>

namespace archive {

namespace {
char Upper(char c) {
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}
}  // namespace

TInternalMask::TInternalMask(std::string_view mask) {
    bool star = false;
    for (char c : mask) {
        if (c == '*') {
            star = true;
        } else if (c == '?') {
            // A "?" right after a star adds nothing a star does not already allow.
            if (!star)
                FElements.push_back({ekAnyChar, 0, false});
        } else {
            FElements.push_back({ekLiteral, Upper(c), star});
            star = false;
        }
    }
    FElements.push_back({ekEnd, 0, star});
    FEndsWithDot = !mask.empty() && mask.back() == '.';
}

bool TInternalMask::Matches(std::string_view name) const {
    if (FEndsWithDot && name.find('.') == std::string_view::npos) {
        std::string dotted(name);
        dotted += '.';
        return MatchElements(dotted);
    }
    return MatchElements(name);
}

// Only the latest star needs a retry point: moving an earlier star's run can never help once a later
// star has matched, so one (element, position) pair suffices and the loop stays quadratic at worst.
bool TInternalMask::MatchElements(std::string_view name) const {
    size_t i = 0, e = 0;
    size_t starElement = SIZE_MAX, starPos = 0;
    for (;;) {
        const TElement& el = FElements[e];
        if (el.Star && starElement != e) {
            starElement = e;
            starPos = i;
        }
        if (el.Kind == ekEnd) {
            if (el.Star || i == name.size())
                return true;
        } else if (i < name.size() && (el.Kind == ekAnyChar || Upper(name[i]) == el.Char)) {
            ++i;
            ++e;
            continue;
        }
        if (starElement == SIZE_MAX || starPos >= name.size())
            return false;
        i = ++starPos;
        e = starElement;
    }
}

}  // namespace archive
