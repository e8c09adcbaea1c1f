// Listing an archive that has no central directory by walking its local headers.
#pragma once

#include "app/proof/ArchiveFile.h"
#include "app/proof/Entries.h"

namespace app::jarcheck {

// Walks local headers from the first signature near the file's start. Entries with a data descriptor are
// decoded to find where their data ends; the descriptor then gives their CRC and sizes.
TListing WalkLocalHeaders(TCheckFile& file);

}  // namespace app::jarcheck
