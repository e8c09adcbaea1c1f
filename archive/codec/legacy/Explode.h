// Decoder of imploded entries (method 6): Shannon-Fano coded literals and copies over a 4 or 8 KiB window.
#pragma once

#include "archive/codec/legacy/BitInput.h"
#include "archive/codec/legacy/Legacy.h"
#include "archive/codec/legacy/OutputWindow.h"

namespace archive::legacy {

// Stream: [literal tree (256 values)] length tree (64) distance tree (64), then items:
//   1, literal (literal-tree code, or 8 raw bits without that tree)
//   0, low distance bits (6 raw, 7 with the 8 KiB window), distance-tree code (high six bits),
//      length-tree code (63 adds 8 raw bits); length counts from 3 with a literal tree, else from 2
//   lsDataError: a bad tree description, a code no tree knows, or the input ends early
TLegacyStatus Explode(TBitInput& input, TOutputWindow& output, bool bigWindow, bool literalTree);

}  // namespace archive::legacy
