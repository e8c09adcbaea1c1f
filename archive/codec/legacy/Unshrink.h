// Decoder of shrunk entries (method 1): dynamic LZW with 9- to 13-bit codes and partial clearing.
#pragma once

#include "archive/codec/legacy/BitInput.h"
#include "archive/codec/legacy/Legacy.h"
#include "archive/codec/legacy/OutputWindow.h"

namespace archive::legacy {

// Codes: a literal (0..255), a table code (257..8191), or 256 then 1 (codes one bit wider, up to
// 13 bits) or 2 (partial clear). The first code is a literal. Every later code first expands to
// its string, then the table gains (previous code, first character of this string) in its lowest
// free slot. A free code equal to that slot is the previous string followed by its first character.
//   lsBadBlock:      no first code, 256 followed by anything but 1 or 2, code size beyond 13,
//                    a free code other than the next slot, a string built on a freed code
//   lsStackOverflow: one code would expand to more than 8192 characters (a cycle in the table)
TLegacyStatus Unshrink(TBitInput& input, TOutputWindow& output);

}  // namespace archive::legacy
