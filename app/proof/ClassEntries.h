// Entries of an archive decoded whole, for what must read a class as a class: the look at a game before the
// job writes anything, and the proof of a super-link rewrite.
#pragma once

#include <cstdint>
#include <vector>

#include "app/proof/ArchiveFile.h"
#include "app/proof/Entries.h"
#include "app/proof/EntryDecode.h"

namespace app::jarcheck {

// A class file of this size is no class a phone runs; such an entry is not read whole.
constexpr uint64_t kMaxWholeEntry = 16 * 1024 * 1024;

// Whether the check's decoders take the entry's method at all (not whether its data are sound).
bool CanDecode(const TListedEntry& entry);

// Where the entry's data start, by its local header; -1 when no header is there.
int64_t DataStart(TCheckFile& file, const TListedEntry& entry);
TEntryData EntryDataOf(const TListedEntry& entry, int64_t dataStart);

// The entry's bytes, decoded and checked against its records' size and CRC; false (and `bytes` empty) when
// it cannot be: no local header, damaged data, an unsupported method, or larger than kMaxWholeEntry.
bool ReadEntryWhole(TCheckFile& file, const TListedEntry& entry, std::vector<uint8_t>& bytes);

}  // namespace app::jarcheck
