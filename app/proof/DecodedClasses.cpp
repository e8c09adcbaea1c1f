// Patched CRCs of the original's classes, taken from the reader's own decoded stream.
#include "app/proof/DecodedClasses.h"

#include "search/Masks.h"

namespace app {

bool IsPatchedEntry(const std::string& storedName) {
    static const search::TMask classMask("*.class");
    const size_t slash = storedName.find_last_of("/\\");
    return classMask.Matches(slash == std::string::npos ? storedName : storedName.substr(slash + 1));
}

struct TDecodedClasses::TOpen {
    explicit TOpen(const TProofRule& rule)
        : Substitution(rule.Search, rule.Replace, [this](std::span<const uint8_t> bytes) { Patched.Feed(bytes); }) {}
    std::string Name;
    jarcheck::TCrcCounter Stored;
    jarcheck::TCrcCounter Patched;
    jarcheck::TSubstitution Substitution;
};

TDecodedClasses::TDecodedClasses(TProofRule rule) : FRule(std::move(rule)) {}
TDecodedClasses::~TDecodedClasses() = default;

void TDecodedClasses::Feed(const std::string& storedName, std::span<const uint8_t> data) {
    if (data.empty()) {
        Close();
        if (IsPatchedEntry(storedName)) {
            FOpen = std::make_unique<TOpen>(FRule);
            FOpen->Name = storedName;
        }
        return;
    }
    if (FOpen && FOpen->Name == storedName) {
        FOpen->Stored.Feed(data);
        FOpen->Substitution.Feed(data);
    }
}

std::optional<TDecodedClass> TDecodedClasses::Find(const std::string& storedName) {
    Close();
    const auto found = FClasses.find(storedName);
    if (found == FClasses.end())
        return std::nullopt;
    return found->second;
}

void TDecodedClasses::Clear() {
    FOpen.reset();
    FClasses.clear();
}

// Of two entries with one name the later is kept, as extraction leaves it on disk.
void TDecodedClasses::Close() {
    if (!FOpen)
        return;
    FOpen->Substitution.Finish();
    FClasses[FOpen->Name] = {FOpen->Stored.Size(), FOpen->Stored.Crc(), FOpen->Patched.Crc(),
                             FOpen->Substitution.Replacements()};
    FOpen.reset();
}

}  // namespace app
