// Inspection: where a class names the canvas class, and whether anything but its super link does.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "classfile/Status.h"

namespace classfile {

struct TCanvasUse {
    bool SuperLink = false;     // super_class names the canvas
    uint32_t Descriptors = 0;   // descriptors (members, NameAndType, MethodType) and Signature texts with L<canvas>;
    uint32_t Casts = 0;         // checkcast, instanceof, anewarray, multianewarray, new, ldc of a canvas Class
    uint32_t MemberRefs = 0;    // field and method references through the canvas class, other than <init>
    uint32_t Strings = 0;       // String constants whose text contains the name
    uint32_t LongerNames = 0;   // Utf8 texts holding the name inside a longer name (".../CanvasEx")
    uint32_t StackMapRefs = 0;  // stack-map Object types naming a canvas Class
    uint32_t OtherRefs = 0;     // anything else: this_class, interfaces, catch types, handles, <init> calls
                                // outside constructors, the name in attribute bytes or in other texts
};

struct TClassInfo {
    TStatus Status;  // why the class did not parse; the names and uses are empty then
    std::string ThisName;
    std::string SuperName;
    std::vector<std::string> Interfaces;
    bool SuperIsCanvas = false;
    TCanvasUse Use;
    // The class names the canvas other than by its super_class and its constructors' invokespecial of the
    // canvas's <init>; true when unsure (a class that did not parse).
    bool BeyondSuperLink = true;
    uint32_t RawOccurrences = 0;  // the name's bytes anywhere in the file: what a byte substitution rewrites

    bool Parsed() const { return Status.Ok(); }
};

// `canvas` is an internal name such as "javax/microedition/lcdui/Canvas".
TClassInfo Inspect(std::span<const uint8_t> classBytes, std::string_view canvas);

// Non-overlapping occurrences of `text` in `bytes`.
uint32_t CountOccurrences(std::span<const uint8_t> bytes, std::string_view text);

}  // namespace classfile
