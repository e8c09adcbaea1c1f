// Console backend: no message loop to run; message boxes go to stderr.
#include "framework/Backend.h"

#include <cstdio>

namespace fw::backend {

void ProcessMessages() {}

int MessageBox(const std::string& text, const std::string& caption, uint32_t /*flags*/) {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    std::fflush(stderr);
    return IDOK;
}

}  // namespace fw::backend
