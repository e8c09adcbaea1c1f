// Helpers for the archive tests: archives made by peer tools at test time, byte-built records, memory streams.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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
    uint32_t DateTime = 0x5A215C00;  // 2025-01-01 11:32:00
};
Bytes BuildRawZip(const std::vector<TRawEntry>& entries, const std::string& comment = "");

}  // namespace archivetest
