// Reset, NMI and IRQ entry, and the IRQ held while I is set.
#include <gtest/gtest.h>

#include "app/machine.h"
#include "app/scheduler.h"
#include "cpu/interrupts.h"
#include "support/cpu_harness.h"

namespace {

constexpr uint32_t P = FlagUnused;

TEST(Reset, SetsRegistersAndKeepsTotalCycles)
{
    loadProgram({0xEA}, 0xC123);
    for (int reset = 0; reset < 2; ++reset) {  // a second reset gives the same state
        cpu.a = cpu.x = cpu.y = 0x55;
        cpu.p = 0xFF;
        cpu.s = 0x10;
        cpu.cycleCounter = 99;
        cpu.totalCycles = 1234;
        emulationRunning = 0;
        cpuReset();
        EXPECT_EQ(cpuRegisters(), (CpuRegisters{.pc = 0xC123}));
        EXPECT_EQ(cpu.cycleCounter, 0);
        EXPECT_EQ(cpu.totalCycles, 1234u);
        EXPECT_EQ(emulationRunning, 1u);
    }
}

TEST(Interrupt, NmiAndIrqPushPcAndStatusSetIAndCostSevenCycles)
{
    for (const bool nmi : {true, false}) {
        loadProgram({0xEA}, 0xC123);
        cpu.p = nmi ? P : P | FlagB | FlagC;
        const uint32_t totalBefore = cpu.totalCycles;
        nmi ? cpuNmi() : cpuIrq();
        EXPECT_EQ(peek(0x01FF), 0xC1);
        EXPECT_EQ(peek(0x01FE), 0x23);
        EXPECT_EQ(peek(0x01FD), nmi ? P : P | FlagB | FlagC);  // as p holds it
        EXPECT_EQ(cpuRegisters(), (CpuRegisters{.pc = nmi ? TestNmiHandler : TestIrqHandler,
                                                .p = (nmi ? P : P | FlagB | FlagC) | FlagI, .s = 0xFC}));
        EXPECT_EQ(cpu.cycleCounter, 7);
        EXPECT_EQ(cpu.totalCycles, totalBefore);
    }
}

TEST(Interrupt, NmiIsEnteredWithISetAndRtiResumes)
{
    loadProgram({{0xC000, {0xE8, 0xE8}}, {TestNmiHandler, {0x38, 0x40}}});  // INX, INX / SEC, RTI
    runInstructions(1);
    cpu.p = P | FlagN | FlagI;
    cpuNmi();
    runInstructions(2);
    EXPECT_EQ(cpuRegisters(), (CpuRegisters{.pc = 0xC001, .x = 1, .p = P | FlagN | FlagI}));
}

TEST(HeldIrq, IsEnteredAtOnceWhenIIsClear)
{
    loadProgram({0xEA}, 0xC123);
    requestIrq();
    EXPECT_EQ(cpu.pc, TestIrqHandler);
    EXPECT_FALSE(cpu.irqPending);
}

TEST(HeldIrq, WaitsForIToClearAndIsTakenOnce)
{
    loadProgram({{0xC000, {0x78, 0xEA, 0x58, 0xEA}}, {TestIrqHandler, {0xEA}}});  // SEI, NOP, CLI, NOP
    runInstructions(1);
    requestIrq();
    runInstructions(1);
    serviceHeldIrq();  // I still set: stays held
    EXPECT_TRUE(cpu.irqPending);
    EXPECT_EQ(cpu.pc, 0xC002u);

    runInstructions(1);  // CLI
    serviceHeldIrq();
    EXPECT_FALSE(cpu.irqPending);
    EXPECT_EQ(cpu.pc, TestIrqHandler);
    EXPECT_EQ(peek(0x01FE), 0x03);

    runInstructions(1);
    cpu.p &= ~FlagI;
    serviceHeldIrq();  // nothing left to take
    EXPECT_EQ(cpu.pc, TestIrqHandler + 1);
}

TEST(HeldIrq, AcknowledgeDropsIt)
{
    loadProgram({0x78, 0x58, 0xEA}, 0xC000);  // SEI, CLI, NOP
    runInstructions(1);
    requestIrq();
    acknowledgeIrq();
    runInstructions(1);
    serviceHeldIrq();
    EXPECT_FALSE(cpu.irqPending);
    EXPECT_EQ(cpu.pc, 0xC002u);
}

TEST(HeldIrq, FrameSchedulerEntersItAtARunBoundary)
{
    // SEI, then CLI and a loop; the IRQ raised while I is set is entered during the frame.
    loadProgram({{0xC000, {0x78, 0x58, 0x4C, 0x02, 0xC0}}, {TestIrqHandler, {0x4C, 0x00, 0xA0}}});
    runInstructions(1);
    requestIrq();
    runFrame();
    EXPECT_FALSE(cpu.irqPending);
    EXPECT_EQ(cpu.pc, TestIrqHandler);
    EXPECT_EQ(cpu.s, 0xFC);
}

}  // namespace
