// The sound unit where the -wav tests (tests/e2e/sound_rules_test.cpp) do not look: the status
// register and the IRQ line, the noise register's width, the sweep's two adders, the sample
// channel's address wrap, a silent run, and the steps across the wrap of totalCycles.
#include <gtest/gtest.h>

#include "apu/channels.h"
#include "apu/mixer.h"
#include "bus/cpu_bus.h"
#include "console/machine.h"
#include "cpu/interrupts.h"

namespace {

class Apu : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetMachine();
        apuRunning = true;
        cpu.p = FlagI;  // IRQs are held, not taken
    }

    // Two-cycle instructions, each followed by the APU's look, as the interpreter runs them.
    static void runCycles(uint32_t cycles)
    {
        for (uint32_t done = 0; done < cycles; done += 2) {
            cpu.totalCycles += 2;
            apuTickWhenDue();
        }
    }
};

TEST_F(Apu, LengthsLoadOnlyWhileEnabledAndTheStatusShowsAndClearsTheFrameIrq)
{
    apuRegisterWrite(0x4003, 0x08);  // disabled: no length
    EXPECT_EQ(apuStatusRead(), 0x00);
    apuRegisterWrite(0x4015, 0x0F);
    for (const uint16_t reg : {0x4003, 0x4007, 0x400B, 0x400F})
        apuRegisterWrite(reg, 0x08);  // length 254
    EXPECT_EQ(apuStatusRead(), 0x0F);
    apuRegisterWrite(0x4015, 0x05);
    EXPECT_EQ(apuStatusRead(), 0x05) << "disabling a channel empties its length counter";

    cpu.irqPending = IrqFromBoard;
    runCycles(4 * FrameStepCycles + 10);  // step 4 of the 4-step sequence
    EXPECT_EQ(cpu.irqPending, IrqFromBoard | IrqFromApu);
    EXPECT_EQ(apuStatusRead() & 0x40, 0x40);
    EXPECT_EQ(apuStatusRead() & 0x40, 0x00) << "the read cleared the flag";
    EXPECT_EQ(cpu.irqPending, IrqFromBoard) << "the APU's held IRQ is dropped, the board's stays";

    for (const uint8_t mode : {0x40, 0x80}) {  // IRQ inhibited; 5-step mode
        apuRegisterWrite(0x4017, mode);
        runCycles(6 * FrameStepCycles);
        EXPECT_EQ(apuStatusRead() & 0x40, 0x00) << int{mode};
    }
    EXPECT_EQ(apu.square1.length, 254 - 8) << "eight half frames in 5-step mode, and the clock of the 0x4017 write";
}

TEST_F(Apu, NoiseRegisterHas15BitsAndASilentRunStepsNothing)
{
    apuRegisterWrite(0x4015, 0x08);
    apuRegisterWrite(0x400C, 0x3F);  // halted, constant volume 15
    apuRegisterWrite(0x400E, 0x03);  // 32 cycles
    apuRegisterWrite(0x400F, 0x08);
    runCycles(44);  // one step of 32 cycles, seen by the first mix
    EXPECT_EQ(apu.noise.shiftRegister, 0x4000) << "feedback 1 enters at bit 14";

    apuRunning = false;
    runCycles(20000);
    EXPECT_EQ(apu.noise.shiftRegister, 0x4000);
    EXPECT_EQ(apu.noise.length, 254) << "nothing counts down either";
}

TEST_F(Apu, SweepTargetsAndMuting)
{
    SquareChannel square{};
    square.timer = 0x100;
    square.sweepShift = 2;
    EXPECT_EQ(sweepTarget(square, true), 0x140);
    square.sweepNegate = 1;
    EXPECT_EQ(sweepTarget(square, true), 0xBF) << "square 1 subtracts one more";
    EXPECT_EQ(sweepTarget(square, false), 0xC0);
    square.sweepNegate = 0;
    square.timer = 0x700;
    EXPECT_TRUE(squareMuted(square, false)) << "a target past 0x7FF mutes, sweep enabled or not";
    square.timer = 7;
    EXPECT_TRUE(squareMuted(square, false));
    square.timer = 8;
    EXPECT_FALSE(squareMuted(square, false));
}

TEST_F(Apu, TheSampleChannelWrapsTo8000AndRaisesItsIrqAtTheEnd)
{
    cartridge.prgKb = 32;
    cartridge.prgRom.fill(0xFF);  // every bit a 1: the level climbs
    apuRegisterWrite(0x4010, 0x8F);  // IRQ, 54 cycles a bit
    apuRegisterWrite(0x4012, 0xFF);  // 0xFFC0
    apuRegisterWrite(0x4013, 0x04);  // 65 bytes: 0xFFC0-0xFFFF, then 0x8000
    apuRegisterWrite(0x4015, 0x10);
    EXPECT_EQ(apuStatusRead() & 0x10, 0x10);
    runCycles(66 * 8 * 54);  // a silent byte's time, then 65 bytes
    EXPECT_EQ(apu.sample.address, 0x8001) << "the 65th byte came from 0x8000";
    EXPECT_EQ(apu.sample.output, 126) << "a 1 bit adds 2, and never past 127";
    EXPECT_EQ(apuStatusRead() & 0x90, 0x80) << "no bytes left, the IRQ flag set";
    EXPECT_EQ(cpu.irqPending, IrqFromApu);
    apuRegisterWrite(0x4015, 0x00);
    EXPECT_EQ(apuStatusRead() & 0x80, 0x00) << "a 0x4015 write clears it";
    EXPECT_EQ(cpu.irqPending, 0);
}

TEST_F(Apu, StepsKeepTheirScheduleAcrossTheWrapOfTotalCycles)
{
    cpu.totalCycles = 0xFFFFF000u;
    wakeApu();
    apuRegisterWrite(0x4015, 0x01);
    apuRegisterWrite(0x4000, 0x3F);
    apuRegisterWrite(0x4002, 0x1F);  // 2 x 32 = 64 cycles a step
    apuRegisterWrite(0x4003, 0x08);
    runCycles(2);
    const uint32_t start = apu.square1.lastStepCycle;
    runCycles(64 * 100 + 2);  // past the wrap
    apuTick();                // every step up to the present
    EXPECT_EQ(apu.square1.lastStepCycle - start, 64u * 100) << "each step a period after the one before";
    EXPECT_EQ(apu.square1.dutyStep, 100 % 8);
}

}  // namespace
