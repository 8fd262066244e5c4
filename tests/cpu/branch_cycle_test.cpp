// Branches and jumps, and the cycle accounting of the run loop.
#include <gtest/gtest.h>

#include "cpu/interpreter.h"
#include "support/cpu_harness.h"

namespace {

constexpr uint32_t P = FlagUnused;

struct BranchCase {
    uint8_t opcode;
    uint32_t flag;
    bool takenWhenSet;
};

constexpr BranchCase branchCases[] = {
    {0x10, FlagN, false},  // BPL
    {0x30, FlagN, true},   // BMI
    {0x50, FlagV, false},  // BVC
    {0x70, FlagV, true},   // BVS
    {0x90, FlagC, false},  // BCC
    {0xB0, FlagC, true},   // BCS
    {0xD0, FlagZ, false},  // BNE
    {0xF0, FlagZ, true},   // BEQ
};

TEST(Branch, TakenCostsThreeCyclesAndNotTakenTwo)
{
    for (const BranchCase& c : branchCases) {
        for (const bool flagSet : {false, true}) {
            startInRam({c.opcode, 0x10});
            cpu.p = P | (flagSet ? c.flag : 0);
            const bool taken = flagSet == c.takenWhenSet;
            EXPECT_EQ(runInstructions(1), taken ? 3 : 2) << std::hex << int{c.opcode} << " flag " << flagSet;
            EXPECT_EQ(cpu.pc, TestCodeAddress + 2 + (taken ? 0x10 : 0)) << std::hex << int{c.opcode};
            EXPECT_EQ(cpu.p, P | (flagSet ? c.flag : 0));
        }
    }
}

TEST(Branch, BraIsAlwaysTaken)
{
    startInRam({0x80, 0x10});
    cpu.p = 0xFF;
    EXPECT_EQ(runInstructions(1), 3);
    EXPECT_EQ(cpu.pc, TestCodeAddress + 0x12);
}

TEST(Branch, BackwardOffsetMovesBackFromTheNextInstruction)
{
    startInRam({0x80, 0xFE});  // BRA to itself
    runInstructions(3);
    EXPECT_EQ(cpu.pc, TestCodeAddress);
}

TEST(Branch, CrossingAPageCostsNothingMore)
{
    startInRam({});
    placeCode(0x04F0, {0x80, 0x7F});
    EXPECT_EQ(runInstructions(1), 3);
    EXPECT_EQ(cpu.pc, 0x0571u);
}

TEST(Jump, AbsoluteIndirectAndIndexedIndirect)
{
    startInRam({0x4C, 0x00, 0x05});  // JMP 0x0500
    placeCode(0x0500, {0x6C, 0x10, 0x00});  // JMP (0x0010)
    placeCode(0x0600, {0x7C, 0x20, 0x00});  // JMP (0x0020,X)
    poke(0x10, 0x00);
    poke(0x11, 0x06);
    poke(0x24, 0x00);
    poke(0x25, 0x07);
    cpu.pc = TestCodeAddress;
    cpu.x = 4;
    EXPECT_EQ(runInstructions(1), 3);
    EXPECT_EQ(cpu.pc, 0x0500u);
    EXPECT_EQ(runInstructions(1), 5);
    EXPECT_EQ(cpu.pc, 0x0600u);
    EXPECT_EQ(runInstructions(1), 6);
    EXPECT_EQ(cpu.pc, 0x0700u);
}

TEST(RunLoop, OvershootOfTheLastInstructionStaysInTheCounter)
{
    startInRam({0x00});  // BRK, 7 cycles
    cpu.cycleCounter = 80;
    runCpuUntil(85);
    EXPECT_EQ(cpu.cycleCounter, 87);
    cpu.cycleCounter -= 85;  // the scheduler's subtraction
    EXPECT_EQ(cpu.cycleCounter, 2);
}

TEST(RunLoop, RunsWhileTheCounterIsAtMostTheBudget)
{
    startInRam({0xEA, 0xEA, 0xEA, 0xEA, 0xEA});
    cpu.cycleCounter = 0;
    runCpuUntil(5);  // 0, 2 and 4 are within the budget
    EXPECT_EQ(cpu.pc, TestCodeAddress + 3);
    EXPECT_EQ(cpu.cycleCounter, 6);

    runCpuUntil(6);  // equal to the budget: one more
    EXPECT_EQ(cpu.pc, TestCodeAddress + 4);

    runCpuUntil(7);  // already past it: none
    EXPECT_EQ(cpu.pc, TestCodeAddress + 4);
}

}  // namespace
