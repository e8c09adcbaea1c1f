// Walks a method's bytecode one instruction at a time with each instruction's true length.
#pragma once

#include <cstdint>
#include <span>

#include "classfile/Status.h"

namespace classfile {

// Opcodes the module looks at by name.
enum TOpcode : uint8_t {
    opLdc = 0x12,
    opLdcW = 0x13,
    opInvokeSpecial = 0xB7,
    opNew = 0xBB,
    opANewArray = 0xBD,
    opCheckCast = 0xC0,
    opInstanceOf = 0xC1,
    opMultiANewArray = 0xC5,
};

struct TInstruction {
    uint32_t Pc = 0;
    uint8_t Opcode = 0;
    uint32_t Length = 0;     // with operands, switch padding and a wide prefix
    uint16_t PoolIndex = 0;  // the constant-pool operand (at Pc + 1), 0 when the instruction has none
};

class TCodeWalk {
public:
    explicit TCodeWalk(std::span<const uint8_t> code) : FCode(code) {}

    // The next instruction; false at the end of the code or at a malformed one (then Status() says why).
    bool Next(TInstruction& insn);
    TStatus Status() const { return FStatus; }

private:
    bool Fail(const char* reason);
    bool SwitchLength(uint32_t pc, bool table, uint32_t& length);

    std::span<const uint8_t> FCode;
    uint32_t FPc = 0;
    TStatus FStatus;
};

}  // namespace classfile
