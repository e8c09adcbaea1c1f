// Helpers for the fault-injection tests: zip bombs, a file-size limit, extraction outcomes.
#include "tests/archive/FaultFixtures.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <stdexcept>

#include "tests/archive/ArchiveFixtures.h"

#ifndef _WIN32
#include <sys/resource.h>
#include <csignal>
#endif

namespace faulttest {

namespace {

constexpr size_t kEndRecordSize = 22;  // the end record without its comment
constexpr uint32_t kCentralSignature = 0x02014B50;
constexpr size_t kCentralFixedSize = 46;  // a central header before its name, extra field and comment

// One deflate call over `input` with `flush`, all output appended to `out`.
void DeflateInto(z_stream& z, Bytes& input, int flush, Bytes& out) {
    z.next_in = input.data();
    z.avail_in = static_cast<uInt>(input.size());
    uint8_t buffer[65536];
    do {
        z.next_out = buffer;
        z.avail_out = sizeof buffer;
        deflate(&z, flush);
        out.insert(out.end(), buffer, buffer + (sizeof buffer - z.avail_out));
    } while (z.avail_out == 0);
}

std::string Relative(const std::string& path) {
    std::string r = path;
    std::replace(r.begin(), r.end(), '\\', '/');
    return r;
}

}  // namespace

// A full flush resets the compressor, so every chunk of zeros encodes to the same bytes and the chunk's
// code can simply be repeated before one final empty block.
Bytes ZeroBomb(uint32_t chunks, uint32_t& crc) {
    z_stream z{};
    if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::runtime_error("deflateInit2");
    Bytes zeros(kBombChunk, 0);
    Bytes chunk;
    DeflateInto(z, zeros, Z_FULL_FLUSH, chunk);
    Bytes tail;
    Bytes none;
    DeflateInto(z, none, Z_FINISH, tail);
    deflateEnd(&z);

    Bytes bomb;
    const uLong chunkCrc = crc32(0, zeros.data(), static_cast<uInt>(zeros.size()));
    uLong whole = 0;
    for (uint32_t i = 0; i < chunks; ++i) {
        bomb.insert(bomb.end(), chunk.begin(), chunk.end());
        whole = i == 0 ? chunkCrc : crc32_combine(whole, chunkCrc, static_cast<z_off_t>(kBombChunk));
    }
    bomb.insert(bomb.end(), tail.begin(), tail.end());
    crc = static_cast<uint32_t>(whole);
    return bomb;
}

bool TExtractOutcome::WasReported(const std::string& relative) const {
    for (const auto& name : Reported) {
        const std::string r = Relative(name);
        if (r.size() >= relative.size() && r.compare(r.size() - relative.size(), relative.size(), relative) == 0)
            return true;
    }
    return false;
}

TExtractOutcome ExtractAll(const std::string& archive,
                           const std::string& target,
                           const std::function<void(archive::TUnJar&)>& setup) {
    TExtractOutcome outcome;
    archive::TUnJar reader(nullptr);
    reader.FileSpec = {"*.*"};
    reader.OnError = [&](fw::TObject*, const std::string& name, const std::string&, const std::string&, int32_t) {
        outcome.Reported.insert(name.empty() ? "<archive>" : name);
    };
    reader.OnEnd = [&](fw::TObject*, const std::string& name, bool crcPass) {
        if (!crcPass)
            outcome.Reported.insert(name);
    };
    if (setup)
        setup(reader);
    reader.SetArchiveFile(archive);
    reader.SetExtractDir(target);
    outcome.Count = reader.Extract();
    return outcome;
}

TFiles ReadTree(const std::string& folder) {
    TFiles files;
    for (const auto& name : archivetest::ListTree(folder))
        if (name.back() != '/')
            files[name] = testutil::ReadFile(testutil::Join(folder, name));
    return files;
}

void ExpectNoSilentDamage(const TFiles& originals, const TExtractOutcome& outcome, const std::string& target) {
    for (const auto& [name, bytes] : ReadTree(target)) {
        const auto original = originals.find(name);
        EXPECT_TRUE(original != originals.end()) << "unexpected file " << name;
        if (original != originals.end() && original->second != bytes) {
            EXPECT_TRUE(outcome.WasReported(name)) << name << " differs from its original and was not reported";
        }
    }
}

void Put16(Bytes& bytes, size_t at, uint16_t value) {
    bytes.at(at) = static_cast<uint8_t>(value);
    bytes.at(at + 1) = static_cast<uint8_t>(value >> 8);
}

void Put32(Bytes& bytes, size_t at, uint32_t value) {
    Put16(bytes, at, static_cast<uint16_t>(value));
    Put16(bytes, at + 2, static_cast<uint16_t>(value >> 16));
}

uint32_t Get32(const Bytes& bytes, size_t at) {
    return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 |
           static_cast<uint32_t>(bytes.at(at + 3)) << 24;
}

size_t EndRecord(const Bytes& zip) {
    return zip.size() - kEndRecordSize;
}

std::vector<size_t> CentralHeaders(const Bytes& zip) {
    std::vector<size_t> headers;
    size_t at = Get32(zip, EndRecord(zip) + 16);  // the directory's offset
    while (at + kCentralFixedSize <= zip.size() && Get32(zip, at) == kCentralSignature) {
        headers.push_back(at);
        const size_t nameLength = zip[at + 28] | zip[at + 29] << 8;
        const size_t extraLength = zip[at + 30] | zip[at + 31] << 8;
        const size_t commentLength = zip[at + 32] | zip[at + 33] << 8;
        at += kCentralFixedSize + nameLength + extraLength + commentLength;
    }
    return headers;
}

#ifndef _WIN32
TFileSizeLimit::TFileSizeLimit(uint64_t bytes) {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    FSavedCur = limit.rlim_cur;
    FSavedHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
}

TFileSizeLimit::~TFileSizeLimit() {
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = FSavedCur;
    setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, FSavedHandler);
}
#endif

}  // namespace faulttest
