// Decoder of shrunk entries (method 1): dynamic LZW with 9- to 13-bit codes and partial clearing.
#pragma once

#include "archive/legacy/BitInput.h"
#include "archive/legacy/Legacy.h"
#include "archive/legacy/OutputWindow.h"

namespace archive::legacy {

// Code stream:  literal (0..255) | table code (257..8191) | 256 1 (code size + 1) | 256 2 (partial clear)
// The first code is a literal. Every later code first expands to its string, then the table gains
// (previous code, first character of this string) in its lowest free slot. A free code equal to
// that slot is the string of the previous code followed by its own first character.
//   lsBadBlock:      no first code, 256 followed by anything but 1 or 2, code size beyond 13,
//                    a free code other than the next slot, a string built on a freed code
//   lsStackOverflow: one code would expand to more than 8192 characters (a cycle in the table)
TLegacyStatus Unshrink(TBitInput& input, TOutputWindow& output);

}  // namespace archive::legacy
