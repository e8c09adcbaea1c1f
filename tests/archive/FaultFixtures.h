// Helpers for the fault-injection tests: zip bombs, a file-size limit, and extraction outcomes checked for
// silent damage.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "archive/read/UnZip.h"
#include "tests/TestUtil.h"

namespace faulttest {

using testutil::Bytes;
using TFiles = std::map<std::string, Bytes>;  // relative name ("/" separated) -> content

// Raw deflate data that inflates to `chunks` runs of kBombChunk zero bytes, about a thousandth of that
// in size; `crc` receives the CRC-32 of the whole output.
constexpr uint64_t kBombChunk = 64ull << 20;
Bytes ZeroBomb(uint32_t chunks, uint32_t& crc);

// What one extraction run did: files written as counted, and every name an error or a failed check named.
struct TExtractOutcome {
    int32_t Count = 0;
    std::set<std::string> Reported;
    bool WasReported(const std::string& relative) const;
};
// Extracts everything of `archive` into `target` with the reader's defaults; `setup` may hook events.
TExtractOutcome ExtractAll(const std::string& archive,
                           const std::string& target,
                           const std::function<void(archive::TUnJar&)>& setup = {});

// Every file below `target` is one of `originals` and holds its bytes, unless the run reported it.
void ExpectNoSilentDamage(const TFiles& originals, const TExtractOutcome& outcome, const std::string& target);
// The files below `folder`, relative with "/" between names.
TFiles ReadTree(const std::string& folder);

// A little-endian field patched in place.
void Put16(Bytes& bytes, size_t at, uint16_t value);
void Put32(Bytes& bytes, size_t at, uint32_t value);
uint32_t Get32(const Bytes& bytes, size_t at);
// Offsets of each central header and of the end record in a ZIP file without a comment.
std::vector<size_t> CentralHeaders(const Bytes& zip);
size_t EndRecord(const Bytes& zip);

#ifndef _WIN32
// Writes past `bytes` fail with EFBIG (SIGXFSZ ignored) while the object lives: a disk that fills up.
class TFileSizeLimit {
public:
    explicit TFileSizeLimit(uint64_t bytes);
    ~TFileSizeLimit();
    TFileSizeLimit(const TFileSizeLimit&) = delete;
    TFileSizeLimit& operator=(const TFileSizeLimit&) = delete;

private:
    uint64_t FSavedCur;
    void (*FSavedHandler)(int);
};
#endif

}  // namespace faulttest
