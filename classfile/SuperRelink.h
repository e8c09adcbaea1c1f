// The super-link rewrite: a class that extends `from` is made to extend `to`, every other byte kept.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "classfile/Status.h"

namespace classfile {

// Rewrites a class whose super_class names `from` (internal names, "a/b/C") into `out`:
//  - appends to the constant pool a Utf8 `to`, a Class naming it, and for each Methodref `from.<init>:D`
//    that an invokespecial in one of the class's <init> methods calls, a Methodref of the new Class with
//    the same NameAndType (in pool order);
//  - points super_class at the new Class and those invokespecial operands at the new Methodrefs.
// Instruction lengths do not change, so code offsets and stack maps stay byte for byte; every other
// mention of `from` stays too. Refuses (status with a reason, `out` empty) malformed input, a super
// class other than `from`, a constructor that creates a `from` itself (its init call would be ambiguous),
// and a pool that would pass 65535 slots.
TStatus RelinkSuper(std::span<const uint8_t> in, std::string_view from, std::string_view to, std::vector<uint8_t>& out);

}  // namespace classfile
