// Helpers for the writer's tests: record parser for written archives and the peer tool checks.
#include "tests/archive/WriterFixtures.h"

#include <zlib.h>

#include <span>

namespace writertest {

using namespace archive;

namespace {

std::span<const uint8_t> At(const testutil::Bytes& bytes, uint64_t offset, size_t size) {
    if (offset > bytes.size() || bytes.size() - offset < size)
        return {};
    return {bytes.data() + offset, size};
}

std::string Text(const testutil::Bytes& bytes, uint64_t offset, size_t size) {
    const auto span = At(bytes, offset, size);
    return {span.begin(), span.end()};
}

bool ParseEntry(const testutil::Bytes& bytes, uint64_t& pos, TParsedArchive& result) {
    TParsedEntry e;
    const auto central = TCentralHeader::Parse(At(bytes, pos, kCentralHeaderSize));
    if (!central)
        return false;
    e.Central = *central;
    e.CentralName = Text(bytes, pos + kCentralHeaderSize, central->NameLength);
    pos += central->RecordLength();
    e.LocalOffset = central->LocalHeaderOffset;
    const auto local = TLocalHeader::Parse(At(bytes, e.LocalOffset, kLocalHeaderSize));
    if (!local) {
        result.Problem = "no local header for " + e.CentralName;
        return false;
    }
    e.Local = *local;
    e.LocalName = Text(bytes, e.LocalOffset + kLocalHeaderSize, local->NameLength);
    const uint64_t data = e.LocalOffset + kLocalHeaderSize + local->NameLength + local->ExtraLength;
    const auto span = At(bytes, data, local->CompressedSize);
    e.Data.assign(span.begin(), span.end());
    result.Entries.push_back(std::move(e));
    return true;
}

std::string Run(const std::string& tool, const std::string& command) {
    if (!testutil::HostHas(tool))
        return {};
    std::string out;
    return testutil::RunHost(command + " 2>&1", &out) == 0 ? std::string() : tool + " failed:\n" + out + "\n";
}

}  // namespace

TParsedArchive ParseArchive(const testutil::Bytes& bytes) {
    TParsedArchive result;
    if (bytes.size() < kEndRecordSize) {
        result.Problem = "too short";
        return result;
    }
    const auto end = TEndRecord::Parse(At(bytes, bytes.size() - kEndRecordSize, kEndRecordSize));
    if (!end) {
        result.Problem = "no end record at the end";
        return result;
    }
    result.End = *end;
    result.DirectoryOffset = end->DirectoryOffset;
    uint64_t pos = end->DirectoryOffset;
    while (pos < bytes.size() - kEndRecordSize && ParseEntry(bytes, pos, result)) {
    }
    result.Ok = result.Problem.empty() && pos == bytes.size() - kEndRecordSize &&
                pos - end->DirectoryOffset == end->DirectorySize;
    if (!result.Ok && result.Problem.empty())
        result.Problem = "directory does not end at the end record";
    return result;
}

testutil::Bytes RawInflate(const testutil::Bytes& packed, size_t expectedSize) {
    testutil::Bytes out(expectedSize + 1);
    z_stream z{};
    inflateInit2(&z, -MAX_WBITS);
    z.next_in = const_cast<Bytef*>(packed.data());
    z.avail_in = static_cast<uInt>(packed.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    inflate(&z, Z_FINISH);
    out.resize(z.total_out);
    inflateEnd(&z);
    return out;
}

std::string PeerCheck(const std::string& archivePath) {
    const std::string path = testutil::Quote(testutil::ToHostPath(archivePath));
    std::string failures;
    failures += Run("unzip", "unzip -t " + path);
    failures += Run("7z", "7z t " + path);
    failures += Run("python3",
                    "python3 -c \"import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); "
                    "sys.exit(1 if z.testzip() is not None else 0)\" " +
                        path);
    failures += Run("jar", "jar tf " + path);
    return failures;
}

std::string JarList(const std::string& archivePath) {
    std::string out;
    testutil::RunHost("jar tf " + testutil::Quote(testutil::ToHostPath(archivePath)), &out);
    return out;
}

}  // namespace writertest
