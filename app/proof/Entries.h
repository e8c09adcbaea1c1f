// The entries an archive's own records list, as the listing and the local walk both give them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/format/Records.h"

namespace app::jarcheck {

struct TListedEntry {
    std::string Name;  // the stored name bytes, unconverted
    uint16_t Flags = 0;
    uint16_t Method = 0;
    uint32_t Crc = 0;
    uint64_t CompressedSize = 0;
    uint64_t Size = 0;
    int64_t HeaderOffset = 0;  // the local header, with the archive's offset correction applied
};

// The fields a local and a central header share, with the high words of the size extension applied.
template <class THeader>
void TakeHeaderValues(TListedEntry& entry, const THeader& header, const archive::TExtraInfo& info) {
    entry.Flags = header.Flags;
    entry.Method = header.Method;
    entry.Crc = header.Crc32;
    entry.CompressedSize = archive::Size48(header.CompressedSize, info.High.Compressed);
    entry.Size = archive::Size48(header.UncompressedSize, info.High.Uncompressed);
}

enum TListingStatus {
    lsListed,      // every record read
    lsUnreadable,  // no records found, or one cut short or undecodable (Entry names it when known)
};

struct TListing {
    TListingStatus Status = lsListed;
    std::string Entry;   // the entry concerned when unreadable
    std::string Detail;  // what went wrong, for logs
    std::vector<TListedEntry> Entries;
    bool ByDirectory = false;
    bool HasEndRecord = false;
    uint64_t DeclaredTotal = 0;  // total entries of the end record (its Zip64 twin when there is one)
    int64_t Correction = 0;      // bytes in front of the archive its offsets do not count
};

}  // namespace app::jarcheck
