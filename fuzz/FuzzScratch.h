// A per-process scratch folder for fuzz targets that must go through real files, bounded in size.
#pragma once

#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <string>

namespace fuzz {

// Created on first use below the temporary folder (TMPDIR: fuzz/run.sh points it into the build tree); writes beyond
// kFileSizeLimit fail as a full disk does.
class TScratch {
public:
    static TScratch& Get();
    const std::filesystem::path& Root() const { return FRoot; }
    // Writes `size` bytes at `data` to Root()/name and returns the path.
    std::string Put(const std::string& name, const uint8_t* data, size_t size) const;
    // Removes everything below Root() except the names in `keep`; aborts if a name outside them shows up
    // and `strict` is set (a file written where it must not be).
    void Sweep(std::initializer_list<std::string> keep, bool strict) const;

private:
    TScratch();
    std::filesystem::path FRoot;
};

// Large enough for any seed's entries, small enough that a declared 4 GiB entry cannot fill the disk.
constexpr unsigned long long kFileSizeLimit = 64ull << 20;

}  // namespace fuzz
