// Helpers shared by the test suites: scratch folders, whole-file I/O, paths, host peer tools.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testutil {

using Bytes = std::vector<uint8_t>;

// A fresh, empty scratch folder removed with everything in it when the object goes.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;
    const std::string& Path() const { return FPath; }     // without a trailing delimiter
    std::string operator/(const std::string& rel) const;  // Path() + delimiter + rel ("/" in rel allowed)

private:
    std::string FPath;
};

std::string Join(const std::string& folder, const std::string& rel);  // turns "/" in rel into the delimiter
Bytes ReadFile(const std::string& path);                              // throws std::runtime_error when missing
std::string ReadText(const std::string& path);
void WriteFile(const std::string& path, const Bytes& data);  // creates parent folders
void WriteFile(const std::string& path, const std::string& data);
void MakeDirs(const std::string& path);
void RemoveTree(const std::string& path);
bool Exists(const std::string& path);
Bytes RandomBytes(size_t n, uint32_t seed);

// The project's source folder and a path below it, as this program can open it.
std::string SourcePath(const std::string& rel);
// A path of this program as the Linux host sees it (Z:\tmp\x -> /tmp/x under Wine), and back.
std::string ToHostPath(const std::string& path);
std::string FromHostPath(const std::string& hostPath);
// Runs a shell command on the Linux host (under Wine too) and returns its exit status; stdout in `out`.
int RunHost(const std::string& command, std::string* out = nullptr);
// Quotes an argument for the host shell.
std::string Quote(const std::string& arg);
bool HostHas(const std::string& tool);  // the tool is on the host's PATH
bool UnderWine();

}  // namespace testutil
