// The entries an archive's own records list: its central directory, or its local headers when it has none.
#pragma once

#include "app/proof/ArchiveFile.h"
#include "app/proof/Entries.h"

namespace app::jarcheck {

// Lists by the central directory; where none is found and `allowLocalWalk` is set, by walking the local
// headers from the first one (entries with a data descriptor are decoded to find their end).
TListing ListArchive(TCheckFile& file, bool allowLocalWalk);

}  // namespace app::jarcheck
