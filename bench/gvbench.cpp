// Benchmark driver: each stage of the patch job alone (unpack, pack, patch classes), so each can be timed.
#include <cstdio>
#include <exception>
#include <string>

#include "bench/Stages.h"
#include "platform/Platform.h"

namespace bench {

namespace {
const char kUsage[] =
    "usage: gvbench extract ARCHIVE DIR   unpack every entry below DIR\n"
    "       gvbench pack DIR ARCHIVE      pack everything below DIR into a new ARCHIVE\n"
    "       gvbench pack1 DIR ARCHIVE     the same with the writer alone, no deflating ahead on other threads\n"
    "       gvbench replace DIR           patch every *.class below DIR in place\n";

int Run(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "extract" && argc == 4)
        return Extract(argv[2], argv[3]);
    if (command == "pack" && argc == 4)
        return Pack(argv[2], argv[3], true);
    if (command == "pack1" && argc == 4)
        return Pack(argv[2], argv[3], false);
    if (command == "replace" && argc == 3)
        return Replace(argv[2]);
    std::fputs(kUsage, stderr);
    return 2;
}
}  // namespace

std::string WithDelimiter(std::string folder) {
    if (folder.empty() || folder.back() != platform::PathDelim)
        folder += platform::PathDelim;
    return folder;
}

}  // namespace bench

int main(int argc, char** argv) {
    try {
        return bench::Run(argc, argv);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "gvbench: %s\n", error.what());
        return 1;
    }
}
