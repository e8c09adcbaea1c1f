// Test helpers built on the standard library only, so they stay independent of the code under test.
#include "TestUtil.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace testutil {

namespace {
#ifdef _WIN32
constexpr char kDelim = '\\';
#else
constexpr char kDelim = '/';
#endif

std::string UniqueName(const std::string& stem) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
    const unsigned pid = GetCurrentProcessId();
#else
    const unsigned pid = static_cast<unsigned>(getpid());
#endif
    return stem + std::to_string(pid) + "-" + std::to_string(now % 1000000007) + "-" + std::to_string(counter++);
}

// A path of the program (UTF-8 on both systems) as the library's path, which takes narrow strings on
// Windows in the ANSI code page.
fs::path Native(const std::string& path) {
    return fs::path(std::u8string(path.begin(), path.end()));
}

// Scratch space the host and this program both see: /tmp natively and, under Wine, Z:\tmp.
std::string ScratchRoot() {
#ifdef _WIN32
    return UnderWine() ? std::string("Z:\\tmp") : fs::temp_directory_path().string();
#else
    return "/tmp";
#endif
}
}  // namespace

bool UnderWine() {
#ifdef _WIN32
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version");
#else
    return false;
#endif
}

TTempDir::TTempDir() {
    FPath = ScratchRoot() + kDelim + UniqueName("gvtest-");
    fs::create_directories(Native(FPath));
}

TTempDir::~TTempDir() {
    std::error_code ec;
    // Read-only files would block removal on Windows; make everything writable first.
    for (auto it = fs::recursive_directory_iterator(Native(FPath), ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec))
        fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(Native(FPath), ec);
}

std::string TTempDir::operator/(const std::string& rel) const {
    return Join(FPath, rel);
}

std::string Join(const std::string& folder, const std::string& rel) {
    std::string r = rel;
    for (char& c : r)
        if (c == '/')
            c = kDelim;
    if (!folder.empty() && folder.back() == kDelim)
        return folder + r;
    return folder + kDelim + r;
}

Bytes ReadFile(const std::string& path) {
    std::ifstream in(Native(path), std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
    const Bytes b = ReadFile(path);
    return std::string(b.begin(), b.end());
}

void MakeDirs(const std::string& path) {
    fs::create_directories(Native(path));
}

void WriteFile(const std::string& path, const Bytes& data) {
    const fs::path p = Native(path);
    if (p.has_parent_path())
        fs::create_directories(p.parent_path());
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    if (!out)
        throw std::runtime_error("cannot write " + path);
    out.write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
}

void WriteFile(const std::string& path, const std::string& data) {
    WriteFile(path, Bytes(data.begin(), data.end()));
}

void RemoveTree(const std::string& path) {
    std::error_code ec;
    fs::remove_all(Native(path), ec);
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return fs::exists(Native(path), ec);
}

Bytes RandomBytes(size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& x : b)
        x = static_cast<uint8_t>(rng());
    return b;
}

std::string SourcePath(const std::string& rel) {
    return Join(FromHostPath(GV_SOURCE_DIR), rel);
}

std::string ToHostPath(const std::string& path) {
#ifdef _WIN32
    if (path.size() >= 2 && (path[0] == 'Z' || path[0] == 'z') && path[1] == ':') {
        std::string r = path.substr(2);
        for (char& c : r)
            if (c == '\\')
                c = '/';
        return r;
    }
#endif
    return path;
}

std::string FromHostPath(const std::string& hostPath) {
#ifdef _WIN32
    if (!hostPath.empty() && hostPath[0] == '/') {
        std::string r = "Z:" + hostPath;
        for (char& c : r)
            if (c == '/')
                c = '\\';
        return r;
    }
#endif
    return hostPath;
}

std::string Quote(const std::string& arg) {
    std::string q = "'";
    for (char c : arg) {
        if (c == '\'')
            q += "'\\''";
        else
            q += c;
    }
    return q + "'";
}

#ifdef _WIN32
// Under Wine a Unix executable can be started directly, but Wine neither waits for it nor passes its
// exit status back: the script records its status in a file that appears only when it is done.
int RunHost(const std::string& command, std::string* out) {
    const std::string stem = "/tmp/" + UniqueName("gvhost-");
    WriteFile(FromHostPath(stem + ".sh"),
              "exec > \"$1.out\"\ncd /tmp\n( " + command + "\n)\necho $? > \"$1.tmp\"\nmv \"$1.tmp\" \"$1.rc\"\n");
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::string args = "/bin/sh " + stem + ".sh " + stem;
    if (!CreateProcessA("Z:\\bin\\sh", args.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    const std::string rcFile = FromHostPath(stem + ".rc");
    constexpr int kPollMs = 5;
    constexpr int kMaxWaitMs = 600 * 1000;  // a peer tool that runs longer than this has hung
    int waited = 0;
    while (!Exists(rcFile) && waited < kMaxWaitMs) {
        Sleep(kPollMs);
        waited += kPollMs;
    }
    int code = -1;
    if (Exists(rcFile))
        code = std::stoi("0" + ReadText(rcFile));
    if (out)
        *out = ReadText(FromHostPath(stem + ".out"));
    std::error_code ec;
    for (const char* ext : {".sh", ".out", ".rc"})
        fs::remove(Native(FromHostPath(stem + ext)), ec);
    return code;
}
#else
int RunHost(const std::string& command, std::string* out) {
    if (!out) {
        const int rc = std::system(command.c_str());
        return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    out->clear();
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, pipe)) > 0)
        out->append(buf, n);
    const int rc = pclose(pipe);
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}
#endif

bool HostHas(const std::string& tool) {
    return RunHost("command -v " + tool + " >/dev/null 2>&1") == 0;
}

}  // namespace testutil
