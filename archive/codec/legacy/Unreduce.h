// Decoder of reduced entries (methods 2 to 5): follower-set byte coding under a DLE-escaped copy scheme.
#pragma once

#include "archive/codec/legacy/BitInput.h"
#include "archive/codec/legacy/Legacy.h"
#include "archive/codec/legacy/OutputWindow.h"

namespace archive::legacy {

// Stream: 256 follower sets (for bytes 255 down to 0: 6-bit count, then that many 8-bit followers),
// then the coded bytes: with an empty set for the previous byte an 8-bit literal, else one flag bit
// (1: 8-bit literal, 0: index into the set). The bytes so decoded drive the copy stage:
//   esLiteral --DLE--> esMarker --0--> (DLE out) esLiteral
//                      esMarker --V--> esExtraLength (low bits of V all set) or esDistance
//   esExtraLength --byte--> esDistance --byte--> (copy) esLiteral
// `factor` (1..4) sets how many high bits of V belong to the distance.
//   lsDataError: a set larger than 32, an index outside its set, or the input ends early
TLegacyStatus Unreduce(TBitInput& input, TOutputWindow& output, int factor);

}  // namespace archive::legacy
