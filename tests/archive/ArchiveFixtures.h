// Helpers for the archive tests: archives made by peer tools at test time, byte-built records, memory streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "archive/read/UnZip.h"
#include "framework/Streams.h"
#include "tests/TestUtil.h"

namespace archivetest {

using testutil::Bytes;

// A Python string literal naming `path` as the host sees it.
std::string PyPath(const std::string& path);
// Runs a Python 3 script on the host; returns its exit status.
int RunPython(const std::string& script);
// Runs a shell command on the host inside `folder` (a path of this program); returns its exit status.
int RunIn(const std::string& folder, const std::string& command, std::string* out = nullptr);

// An archive written by Python's zipfile: one (name, data) pair per entry, deflated unless `stored`.
void PyZip(const std::string& archive, const std::vector<std::pair<std::string, Bytes>>& entries, bool stored = false);
Bytes TextBytes(const std::string& text);

// A memory stream holding `bytes`, positioned at 0.
void LoadStream(fw::TMemoryStream& stream, const Bytes& bytes);

// A minimal stored archive built byte by byte: local headers, central directory and end record.
struct TRawEntry {
    std::string Name;
    Bytes Data;
    uint32_t ExternalAttributes = 0x20;
    uint16_t Method = 0;  // the data are written as given, whatever the method says
    uint16_t Flags = 0;
    int32_t Crc = -1;                // -1: the true CRC of Data
    int64_t UncompressedSize = -1;   // -1: the size of Data
    Bytes Extra{};                   // the same extra field in both headers
    uint32_t DateTime = 0x5A215C00;  // 2025-01-01 11:32:00
};
Bytes BuildRawZip(const std::vector<TRawEntry>& entries, const std::string& comment = "");
// Raw deflate data (no zlib header) of `data` from zlib itself (32 KiB window, memory level 8): the
// reference for our encoder and decoders. The defaults are zip's method 8 at its best level.
constexpr int kBestLevel = 9;
constexpr int kDefaultStrategy = 0;
Bytes RawDeflate(const Bytes& data, int level = kBestLevel, int strategy = kDefaultStrategy);

// Every file and folder below `folder`, relative, "/" between names, folders ending in "/", sorted.
std::vector<std::string> ListTree(const std::string& folder);

// Python's zipfile reads `archive` and compares every entry with what lies below `folder`: bytes, folders,
// and the modification time (local, two-second steps). Returns the differences; empty when all agree.
std::string CompareWithPeer(const std::string& archive, const std::string& folder);

// A source tree for peer archives: text, binary, empty, nested files and an empty folder.
void MakeSourceTree(const std::string& folder);

// A reader over `bytes` saved as `name` in `dir`, extracting everything ("*.*") into dir/out.
struct TRawRun {
    testutil::TTempDir Dir;
    std::string Archive;
    std::string Target = Dir / "out";
    archive::TUnJar Reader{nullptr};

    TRawRun(const Bytes& bytes, const std::string& name = "raw.zip");
    int32_t Extract();
};

// Records what a reader reports through OnError.
struct TErrorLog {
    std::vector<int32_t> Codes;
    std::vector<std::string> Names;
    std::vector<std::string> Extended;
    void Attach(archive::TZipCommon& component);
    bool Has(int32_t code) const;
};

}  // namespace archivetest
