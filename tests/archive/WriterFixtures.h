// Helpers for the writer's tests: parse a written archive record by record, check it with peer tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/format/Records.h"
#include "tests/TestUtil.h"

namespace writertest {

struct TParsedEntry {
    archive::TLocalHeader Local;
    archive::TCentralHeader Central;
    std::string LocalName;
    std::string CentralName;
    uint64_t LocalOffset = 0;
    testutil::Bytes Data;  // the entry's data as stored (compressed or not)
};

struct TParsedArchive {
    bool Ok = false;      // every record found where the directory says
    std::string Problem;  // what was wrong otherwise
    std::vector<TParsedEntry> Entries;
    archive::TEndRecord End;
    uint64_t DirectoryOffset = 0;
};

// Reads the end record at the very end (no comment), the central directory it names, and each local header.
TParsedArchive ParseArchive(const testutil::Bytes& bytes);

// Inflates raw deflate data with zlib (the reference decoder).
testutil::Bytes RawInflate(const testutil::Bytes& packed, size_t expectedSize);

// Runs `unzip -t`, `7z t`, Python's zipfile.testzip() and `jar tf` on an archive; returns the failures
// (empty when all passed). Tools missing on the host are skipped.
std::string PeerCheck(const std::string& archivePath);
// The names `jar tf` lists, one per line.
std::string JarList(const std::string& archivePath);

}  // namespace writertest
