// The sound unit where the -wav tests (tests/e2e/sound_test.cpp) do not look: the IRQ line,
// the noise register's width, the sweep's two adders, the sample channel's address wrap, a silent
// run, and the steps across the wrap of totalCycles.
#include <gtest/gtest.h>

#include <utility>

#include "app/automation.h"
#include "apu/channels.h"
#include "apu/mixer.h"
#include "bus/cpu_bus.h"
#include "console/machine.h"
#include "console/console.h"
#include "cpu/interrupts.h"
#include "support/cpu_harness.h"
#include "support/harness.h"
#include "support/rom_runner.h"

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

// The frame IRQ held while I is set is the APU's own: clearing its flag drops it, not the board's.
TEST_F(Apu, TheFrameIrqIsHeldAsTheApusAndClearedByTheStatusRead)
{
    cpu.irqPending = IrqFromBoard;
    runCycles(4 * FrameStepCycles + 10);  // step 4 of the 4-step sequence
    EXPECT_EQ(cpu.irqPending, IrqFromBoard | IrqFromApu);
    EXPECT_EQ(apuStatusRead() & 0x40, 0x40);
    EXPECT_EQ(apuStatusRead() & 0x40, 0x00) << "the read cleared the flag";
    EXPECT_EQ(cpu.irqPending, IrqFromBoard);
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

TEST_F(Apu, Square1SweepsDownByOneMore)
{
    SquareChannel square{};
    square.timer = 0x100;
    square.sweepShift = 2;
    square.sweepNegate = 1;
    EXPECT_EQ(std::pair(sweepTarget(square, true), sweepTarget(square, false)), std::pair(0xBF, 0xC0));
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

// apu_test from the third-party ROMs: the length counter, its table and the frame IRQ flag pass;
// 4-8 time the frame steps and the sample channel's bytes with delay loops counted in the console's
// cycles (and its sample-byte stall), which this CPU does not share.
TEST(ApuTestRoms, ReportTheirExpectedOutcomes)
{
    const std::filesystem::path folder = findTestRom("apu_test/rom_singles");
    if (folder.empty())
        GTEST_SKIP() << "apu_test not found below " << testRomFolder();
    for (const auto& [name, status] : {std::pair{"1-len_ctr", 0}, {"2-len_table", 0}, {"3-irq_flag", 0}, {"4-jitter", 2},
                                       {"5-len_timing", 2}, {"6-irq_flag_timing", 2}, {"7-dmc_basics", 7},
                                       {"8-dmc_rates", 2}}) {
        ASSERT_TRUE(loadRomFile(folder / (std::string(name) + ".nes")));
        setSoundEmulated(true);
        for (uint32_t frame = 0; frame < 1200 && !readTestRomResult(); ++frame)
            runFrames(1);
        const auto result = readTestRomResult();
        ASSERT_TRUE(result) << name;
        EXPECT_EQ(result->status, status) << name << "\n" << result->text;
    }
}

}  // namespace
