// The command line's two streams: lines for stdout (whose write errors are kept) and warnings for stderr.
#pragma once

#include <string>

namespace cli {

// One line on stdout. A failed write is remembered; after the reader of a pipe has gone (EPIPE) lines
// are dropped silently and the job goes on.
void PrintLine(const std::string& line);
void PrintText(const std::string& text);
// "grandvue: LINE" on stderr.
void PrintWarning(const std::string& line);
// After the last output: 0, or the errno of the first failed write to stdout other than EPIPE.
int StdoutFault();

}  // namespace cli
