// Reads the stack maps of a Code attribute far enough to list the classes their verification types name.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "classfile/Status.h"

namespace classfile {

// The CLDC preverifier's StackMap (class versions 45-48): u2 entry count; per entry u2 offset, u2 local
// count and types, u2 stack count and types. Appends each Object type's class index to `classes`.
TStatus ReadCldcStackMap(std::span<const uint8_t> info, std::vector<uint16_t>& classes);

// The StackMapTable of class version 50 and later, with its compressed frame kinds.
TStatus ReadStackMapTable(std::span<const uint8_t> info, std::vector<uint16_t>& classes);

}  // namespace classfile
