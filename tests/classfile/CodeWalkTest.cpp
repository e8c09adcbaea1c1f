// The bytecode walk: instruction lengths around switch padding, wide forms, pool operands, broken code.
#include <gtest/gtest.h>

#include <vector>

#include "classfile/CodeWalk.h"

namespace {

using Bytes = std::vector<uint8_t>;

struct TWalkCase {
    const char* What;
    Bytes Code;
    std::vector<uint32_t> Lengths;  // of the instructions walked, in order
    std::vector<uint16_t> Pool;     // their pool operands (0: none)
    const char* Reason;             // null when the walk ends cleanly
};

TEST(CodeWalk, GivesEachInstructionItsLengthOrTheReasonItCannot) {
    const std::vector<TWalkCase> cases = {
        {"straight code", {0x2A, 0x10, 5, 0x11, 1, 2, 0xB1}, {1, 2, 3, 1}, {0, 0, 0, 0}, nullptr},
        {"ldc takes a one-byte index, ldc_w two", {0x12, 9, 0x13, 1, 2, 0x14, 0, 3}, {2, 3, 3}, {9, 258, 3}, nullptr},
        {"tableswitch at pc 0 pads three bytes",
         {0xAA, 0, 0, 0, 0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 9, 0, 0, 0, 9, 0xB1},
         {24, 1},
         {0, 0},
         nullptr},
        {"tableswitch at pc 3 needs no padding",
         {0, 0, 0, 0xAA, 0, 0, 0, 9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 9, 0xB1},
         {1, 1, 1, 17, 1},
         {0, 0, 0, 0, 0},
         nullptr},
        {"lookupswitch at pc 1 pads two bytes",
         {0, 0xAB, 0, 0, 0, 0, 0, 9, 0, 0, 0, 1, 0, 0, 0, 5, 0, 0, 0, 9, 0xB1},
         {1, 19, 1},
         {0, 0, 0},
         nullptr},
        {"wide iinc and wide aload", {0xC4, 0x84, 1, 0, 0, 1, 0xC4, 0x19, 1, 0}, {6, 4}, {0, 0}, nullptr},
        {"invokeinterface and invokedynamic carry five bytes",
         {0xB9, 0, 7, 1, 0, 0xBA, 0, 8, 0, 0},
         {5, 5},
         {7, 8},
         nullptr},
        {"field, method and class operands",
         {0xB2, 0, 1, 0xB7, 0, 2, 0xBB, 0, 3, 0xC0, 0, 4, 0xC1, 0, 5, 0xBD, 0, 6, 0xC5, 0, 7, 2},
         {3, 3, 3, 3, 3, 3, 4},
         {1, 2, 3, 4, 5, 6, 7},
         nullptr},
        {"goto_w", {0xC8, 0, 0, 0, 0}, {5}, {0}, nullptr},
        {"unknown opcode", {0x00, 0xCA}, {1}, {0}, "the code holds an unknown opcode"},
        {"wide before a plain instruction",
         {0xC4, 0x60},
         {},
         {},
         "a wide prefix stands before an instruction it cannot widen"},
        {"wide at the end", {0xC4}, {}, {}, "a wide instruction runs past the end of the code"},
        {"sipush cut short", {0x11, 0}, {}, {}, "an instruction runs past the end of the code"},
        {"tableswitch low above high",
         {0xAA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 1},
         {},
         {},
         "a tableswitch has its low bound above its high bound"},
        {"tableswitch with its table cut",
         {0xAA, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1},
         {},
         {},
         "a switch instruction runs past the end of the code"},
        {"huge tableswitch",
         {0xAA, 0, 0, 0, 0, 0, 0, 0, 0x80, 0, 0, 0, 0x7F, 0xFF, 0xFF, 0xFF},
         {},
         {},
         "a switch instruction runs past the end of the code"},
        {"lookupswitch with a negative count",
         {0xAB, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF},
         {},
         {},
         "a lookupswitch has a negative pair count"},
        {"switch header cut", {0xAB, 0, 0, 0, 0}, {}, {}, "a switch instruction runs past the end of the code"},
    };
    for (const TWalkCase& c : cases) {
        SCOPED_TRACE(c.What);
        classfile::TCodeWalk walk(c.Code);
        classfile::TInstruction insn;
        std::vector<uint32_t> lengths;
        std::vector<uint16_t> pool;
        uint32_t pc = 0;
        while (walk.Next(insn)) {
            EXPECT_EQ(pc, insn.Pc);
            pc += insn.Length;
            lengths.push_back(insn.Length);
            pool.push_back(insn.PoolIndex);
        }
        EXPECT_EQ(c.Lengths, lengths);
        EXPECT_EQ(c.Pool, pool);
        if (c.Reason)
            EXPECT_STREQ(c.Reason, walk.Status().Reason);
        else
            EXPECT_TRUE(walk.Status().Ok()) << walk.Status().Reason;
        EXPECT_FALSE(walk.Next(insn));  // a finished walk stays finished
    }
}

}  // namespace
