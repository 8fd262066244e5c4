// Control flow: BRK and RTI (PHP and PLP are checked against nestest's log), reset, NMI and IRQ
// entry. (Branch cycles show in the opcode grid and, with the run loop's budget, in the cycle
// counters of the golden runs; an IRQ held while I is set, taken at once or once I clears, in the
// golden runs of scattered_writes, which turns I on and off around the MMC3 and sound IRQs.)
#include <gtest/gtest.h>

#include <utility>

#include "console/machine.h"
#include "cpu/interrupts.h"
#include "support/cpu_harness.h"

namespace {

constexpr uint32_t P = FlagUnused;

TEST(Stack, BrkPushesPcPlusTwoAndTheStatusAndRtiReturns)
{
    // BRK with its padding byte / PHP, PLA, RTI
    loadProgram({{0xC000, {0x00, 0xFF}}, {TestIrqHandler, {0x08, 0x68, 0x40}}});
    cpu.p = FlagC;  // bit 5 clear: pushed as it is, forced back by RTI
    EXPECT_EQ(runInstructions(1), 7);
    EXPECT_EQ(peek(0x01FF), 0xC0);
    EXPECT_EQ(peek(0x01FE), 0x02);
    EXPECT_EQ(peek(0x01FD), FlagC);
    EXPECT_EQ(cpuRegisters(), (CpuRegisters{.pc = TestIrqHandler, .p = FlagC | FlagB | FlagI, .s = 0xFC}));
    runInstructions(2);
    EXPECT_EQ(cpu.a, FlagC | FlagB | FlagI) << "PHP after BRK pushes B set";
    EXPECT_EQ(runInstructions(1), 6);
    EXPECT_EQ(cpuRegisters(), (CpuRegisters{.pc = 0xC002, .a = FlagC | FlagB | FlagI, .p = P | FlagC, .s = 0xFF}));
}

TEST(Reset, SetsRegistersAndKeepsTotalCycles)
{
    loadProgram({{0xC123, {0xEA}}});
    cpu.a = cpu.x = cpu.y = cpu.p = 0xFF;
    cpu.s = 0x10;
    cpu.cycleCounter = 99;
    cpu.totalCycles = 1234;
    cpuReset();
    EXPECT_EQ(cpuRegisters(), (CpuRegisters{.pc = 0xC123}));
    EXPECT_EQ(std::pair(cpu.cycleCounter, cpu.totalCycles), std::pair(0, 1234u));
}

TEST(Interrupt, NmiAndIrqPushPcAndStatusSetIAndCostSevenCycles)
{
    for (const bool nmi : {true, false}) {
        loadProgram({{0xC123, {0xEA}}});
        const uint32_t p = nmi ? P | FlagB | FlagC : P | FlagC;  // pushed as p holds it, B or not
        cpu.p = p;
        const uint32_t totalBefore = cpu.totalCycles;
        nmi ? cpuNmi() : cpuIrq();
        EXPECT_EQ(peek(0x01FF), 0xC1);
        EXPECT_EQ(peek(0x01FE), 0x23);
        EXPECT_EQ(peek(0x01FD), p);
        EXPECT_EQ(cpuRegisters(), (CpuRegisters{.pc = nmi ? TestNmiHandler : TestIrqHandler, .p = p | FlagI, .s = 0xFC}));
        EXPECT_EQ(cpu.cycleCounter, 7);
        EXPECT_EQ(cpu.totalCycles, totalBefore + 7) << "the sound unit's clock counts them too";
    }
}

}  // namespace
