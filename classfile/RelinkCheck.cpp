// The super-link proof: byte ranges compared, appended constants and repointed operands checked one by one.
#include "classfile/RelinkCheck.h"

#include <algorithm>
#include <vector>

#include "classfile/ByteReader.h"
#include "classfile/ClassFile.h"
#include "classfile/ClassReader.h"
#include "classfile/CodeWalk.h"

namespace classfile {

namespace {

constexpr size_t kPoolCountOffset = 8;   // after magic, minor and major versions
constexpr size_t kThisEndAfterPool = 4;  // access_flags, this_class
constexpr size_t kHeaderAfterPool = 6;   // access_flags, this_class, super_class

// A constructor's invokespecial operand in the original and the Methodref it named there.
struct TOperand {
    size_t Offset = 0;
    uint16_t Methodref = 0;
};

class TChecker {
public:
    TChecker(std::span<const uint8_t> original,
             std::span<const uint8_t> rebuilt,
             std::string_view from,
             std::string_view to)
        : FOriginal(original), FRebuilt(rebuilt), FFrom(from), FTo(to) {}
    // Null when the files match; otherwise what differs.
    const char* Run();

private:
    bool IsFromInit(uint32_t index) const {
        return FOld.Tag(index) == ctMethodref && FOld.RefClassName(index) == FFrom &&
               FOld.RefMemberName(index) == kInitName;
    }
    bool Same(size_t oldPos, size_t newPos, size_t length) const {
        return std::equal(FOriginal.begin() + oldPos, FOriginal.begin() + oldPos + length, FRebuilt.begin() + newPos);
    }
    const char* CheckAppended();
    const char* CollectOperands();
    const char* CheckBody();

    std::span<const uint8_t> FOriginal;
    std::span<const uint8_t> FRebuilt;
    std::string_view FFrom;
    std::string_view FTo;
    TClassFile FOld;
    TClassFile FNew;
    std::vector<TOperand> FOperands;
};

const char* TChecker::Run() {
    if (!ReadClass(FOriginal, FOld).Ok())
        return "the original class does not parse";
    if (FOld.ClassName(FOld.SuperClass) != FFrom)
        return "the original class does not extend the replaced class";
    if (!ReadClass(FRebuilt, FNew).Ok())
        return "the rebuilt class does not parse";
    if (FNew.Pool.size() < FOld.Pool.size() + 2 || !Same(0, 0, kPoolCountOffset) ||
        !Same(kPoolCountOffset + 2, kPoolCountOffset + 2, FOld.PoolEnd - kPoolCountOffset - 2))
        return "the rebuilt class does not start with the original's header and constants";
    if (const char* why = CheckAppended())
        return why;
    if (FRebuilt.size() - FNew.PoolEnd != FOriginal.size() - FOld.PoolEnd)
        return "the rebuilt class's size is not the original's plus the appended constants";
    if (!Same(FOld.PoolEnd, FNew.PoolEnd, kThisEndAfterPool))
        return "the access flags or this_class differ";
    if (FNew.SuperClass != FOld.Pool.size() + 1)
        return "super_class is not the appended Class";
    if (const char* why = CollectOperands())
        return why;
    return CheckBody();
}

const char* TChecker::CheckAppended() {
    const uint32_t first = static_cast<uint32_t>(FOld.Pool.size());
    if (FNew.Utf8(first) != FTo || FNew.Tag(first) != ctUtf8)
        return "the first appended constant is not the Utf8 of the new name";
    if (FNew.Tag(first + 1) != ctClass || FNew.Pool[first + 1].First != first)
        return "the second appended constant is not the Class of the new name";
    // Per NameAndType slot: 1 when an original from.<init> uses it, 2 once an appended Methodref took it.
    std::vector<uint8_t> types(FOld.Pool.size(), 0);
    for (uint32_t i = 1; i < FOld.Pool.size(); ++i)
        if (IsFromInit(i))
            types[FOld.Pool[i].Second] = 1;
    for (uint32_t i = first + 2; i < FNew.Pool.size(); ++i) {
        const TConstant& c = FNew.Pool[i];
        if (c.Tag != ctMethodref || c.First != first + 1)
            return "an appended constant is not a Methodref of the new Class";
        if (c.Second >= types.size() || types[c.Second] == 0)
            return "an appended Methodref has no original <init> of the replaced class";
        if (types[c.Second] == 2)
            return "two appended Methodrefs share a NameAndType";
        types[c.Second] = 2;
    }
    return nullptr;
}

const char* TChecker::CollectOperands() {
    for (const TMember& m : FOld.Methods) {
        if (!m.Code || FOld.Utf8(m.NameIndex) != kInitName)
            continue;
        TCodeWalk walk(FOld.CodeBytes(*m.Code));
        TInstruction insn;
        while (walk.Next(insn))
            if (insn.Opcode == opInvokeSpecial && IsFromInit(insn.PoolIndex))
                FOperands.push_back({m.Code->Offset + insn.Pc + 1, insn.PoolIndex});
        if (!walk.Status().Ok())
            return "the original's constructor code does not walk";
    }
    return nullptr;
}

// After super_class: equal bytes but for the constructors' init calls, each repointed to its twin.
const char* TChecker::CheckBody() {
    const size_t shift = FNew.PoolEnd - FOld.PoolEnd;
    size_t pos = FOld.PoolEnd + kHeaderAfterPool;
    for (const TOperand& op : FOperands) {
        if (!Same(pos, pos + shift, op.Offset - pos))
            return "a byte outside the constructors' init calls differs";
        const uint16_t now = Get16(FRebuilt, op.Offset + shift);
        if (now < FOld.Pool.size() + 2 || FNew.Tag(now) != ctMethodref ||
            FNew.Pool[now].Second != FOld.Pool[op.Methodref].Second)
            return "a constructor's init call does not name the new class's <init> of the same type";
        pos = op.Offset + 2;
    }
    if (!Same(pos, pos + shift, FOriginal.size() - pos))
        return "a byte outside the constructors' init calls differs";
    return nullptr;
}

}  // namespace

bool IsSuperRelinkOf(std::span<const uint8_t> original,
                     std::span<const uint8_t> rebuilt,
                     std::string_view from,
                     std::string_view to,
                     std::string* why) {
    const char* reason = TChecker(original, rebuilt, from, to).Run();
    if (reason && why)
        *why = reason;
    return reason == nullptr;
}

}  // namespace classfile
