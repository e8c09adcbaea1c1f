// Parses a class file from its bytes: pool, members, attributes, code and stack maps; never throws.
#pragma once

#include <cstdint>
#include <span>

#include "classfile/ClassFile.h"
#include "classfile/Status.h"

namespace classfile {

// Fills `cls` from `bytes`, which must outlive it. Checks every length against the bytes, every pool
// index a structure names against the kind it must be, every instruction's length and pool operand, and
// the stack maps of the class's version (StackMap below 50, StackMapTable from 50).
TStatus ReadClass(std::span<const uint8_t> bytes, TClassFile& cls);

}  // namespace classfile
