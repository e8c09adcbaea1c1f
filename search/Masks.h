// Wildcard masks for file names: "*", "?", sets such as "[a-c]" and "[!a-c]", ASCII letters compared without case.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/Component.h"
#include "framework/Exceptions.h"

namespace search {

// Raised by the TMask constructor for a pattern that cannot be compiled.
class EMaskException : public fw::Exception {
    using fw::Exception::Exception;
};

enum TMaskStateKind { msLiteral, msAnyChar, msSet, msMBCSLiteral, msEndOfName };

// One compiled position of a mask.
struct TMaskState {
    bool SkipTo = false;  // a "*" came before this state
    TMaskStateKind Kind = msLiteral;
    uint8_t Literal = 0;       // msLiteral, upper-cased
    bool Negate = false;       // msSet: "[!...]"
    std::bitset<256> CharSet;  // msSet, upper-cased members
    uint8_t LeadByte = 0;      // msMBCSLiteral
    uint8_t TrailByte = 0;
};

class TMask : public fw::TObject {
public:
    // Compiles the pattern; raises EMaskException when it is invalid.
    explicit TMask(const std::string& pattern);
    // True when the whole name matches (the mask is anchored at both ends).
    bool Matches(const std::string& name) const;

private:
    std::vector<TMaskState> FStates;
};

}  // namespace search
