// Progress line drawing: one line, rewritten in place with a carriage return.
#include "app/cli/Progress.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace cli {

namespace {
// A terminal that knows no escape sequences is told so by TERM=dumb (as Emacs' shell buffers do).
bool DumbTerminal() {
    const char* term = std::getenv("TERM");
    return term && std::strcmp(term, "dumb") == 0;
}
}  // namespace

TProgressLine::TProgressLine(bool enabled) : FEnabled(enabled && isatty(STDERR_FILENO) == 1), FPlain(DumbTerminal()) {}

void TProgressLine::Show(const std::string& name, int percent) {
    if (!FEnabled || (FShown && percent == FLastPercent))
        return;
    const std::string text = name + ": " + std::to_string(percent) + "%";
    Erase();
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    FShown = true;
    FWidth = text.size();
    FLastPercent = percent;
}

void TProgressLine::Clear() {
    if (!FShown)
        return;
    Erase();
    std::fflush(stderr);
    FShown = false;
    FLastPercent = -1;
}

// Back to the line's start with its text gone: erase to the end of the line, or overwrite it with blanks.
void TProgressLine::Erase() {
    if (!FPlain) {
        std::fputs("\r\033[K", stderr);
        return;
    }
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(FWidth), "");
}

}  // namespace cli
