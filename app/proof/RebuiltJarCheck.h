// The proof a rebuilt jar must pass before it takes the original's place: every entry there, patched as the job does.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "app/proof/ProofRule.h"

namespace app {

enum TJarCheckReason {
    jcOk,
    jcEntryMissing,     // a file entry of the original is not in the rebuilt jar under the same name bytes
    jcEntryDiffers,     // size or CRC-32 differ from what the original's records (and the patcher) give
    jcNameEncoding,     // same name bytes (not all ASCII), but the UTF-8 flag (general purpose bit 11) differs
    jcPayloadMissing,   // the full-screen canvas class is not in the rebuilt jar
    jcCountMismatch,    // an end record's entry count differs from the entries read
    jcUnexpectedEntry,  // the rebuilt jar holds a file entry the original does not explain, or a name twice
    jcOriginalUnreadable,
    jcRebuiltUnreadable,
};

struct TJarCheckResult {
    TJarCheckReason Reason = jcOk;
    std::string Archive;     // the path of the archive concerned (original or rebuilt); empty when ok
    std::string Entry;       // the first entry concerned, as its name bytes are stored; may be empty
    bool EntryUtf8 = false;  // the name is UTF-8 (bit 11); otherwise in the OEM code page
    std::string Detail;      // a short English note for logs (sizes, CRCs, what was unreadable)
    bool Ok() const { return Reason == jcOk; }
};

// What the added canvas class must hold, when the caller knows it.
struct TExpectedPayload {
    uint64_t Size = 0;
    uint32_t Crc = 0;
};

class TDecodedClasses;

// Compares the rebuilt jar with the original by their own records only (never the work folder):
// - every file entry of the original (central directory, or local headers when it has none; folder
//   entries aside) is in the rebuilt jar with the same name bytes and, for names beyond ASCII, the same
//   UTF-8 flag; with the same size and the
//   same CRC-32, for "*.class" names the CRC of the bytes after the patcher's replacement (taken from
//   `decoded` where the reader's decoding during extraction matched the records, otherwise decoded here);
// - of two entries with one name, the later in the original's directory is the one expected, as it is
//   the one extraction leaves on disk;
// - the payload class is there (with `payload`'s size and CRC when given) and nothing unexplained is;
// - each end record's entry count equals the entries read;
// - every entry of the rebuilt jar decodes to the size and CRC its central header gives.
// Memory stays bounded: data move in 32 KiB chunks. Never throws for any archive content.
TJarCheckResult CheckRebuiltJar(const TProofRule& rule,
                                const std::string& originalPath,
                                const std::string& rebuiltPath,
                                const std::optional<TExpectedPayload>& payload = std::nullopt,
                                TDecodedClasses* decoded = nullptr);

}  // namespace app
