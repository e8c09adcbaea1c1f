// The end-record search from the end of the file, the directory candidates and the fallback header scan.
#include "archive/format/ArchiveType.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace archive {

namespace {
constexpr int kHeaderScanWindows = 4;           // windows scanned from the start for a local header
constexpr int64_t kLocatorDistance = 20;        // the Zip64 locator sits right in front of the end record
constexpr int64_t kZip64EndDistance = 20 + 56;  // and the Zip64 end record in front of the locator
constexpr uint8_t kExeMarker[] = {'M', 'Z'};
constexpr const char* kManifestFolder = "meta-inf/";  // lower case: jar readers match these names in any case
constexpr const char* kManifestName = "meta-inf/manifest.mf";

int64_t WindowSize(int64_t fileSize) {
    return fileSize <= kSearchWindow ? fileSize - 1 : kSearchWindow;
}

// Position of the end record nearest the end of the file, or -1.
int64_t FindEndRecord(fw::TStream& file, int64_t size) {
    const int64_t window = WindowSize(size);
    const auto bytes = ReadBytesAt(file, size - window, window);
    if (bytes.size() < 5)
        return -1;
    for (size_t k = bytes.size() - 4; k >= 1; --k) {
        const uint32_t sig = GetU32(bytes, k);
        if (sig == kEndRecordSig || sig == kWideEndRecordSig)
            return size - window + static_cast<int64_t>(k);
    }
    return -1;
}

bool IsCentralHeaderAt(fw::TStream& file, int64_t pos, std::vector<uint8_t>& bytes) {
    bytes = ReadBytesAt(file, pos, kCentralHeaderSize);
    return TCentralHeader::Parse(bytes).has_value();
}

// The first local header signature in the first windows of the file, or -1.
int64_t ScanForLocalHeader(fw::TStream& file, int64_t window) {
    constexpr int64_t kOverlap = 3;  // so a signature across two windows is still seen
    for (int w = 0; w < kHeaderScanWindows; ++w) {
        const int64_t start = w * window;
        const auto bytes = ReadBytesAt(file, start, window + kOverlap);
        if (bytes.size() < 4)
            return -1;
        for (size_t k = 0; k + 4 <= bytes.size(); ++k)
            if (GetU32(bytes, k) == kLocalHeaderSig)
                return start + static_cast<int64_t>(k);
    }
    return -1;
}

// The directory candidate of the end record at `endPos` (Zip64 and wide records included).
int64_t DirectoryCandidate(fw::TStream& file, int64_t endPos, TArchiveLocation& loc) {
    if (loc.EndRecord.Wide)
        return static_cast<int64_t>(loc.EndRecord.DirectoryOffset);
    const auto locatorBytes = ReadBytesAt(file, endPos - kLocatorDistance, kZip64LocatorSize);
    const auto locator = TZip64Locator::Parse(locatorBytes);
    if (!locator)
        return endPos - loc.EndRecord.DirectorySize;
    loc.State |= lfZip64Locator;
    const auto zip64End = TZip64EndRecord::Parse(ReadBytesAt(file, endPos - kZip64EndDistance, kZip64EndRecordSize));
    if (!zip64End)
        return endPos - loc.EndRecord.DirectorySize;
    loc.State |= lfZip64EndRecord;
    return static_cast<int64_t>(locator->Zip64EndOffset - zip64End->DirectorySize);
}

void CheckFirstLocalHeader(fw::TStream& file, const std::vector<uint8_t>& central, TArchiveLocation& loc) {
    const auto header = TCentralHeader::Parse(central);
    if (!header)
        return;
    const auto local = ReadBytesAt(file, header->LocalHeaderOffset + loc.StartOffset, kLocalHeaderSize);
    if (TLocalHeader::Parse(local))
        loc.State |= lfValidLocalHeader;
}

// Directory candidates in turn; true when one holds a central header (loc.Position set).
bool FindDirectory(fw::TStream& file, int64_t endPos, TArchiveLocation& loc, int64_t size) {
    const int64_t fromSize = endPos - loc.EndRecord.DirectorySize;
    int64_t candidate = DirectoryCandidate(file, endPos, loc);
    std::vector<uint8_t> bytes = ReadBytesAt(file, candidate, kCentralHeaderSize);
    if (bytes.size() < kCentralHeaderSize) {
        candidate = fromSize;
        bytes = ReadBytesAt(file, candidate, kCentralHeaderSize);
        if (bytes.size() < kCentralHeaderSize)
            return false;
    }
    if (!TCentralHeader::Parse(bytes)) {
        candidate = fromSize;
        if (!IsCentralHeaderAt(file, candidate, bytes)) {
            // Nothing there: fall back on the local headers at the start of the file.
            const int64_t found = ScanForLocalHeader(file, WindowSize(size));
            loc.Position = std::max<int64_t>(found, 0);
            if (found >= 0)
                loc.State = lfLocalWalk;
            return false;
        }
        loc.StartOffset = candidate - static_cast<int64_t>(loc.EndRecord.DirectoryOffset);
    }
    loc.State |= lfValidDirectory;
    loc.Position = candidate;
    CheckFirstLocalHeader(file, bytes, loc);
    return true;
}

size_t SkipZeros(const std::vector<uint8_t>& bytes) {
    size_t p = 0;
    while (p < bytes.size() && bytes[p] == 0)
        ++p;
    return p;
}

std::string LowerAscii(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

// The stored name of the archive's first entry, by its central header or, in a walk, its local header.
std::string FirstEntryName(fw::TStream& file, const TArchiveLocation& loc) {
    int64_t fixedSize = kCentralHeaderSize;
    uint16_t nameLength = 0;
    if (const auto central = TCentralHeader::Parse(ReadBytesAt(file, loc.Position, kCentralHeaderSize))) {
        nameLength = central->NameLength;
    } else if (const auto local = TLocalHeader::Parse(ReadBytesAt(file, loc.Position, kLocalHeaderSize))) {
        fixedSize = kLocalHeaderSize;
        nameLength = local->NameLength;
    } else {
        return {};
    }
    const auto name = ReadBytesAt(file, loc.Position + fixedSize, nameLength);
    return std::string(name.begin(), name.end());
}

// A jar by its content, wherever its name: the first entry is the manifest or its folder, where the JDK's
// jar tool puts them and where its JarInputStream looks for the manifest.
bool StartsWithManifest(fw::TStream& file, const TArchiveLocation& loc) {
    const std::string first = LowerAscii(FirstEntryName(file, loc));
    return first == kManifestFolder || first == kManifestName;
}
}  // namespace

std::vector<uint8_t> ReadBytesAt(fw::TStream& file, int64_t pos, int64_t count) {
    if (pos < 0 || count <= 0)
        return {};
    std::vector<uint8_t> buffer(static_cast<size_t>(count));
    if (file.Seek(pos, fw::soBeginning) != pos)
        return {};
    size_t got = 0;
    while (got < buffer.size()) {
        const int32_t n = file.Read(buffer.data() + got, static_cast<int32_t>(buffer.size() - got));
        if (n <= 0)
            break;
        got += static_cast<size_t>(n);
    }
    buffer.resize(got);
    return buffer;
}

TArchiveLocation LocateDirectory(fw::TStream& file) {
    TArchiveLocation loc;
    const int64_t size = file.Size();
    if (size <= 0)
        return loc;
    const int64_t endPos = FindEndRecord(file, size);
    if (endPos < 0)
        return loc;
    // A signature too close to the end of the file for a whole record is no end record.
    const auto endRecord = TEndRecord::Parse(ReadBytesAt(file, endPos, kWideEndRecordSize));
    if (!endRecord)
        return loc;
    loc.State = lfEndRecord;
    loc.EndRecord = *endRecord;
    loc.EndRecordPosition = endPos;
    FindDirectory(file, endPos, loc, size);
    return loc;
}

std::string ReadArchiveComment(fw::TStream& file, const TArchiveLocation& loc) {
    if (!(loc.State & lfEndRecord))
        return {};
    const auto bytes = ReadBytesAt(file, loc.EndRecordPosition + static_cast<int64_t>(loc.EndRecord.Size()),
                                   loc.EndRecord.CommentLength);
    return std::string(bytes.begin(), bytes.end());
}

TArchiveLocation ClassifyArchive(fw::TStream& file) {
    TArchiveLocation none;
    if (file.Size() < kMinArchiveSize)
        return none;
    const auto head = ReadBytesAt(file, 0, kSearchWindow - 1);
    const size_t start = SkipZeros(head);
    if (start + 2 <= head.size() && head[start] == kExeMarker[0] && head[start + 1] == kExeMarker[1]) {
        TArchiveLocation loc = LocateDirectory(file);
        if (!(loc.State & lfValidDirectory))
            return none;
        loc.ArcType = atZipExe;
        return loc;
    }
    // The low half of the first value decides: "PK" two bytes before the end of the head still counts.
    if (start + 2 > head.size() || GetU16(head, start) != kZipMarker)
        return none;
    TArchiveLocation loc = LocateDirectory(file);
    if (!(loc.State & lfEndRecord)) {
        // No end record at all: walk the local headers from the first signature.
        loc.State = lfLocalWalk;
        loc.Position = static_cast<int64_t>(start);
    }
    loc.ArcType = StartsWithManifest(file, loc) ? atJar : atZip;
    return loc;
}

}  // namespace archive
