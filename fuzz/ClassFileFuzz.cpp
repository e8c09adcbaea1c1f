// Fuzz target: class-file inspection, the super-link rewrite and its proof on any bytes; every rewrite the
// module makes must pass its own proof, and no other input may.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "classfile/CanvasUse.h"
#include "classfile/RelinkCheck.h"
#include "classfile/SuperRelink.h"

namespace {
constexpr std::string_view kCanvas = "javax/microedition/lcdui/Canvas";
constexpr std::string_view kWide = "com/vidorurud/fullscreen/WideCv";
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> in(data, size);
    const classfile::TClassInfo info = classfile::Inspect(in, kCanvas);
    if (!info.Parsed() && (info.Status.Reason == nullptr || !info.BeyondSuperLink))
        __builtin_trap();
    std::vector<uint8_t> out;
    const classfile::TStatus status = classfile::RelinkSuper(in, kCanvas, kWide, out);
    if (status.Ok() != !out.empty())
        __builtin_trap();
    // A rewrite the proof rejects, or an unchanged class it accepts, is a finding.
    if (status.Ok() && !classfile::IsSuperRelinkOf(in, out, kCanvas, kWide, nullptr))
        __builtin_trap();
    if (classfile::IsSuperRelinkOf(in, in, kCanvas, kWide, nullptr))
        __builtin_trap();
    if (status.Ok() && !classfile::Inspect(out, kWide).SuperIsCanvas)
        __builtin_trap();
    return 0;
}
