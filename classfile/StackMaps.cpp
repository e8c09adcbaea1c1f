// Stack-map frames: verification types, CLDC entries and StackMapTable frame kinds.
#include "classfile/StackMaps.h"

#include "classfile/ByteReader.h"

namespace classfile {

namespace {

// Verification type tags; Object carries a class index, Uninitialized a code offset, the rest nothing.
constexpr uint8_t kLastPlainType = 6;  // Top, Integer, Float, Double, Long, Null, UninitializedThis
constexpr uint8_t kObjectType = 7;
constexpr uint8_t kUninitializedType = 8;

// StackMapTable frame kinds by their first byte.
constexpr uint8_t kLastSameFrame = 63;
constexpr uint8_t kLastSameLocalsOneStack = 127;
constexpr uint8_t kSameLocalsOneStackExtended = 247;
constexpr uint8_t kSameFrameExtended = 251;
constexpr uint8_t kFullFrame = 255;

const char* const kTruncated = "a stack map ends early";
const char* const kBadType = "a stack map holds an unknown verification type";

bool ReadTypes(TByteReader& in, uint32_t count, std::vector<uint16_t>& classes, TStatus& status) {
    for (uint32_t i = 0; i < count && in.Ok(); ++i) {
        const uint8_t tag = in.U1();
        if (tag == kObjectType) {
            const uint16_t index = in.U2();
            if (in.Ok())
                classes.push_back(index);
        } else if (tag == kUninitializedType) {
            in.U2();
        } else if (tag > kLastPlainType) {
            status = TStatus::Fail(kBadType);
            return false;
        }
    }
    if (!in.Ok())
        status = TStatus::Fail(kTruncated);
    return in.Ok();
}

TStatus Finish(const TByteReader& in, TStatus status) {
    if (status.Ok() && !in.Ok())
        return TStatus::Fail(kTruncated);
    if (status.Ok() && in.Remaining() != 0)
        return TStatus::Fail("a stack map is shorter than its attribute");
    return status;
}

}  // namespace

TStatus ReadCldcStackMap(std::span<const uint8_t> info, std::vector<uint16_t>& classes) {
    TByteReader in(info);
    TStatus status;
    const uint16_t entries = in.U2();
    for (uint32_t i = 0; i < entries && in.Ok() && status.Ok(); ++i) {
        in.U2();  // offset
        if (ReadTypes(in, in.U2(), classes, status))
            ReadTypes(in, in.U2(), classes, status);
    }
    return Finish(in, status);
}

TStatus ReadStackMapTable(std::span<const uint8_t> info, std::vector<uint16_t>& classes) {
    TByteReader in(info);
    TStatus status;
    const uint16_t entries = in.U2();
    for (uint32_t i = 0; i < entries && in.Ok() && status.Ok(); ++i) {
        const uint8_t kind = in.U1();
        if (kind <= kLastSameFrame)
            continue;
        if (kind <= kLastSameLocalsOneStack) {
            ReadTypes(in, 1, classes, status);
        } else if (kind < kSameLocalsOneStackExtended) {
            status = TStatus::Fail("a stack map frame has a reserved kind");
        } else if (kind == kSameLocalsOneStackExtended) {
            in.U2();
            ReadTypes(in, 1, classes, status);
        } else if (kind <= kSameFrameExtended) {
            in.U2();  // chop (248-250) and same_frame_extended carry only an offset delta
        } else if (kind < kFullFrame) {
            in.U2();
            ReadTypes(in, kind - kSameFrameExtended, classes, status);
        } else {
            in.U2();
            if (ReadTypes(in, in.U2(), classes, status))
                ReadTypes(in, in.U2(), classes, status);
        }
    }
    return Finish(in, status);
}

}  // namespace classfile
