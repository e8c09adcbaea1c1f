// Stdout's write errors are collected here, so a full disk behind "> file" fails the run.
#include "app/cli/Output.h"

#include <cerrno>
#include <cstdio>

namespace cli {

namespace {
int gFault = 0;

void Note(bool ok) {
    if (!ok && gFault == 0 && errno != EPIPE)
        gFault = errno != 0 ? errno : EIO;
}
}  // namespace

void PrintText(const std::string& text) {
    errno = 0;
    const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
    Note(written && std::fflush(stdout) == 0);
}

void PrintLine(const std::string& line) {
    PrintText(line + "\n");
}

void PrintWarning(const std::string& line) {
    std::fflush(stdout);
    std::fprintf(stderr, "grandvue: %s\n", line.c_str());
    std::fflush(stderr);
}

int StdoutFault() {
    // Every write went through PrintText, which noted its fault; a last flush finds any other.
    errno = 0;
    Note(std::fflush(stdout) == 0);
    return gFault;
}

}  // namespace cli
