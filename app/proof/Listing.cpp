// Finding an archive's end record and walking its central directory, with the offset correction of prefixed archives.
#include "app/proof/Listing.h"

#include <algorithm>
#include <optional>

#include "app/proof/LocalWalk.h"
#include "archive/format/Records.h"

namespace app::jarcheck {

namespace {
using archive::GetU32;

// The end record sits within its own size plus the longest comment (65535 bytes) of the file's end.
constexpr size_t kMaxCommentLength = 0xFFFF;

struct TEndLocation {
    int64_t Position = -1;
    archive::TEndRecord Record;
};

// The end record nearest the end whose comment ends exactly at the file's end; failing that, the
// nearest complete one (a comment cut short or followed by junk).
TEndLocation FindEndRecord(TCheckFile& file) {
    const int64_t tailSize =
        std::min<int64_t>(file.Size(), static_cast<int64_t>(archive::kWideEndRecordSize + kMaxCommentLength));
    const int64_t tailStart = file.Size() - tailSize;
    const auto tail = file.ReadAt(tailStart, static_cast<size_t>(tailSize));
    TEndLocation nearest;
    for (size_t k = tail.size() >= 4 ? tail.size() - 4 : 0; k + 4 <= tail.size(); --k) {
        const uint32_t sig = GetU32(tail, k);
        if (sig == archive::kEndRecordSig || sig == archive::kWideEndRecordSig) {
            const auto record = archive::TEndRecord::Parse(std::span<const uint8_t>(tail).subspan(k));
            if (record) {
                const TEndLocation found{tailStart + static_cast<int64_t>(k), *record};
                if (k + record->Size() + record->CommentLength == tail.size())
                    return found;
                if (nearest.Position < 0)
                    nearest = found;
            }
        }
        if (k == 0)
            break;
    }
    return nearest;
}

// What the end records say about the directory.
struct TDirectoryClaim {
    uint64_t Total = 0;
    uint64_t Size = 0;
    uint64_t Offset = 0;
    int64_t EndsAt = 0;  // where the directory should end: the Zip64 end record, or the end record
};

std::optional<archive::TZip64EndRecord> Zip64EndAt(TCheckFile& file, int64_t position) {
    return archive::TZip64EndRecord::Parse(file.ReadAt(position, archive::kZip64EndRecordSize));
}

TDirectoryClaim ClaimOf(TCheckFile& file, const TEndLocation& end) {
    TDirectoryClaim claim{end.Record.TotalEntries, end.Record.DirectorySize, end.Record.DirectoryOffset, end.Position};
    if (end.Record.Wide)
        return claim;
    const int64_t locatorAt = end.Position - static_cast<int64_t>(archive::kZip64LocatorSize);
    const auto locator = archive::TZip64Locator::Parse(file.ReadAt(locatorAt, archive::kZip64LocatorSize));
    if (!locator)
        return claim;
    // The locator's offset, or right in front of the locator when data before the archive shifts it.
    int64_t at = static_cast<int64_t>(std::min<uint64_t>(locator->Zip64EndOffset, INT64_MAX));
    auto zip64 = Zip64EndAt(file, at);
    if (!zip64) {
        at = locatorAt - static_cast<int64_t>(archive::kZip64EndRecordSize);
        zip64 = Zip64EndAt(file, at);
    }
    if (zip64)
        claim = {zip64->TotalEntries, zip64->DirectorySize, zip64->DirectoryOffset, at};
    return claim;
}

bool CentralHeaderAt(TCheckFile& file, int64_t position) {
    return position >= 0 &&
           archive::TCentralHeader::Parse(file.ReadAt(position, archive::kCentralHeaderSize)).has_value();
}

TListing Unreadable(const std::string& detail, const std::string& entry = {}) {
    TListing listing;
    listing.Status = lsUnreadable;
    listing.Detail = detail;
    listing.Entry = entry;
    return listing;
}

// Reads central headers from `position` while they follow one another in front of the end records.
void WalkDirectory(TCheckFile& file, int64_t position, int64_t end, TListing& listing) {
    while (position < end) {
        auto header = archive::TCentralHeader::Parse(file.ReadAt(position, archive::kCentralHeaderSize));
        if (!header)
            return;
        const int64_t variable = position + static_cast<int64_t>(archive::kCentralHeaderSize);
        const auto name = file.ReadAt(variable, header->NameLength);
        const auto extra = file.ReadAt(variable + header->NameLength, header->ExtraLength);
        TListedEntry entry;
        entry.Name.assign(name.begin(), name.end());
        if (name.size() < header->NameLength || extra.size() < header->ExtraLength) {
            listing = Unreadable("central directory cut short", entry.Name);
            return;
        }
        const archive::TExtraInfo info = archive::WalkExtraField(extra, *header);
        TakeHeaderValues(entry, *header, info);
        entry.HeaderOffset =
            static_cast<int64_t>(archive::Size48(header->LocalHeaderOffset, info.High.Offset)) + listing.Correction;
        listing.Entries.push_back(std::move(entry));
        position += static_cast<int64_t>(header->RecordLength());
    }
}
}  // namespace

TListing ListArchive(TCheckFile& file, bool allowLocalWalk) {
    if (!file.Valid())
        return Unreadable("cannot be opened");
    const TEndLocation end = FindEndRecord(file);
    std::optional<TDirectoryClaim> claim;
    if (end.Position >= 0)
        claim = ClaimOf(file, end);
    TListing listing;
    if (claim) {
        listing.HasEndRecord = true;
        listing.DeclaredTotal = claim->Total;
        const int64_t stored = static_cast<int64_t>(std::min<uint64_t>(claim->Offset, INT64_MAX));
        const int64_t actual = claim->EndsAt - static_cast<int64_t>(std::min<uint64_t>(claim->Size, INT64_MAX));
        if (claim->Total == 0 && claim->Size == 0) {
            listing.ByDirectory = true;
            return listing;
        }
        // Stored offsets count from the archive's start; data in front of it shifts them all by one amount.
        const bool atStored = CentralHeaderAt(file, stored);
        if (atStored || CentralHeaderAt(file, actual)) {
            listing.ByDirectory = true;
            listing.Correction = atStored ? 0 : actual - stored;
            WalkDirectory(file, atStored ? stored : actual, claim->EndsAt, listing);
            return listing;
        }
    }
    if (!allowLocalWalk)
        return Unreadable(claim ? "no central directory where the end record points" : "no end record");
    const bool hasEnd = listing.HasEndRecord;
    const uint64_t declared = listing.DeclaredTotal;
    listing = WalkLocalHeaders(file);
    listing.HasEndRecord = hasEnd;
    listing.DeclaredTotal = declared;
    return listing;
}

}  // namespace app::jarcheck
