// Entry point of the decoders for the old ZIP compression methods 1 to 6 (shrink, reduce, implode).
#include "archive/codec/legacy/Legacy.h"

#include "archive/codec/legacy/BitInput.h"
#include "archive/codec/legacy/Explode.h"
#include "archive/codec/legacy/OutputWindow.h"
#include "archive/codec/legacy/Unreduce.h"
#include "archive/codec/legacy/Unshrink.h"

namespace archive::legacy {

namespace {

TLegacyStatus Dispatch(int method, uint16_t generalFlags, TBitInput& input, TOutputWindow& output) {
    if (method == kMethodShrunk)
        return Unshrink(input, output);
    if (method == kMethodImploded)
        return Explode(input, output, generalFlags & kFlagImplode8K, generalFlags & kFlagImplodeLiterals);
    // Methods 2..5 carry compression factors 1..4.
    return Unreduce(input, output, method - kMethodReducedFirst + 1);
}

}  // namespace

bool IsLegacyMethod(int method) {
    return method >= kMethodShrunk && method <= kMethodImploded;
}

TLegacyStatus DecodeLegacy(int method,
                           uint16_t generalFlags,
                           int64_t uncompressedSize,
                           const TLegacyRead& read,
                           const TLegacyWrite& write) {
    if (!IsLegacyMethod(method) || uncompressedSize < 0)
        return lsDataError;
    TBitInput input(read);
    TOutputWindow output(uncompressedSize, write);
    const TLegacyStatus status = Dispatch(method, generalFlags, input, output);
    // What was decoded before a failure is still handed on, as for damaged deflate data.
    return output.Finish() ? status : lsStopped;
}

}  // namespace archive::legacy
