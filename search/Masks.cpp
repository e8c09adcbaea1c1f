// Compiling wildcard masks into states and matching names against them.
#include "search/Masks.h"

#include <optional>
#include <string>
#include <tuple>
#include <utility>

#include "platform/Platform.h"

namespace search {

namespace {

// The most "*"-groups one mask may hold, the final group included (a fixed limit of the mask language, kept so
// the same masks stay valid); longer masks are refused as invalid.
constexpr int kMaxSkipStates = 30;

uint8_t UpCase(uint8_t c) {
    return c >= 'a' && c <= 'z' ? static_cast<uint8_t>(c - ('a' - 'A')) : c;
}

TMaskState StateOf(TMaskStateKind kind) {
    TMaskState state;
    state.Kind = kind;
    return state;
}

class TMaskCompiler {
public:
    explicit TMaskCompiler(const std::string& pattern) : FPattern(pattern) {}
    std::vector<TMaskState> Compile();

private:
    uint8_t At(size_t index) const { return static_cast<uint8_t>(FPattern[index]); }
    [[noreturn]] void Invalid(size_t index) const;  // index 0-based; the message gives it 1-based
    void Add(TMaskState state, size_t index);
    size_t CompileSet(size_t index);      // index at "["; returns the index behind "]"
    size_t CompileLiteral(size_t index);  // returns the index behind the literal

    const std::string& FPattern;
    std::vector<TMaskState> FStates;
    bool FSkipPending = false;
    int FSkipCount = 0;
};

std::vector<TMaskState> TMaskCompiler::Compile() {
    size_t i = 0;
    while (i < FPattern.size()) {
        switch (At(i)) {
            case '*':
                FSkipPending = true;
                ++i;
                break;
            case '?':
                // "*?" reads as "*": the "?" after a pending "*" adds nothing.
                if (!FSkipPending)
                    Add(StateOf(msAnyChar), i);
                ++i;
                break;
            case '[':
                i = CompileSet(i);
                break;
            default:
                i = CompileLiteral(i);
        }
    }
    // The end-of-name state keeps trailing characters of the name from being ignored.
    Add(StateOf(msEndOfName), FPattern.size());
    return std::move(FStates);
}

void TMaskCompiler::Invalid(size_t index) const {
    throw EMaskException("'" + FPattern + "' is an invalid mask at (" + std::to_string(index + 1) + ")");
}

void TMaskCompiler::Add(TMaskState state, size_t index) {
    if (FSkipPending) {
        state.SkipTo = true;
        FSkipPending = false;
        if (++FSkipCount > kMaxSkipStates)
            Invalid(index);
    }
    FStates.push_back(state);
}

size_t TMaskCompiler::CompileSet(size_t index) {
    TMaskState state = StateOf(msSet);
    size_t i = index + 1;
    if (i < FPattern.size() && At(i) == '!') {
        state.Negate = true;
        ++i;
    }
    std::optional<uint8_t> previous;
    for (;;) {
        if (i >= FPattern.size())
            Invalid(FPattern.size());  // never closed
        const uint8_t c = At(i);
        if (c == ']')
            break;
        if (platform::IsDBCSLeadByte(c)) {
            i += 2;  // a double-byte character cannot be a set member
        } else if (c == '-') {
            if (!previous)
                Invalid(i);
            if (i + 1 >= FPattern.size())
                Invalid(FPattern.size());
            const uint8_t last = UpCase(At(i + 1));
            for (unsigned v = *previous; v <= last; ++v)
                state.CharSet.set(v);
            previous = last;
            i += 2;
        } else {
            previous = UpCase(c);
            state.CharSet.set(*previous);
            ++i;
        }
    }
    if (state.CharSet.none())
        Invalid(i);
    Add(state, index);
    return i + 1;
}

size_t TMaskCompiler::CompileLiteral(size_t index) {
    const uint8_t c = At(index);
    if (!platform::IsDBCSLeadByte(c)) {
        TMaskState literal = StateOf(msLiteral);
        literal.Literal = UpCase(c);
        Add(literal, index);
        return index + 1;
    }
    if (index + 1 >= FPattern.size())
        Invalid(FPattern.size());  // lead byte without its trail byte
    TMaskState pair = StateOf(msMBCSLiteral);
    pair.LeadByte = c;
    pair.TrailByte = At(index + 1);
    Add(pair, index);
    return index + 2;
}

// The position behind the state when it holds at `pos`, nothing otherwise.
std::optional<size_t> Step(const TMaskState& state, const std::string& name, size_t pos) {
    const size_t left = name.size() - pos;
    const uint8_t c = left > 0 ? UpCase(static_cast<uint8_t>(name[pos])) : 0;
    bool holds = false;
    size_t width = 1;
    switch (state.Kind) {
        case msLiteral:
            holds = left > 0 && c == state.Literal;
            break;
        case msAnyChar:
            holds = left > 0;
            break;
        case msSet:
            holds = left > 0 && state.CharSet.test(c) != state.Negate;
            break;
        case msMBCSLiteral:
            holds = left > 1 && static_cast<uint8_t>(name[pos]) == state.LeadByte &&
                    static_cast<uint8_t>(name[pos + 1]) == state.TrailByte;
            width = 2;
            break;
        case msEndOfName:
            holds = left == 0;
            width = 0;
            break;
    }
    if (!holds)
        return std::nullopt;
    return pos + width;
}

// The first position at or after `pos` where the state holds.
std::optional<size_t> FindFrom(const TMaskState& state, const std::string& name, size_t pos) {
    for (; pos <= name.size(); ++pos)
        if (Step(state, name, pos))
            return pos;
    return std::nullopt;
}

}  // namespace

TMask::TMask(const std::string& pattern) : FStates(TMaskCompiler(pattern).Compile()) {}

bool TMask::Matches(const std::string& name) const {
    // Only the latest "*" is ever retried: once the states after it have matched further right, moving an
    // earlier "*"-group cannot help, so one remembered pair bounds the work by name length times mask length (no
    // blow-up on "*a*a*a*b").
    std::optional<std::pair<size_t, size_t>> retry;  // (name position, state index)
    size_t pos = 0;
    size_t index = 0;
    while (index < FStates.size()) {
        const TMaskState& state = FStates[index];
        if (state.SkipTo) {
            const std::optional<size_t> found = FindFrom(state, name, pos);
            if (!found)
                return false;
            pos = *found;
            if (pos < name.size())
                retry = {pos + 1, index};
        }
        if (const std::optional<size_t> next = Step(state, name, pos)) {
            pos = *next;
            ++index;
        } else if (retry) {
            std::tie(pos, index) = *retry;
            retry.reset();
        } else {
            return false;
        }
    }
    return true;
}

}  // namespace search
