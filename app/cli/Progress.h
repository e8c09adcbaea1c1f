// The progress line on stderr while a jar is patched: only on a terminal, and cleared before other output.
#pragma once

#include <cstddef>
#include <string>

namespace cli {

class TProgressLine {
public:
    // Shows nothing unless `enabled` (not quiet) and stderr is a terminal; plain "\r" where TERM=dumb.
    explicit TProgressLine(bool enabled);
    void Show(const std::string& name, int percent);
    // Removes the line, so the next output starts on a clean line.
    bool Enabled() const { return FEnabled; }
    void Clear();

private:
    void Erase();

    bool FEnabled;
    bool FPlain;  // no escape sequences
    size_t FWidth = 0;
    bool FShown = false;
    int FLastPercent = -1;
};

}  // namespace cli
