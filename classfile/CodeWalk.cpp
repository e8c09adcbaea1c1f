// Instruction lengths from the JVM instruction set (opcodes 0x00-0xC9), the switches and wide.
#include "classfile/CodeWalk.h"

#include <array>

#include "classfile/ByteReader.h"

namespace classfile {

namespace {

constexpr uint8_t kTableSwitch = 0xAA;
constexpr uint8_t kLookupSwitch = 0xAB;
constexpr uint8_t kWide = 0xC4;
constexpr uint8_t kIinc = 0x84;
constexpr uint8_t kLastOpcode = 0xC9;     // jsr_w; 0xCA and above are reserved or unassigned
constexpr uint32_t kWideIincLength = 6;   // wide, iinc, u2 index, s2 constant
constexpr uint32_t kWideLocalLength = 4;  // wide, load/store/ret, u2 index

struct TOpcodeShape {
    uint8_t Length = 1;    // 0: variable (the switches, wide)
    bool HasPool = false;  // operand at pc + 1 is a constant-pool index
    bool PoolU1 = false;   // ldc's one-byte index
};

constexpr std::array<TOpcodeShape, kLastOpcode + 1> MakeShapes() {
    std::array<TOpcodeShape, kLastOpcode + 1> s{};
    auto range = [&s](int first, int last, uint8_t length) {
        for (int op = first; op <= last; ++op)
            s[op].Length = length;
    };
    auto pool = [&s](int op, uint8_t length) { s[op] = TOpcodeShape{length, true, length == 2}; };
    range(0x10, 0x10, 2);  // bipush
    range(0x11, 0x11, 3);  // sipush
    pool(0x12, 2);         // ldc
    pool(0x13, 3);         // ldc_w
    pool(0x14, 3);         // ldc2_w
    range(0x15, 0x19, 2);  // iload..aload
    range(0x36, 0x3A, 2);  // istore..astore
    range(kIinc, kIinc, 3);
    range(0x99, 0xA8, 3);  // if<cond>, if_<cmp>, goto, jsr
    range(0xA9, 0xA9, 2);  // ret
    range(kTableSwitch, kLookupSwitch, 0);
    for (int op = 0xB2; op <= 0xB8; ++op)  // get/put field/static, invokevirtual/special/static
        pool(op, 3);
    pool(0xB9, 5);  // invokeinterface
    pool(0xBA, 5);  // invokedynamic
    pool(opNew, 3);
    range(0xBC, 0xBC, 2);  // newarray
    pool(opANewArray, 3);
    pool(opCheckCast, 3);
    pool(opInstanceOf, 3);
    range(kWide, kWide, 0);
    pool(opMultiANewArray, 4);
    range(0xC6, 0xC7, 3);  // ifnull, ifnonnull
    range(0xC8, 0xC9, 5);  // goto_w, jsr_w
    return s;
}

constexpr std::array<TOpcodeShape, kLastOpcode + 1> kShapes = MakeShapes();

bool IsWideLocal(uint8_t op) {
    return (op >= 0x15 && op <= 0x19) || (op >= 0x36 && op <= 0x3A) || op == 0xA9;
}

}  // namespace

bool TCodeWalk::Fail(const char* reason) {
    FStatus = TStatus::Fail(reason);
    FPc = static_cast<uint32_t>(FCode.size());
    return false;
}

// Length of a tableswitch or lookupswitch at `pc`: padding to a 4-byte boundary of the code, then the table.
bool TCodeWalk::SwitchLength(uint32_t pc, bool table, uint32_t& length) {
    const uint64_t operands = (pc + 4u) & ~uint64_t{3};  // first byte after the padding
    const uint64_t fixed = operands + (table ? 12 : 8);  // default, low, high / default, npairs
    if (fixed > FCode.size())
        return Fail("a switch instruction runs past the end of the code");
    uint64_t entries = 0;
    if (table) {
        const int32_t low = static_cast<int32_t>(Get32(FCode, operands + 4));
        const int32_t high = static_cast<int32_t>(Get32(FCode, operands + 8));
        if (low > high)
            return Fail("a tableswitch has its low bound above its high bound");
        entries = (static_cast<int64_t>(high) - low + 1) * 4;
    } else {
        const int32_t pairs = static_cast<int32_t>(Get32(FCode, operands + 4));
        if (pairs < 0)
            return Fail("a lookupswitch has a negative pair count");
        entries = static_cast<uint64_t>(pairs) * 8;
    }
    if (fixed + entries > FCode.size())
        return Fail("a switch instruction runs past the end of the code");
    length = static_cast<uint32_t>(fixed + entries - pc);
    return true;
}

bool TCodeWalk::Next(TInstruction& insn) {
    if (FPc >= FCode.size())
        return false;
    insn = TInstruction{FPc, FCode[FPc], 0, 0};
    if (insn.Opcode > kLastOpcode)
        return Fail("the code holds an unknown opcode");
    const TOpcodeShape shape = kShapes[insn.Opcode];
    uint32_t length = shape.Length;
    if (insn.Opcode == kTableSwitch || insn.Opcode == kLookupSwitch) {
        if (!SwitchLength(FPc, insn.Opcode == kTableSwitch, length))
            return false;
    } else if (insn.Opcode == kWide) {
        if (FCode.size() - FPc < 2)
            return Fail("a wide instruction runs past the end of the code");
        const uint8_t widened = FCode[FPc + 1];
        if (widened == kIinc)
            length = kWideIincLength;
        else if (IsWideLocal(widened))
            length = kWideLocalLength;
        else
            return Fail("a wide prefix stands before an instruction it cannot widen");
    }
    if (FCode.size() - FPc < length)
        return Fail("an instruction runs past the end of the code");
    if (shape.HasPool)
        insn.PoolIndex = shape.PoolU1 ? FCode[FPc + 1] : Get16(FCode, FPc + 1);
    insn.Length = length;
    FPc += length;
    return true;
}

}  // namespace classfile
