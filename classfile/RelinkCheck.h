// Independent proof that one class file is the super-link rewrite of another, written apart from the rewrite.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace classfile {

// True when `rebuilt` equals `original` (whose super_class names `from`) except that:
//  - the constant pool is the original's followed by a Utf8 `to`, a Class naming it, and Methodrefs of
//    that Class, each with the NameAndType of a distinct original Methodref `from.<init>:D`;
//  - super_class is that Class;
//  - every invokespecial in an <init> method that called `from.<init>:D` calls the appended `to.<init>:D`,
//    and no other byte differs.
// Otherwise false, with the first difference found in `why` when it is given.
bool IsSuperRelinkOf(std::span<const uint8_t> original,
                     std::span<const uint8_t> rebuilt,
                     std::string_view from,
                     std::string_view to,
                     std::string* why);

}  // namespace classfile
