// Progress line drawing: one line, rewritten in place with a carriage return.
#include "app/cli/Progress.h"

#include <unistd.h>

#include <cstdio>

namespace cli {

TProgressLine::TProgressLine(bool enabled) : FEnabled(enabled && isatty(STDERR_FILENO) == 1) {}

void TProgressLine::Show(const std::string& name, int percent) {
    if (!FEnabled || (FShown && percent == FLastPercent))
        return;
    std::fprintf(stderr, "\r\033[K%s: %d%%", name.c_str(), percent);
    std::fflush(stderr);
    FShown = true;
    FLastPercent = percent;
}

void TProgressLine::Clear() {
    if (!FShown)
        return;
    // Carriage return, then erase to the end of the line.
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    FShown = false;
    FLastPercent = -1;
}

}  // namespace cli
