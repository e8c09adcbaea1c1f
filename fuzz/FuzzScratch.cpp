// The fuzz targets' scratch folder: one per process, file size limited, swept after each input.
#include "fuzz/FuzzScratch.h"

#include <sys/resource.h>
#include <unistd.h>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace fuzz {

TScratch& TScratch::Get() {
    static TScratch scratch;
    return scratch;
}

TScratch::TScratch() {
    FRoot = std::filesystem::temp_directory_path() / ("gvfuzz-" + std::to_string(getpid()));
    std::filesystem::remove_all(FRoot);
    std::filesystem::create_directories(FRoot);
    // A write past the limit then fails with EFBIG instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{kFileSizeLimit, kFileSizeLimit};
    setrlimit(RLIMIT_FSIZE, &limit);
}

std::string TScratch::Put(const std::string& name, const uint8_t* data, size_t size) const {
    const std::filesystem::path path = FRoot / name;
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return path.string();
}

void TScratch::Sweep(std::initializer_list<std::string> keep, bool strict) const {
    for (const auto& item : std::filesystem::directory_iterator(FRoot)) {
        const std::string name = item.path().filename().string();
        bool kept = false;
        for (const auto& k : keep)
            kept = kept || k == name;
        if (!kept && strict) {
            std::fprintf(stderr, "written outside the target: %s\n", name.c_str());
            std::abort();
        }
    }
    for (const auto& item : std::filesystem::directory_iterator(FRoot)) {
        std::error_code ec;
        if (item.is_directory(ec))
            std::filesystem::remove_all(item.path(), ec);
    }
}

}  // namespace fuzz
