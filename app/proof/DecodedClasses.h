// The class entries of the original as the reader decodes them during extraction: their CRC as stored and
// after the patcher's replacement, so the check need not decode the original's classes a second time.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "app/proof/ProofRule.h"
#include "app/proof/Substitute.h"

namespace app {

// Whether the job's search hands the entry to the patcher ("*.class" on the name's last part).
bool IsPatchedEntry(const std::string& storedName);

struct TDecodedClass {
    uint64_t Size = 0;
    uint32_t Crc = 0;  // of the bytes as stored
    uint32_t PatchedCrc = 0;
    uint64_t Replacements = 0;  // places the patcher's rule rewrites
};

class TDecodedClasses {
public:
    explicit TDecodedClasses(TProofRule rule);
    ~TDecodedClasses();
    // The reader's entry data: no bytes opens an entry, the rest are its decoded chunks in order.
    void Feed(const std::string& storedName, std::span<const uint8_t> data);
    // What was decoded for the last class entry of that name; empty when none was.
    std::optional<TDecodedClass> Find(const std::string& storedName);
    void Clear();

private:
    struct TOpen;
    void Close();

    TProofRule FRule;
    std::map<std::string, TDecodedClass> FClasses;
    std::unique_ptr<TOpen> FOpen;  // the class entry being decoded
};

}  // namespace app
