// The channels where the notes ROM (notes_test.cpp) and the recorded runs (golden_runs_test.cpp)
// do not reach: period bits above 11, noise mode 1, stepping under -silent and across the wrap of
// totalCycles, a saturated sweep and the mixer's rounding. Waveforms, lengths, sweeps and the
// frame sequencer's modes change the recorded samples.
#include <gtest/gtest.h>

#include <array>

#include "apu/channels.h"
#include "bus/cpu_bus.h"
#include "console/machine.h"

namespace {

class Apu : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetMachine();
        apuRunning = true;
    }

    // Two-cycle instructions, each followed by apuTick.
    static void runCycles(uint32_t cycles)
    {
        for (uint32_t done = 0; done < cycles; done += 2) {
            cpu.totalCycles += 2;
            apuTick();
        }
    }
};

// A sweep may push a period past 11 bits; each period register keeps only the other one's bits.
TEST_F(Apu, PeriodWritesDropTheBitsASweepPushedAbove11)
{
    apu.square1.period = 0x1F23;
    apuRegisterWrite(0x4002, 0x45);
    EXPECT_EQ(apu.square1.period, 0xF45);
    apu.square1.period = 0x1F23;
    apuRegisterWrite(0x4003, 0x05);
    EXPECT_EQ(apu.square1.period, 0x523);
}

TEST_F(Apu, OnlyEnabledChannelsWithALengthAndAPeriodOfEightOrMoreStep)
{
    apuRegisterWrite(0x4002, 0x08);
    apuRegisterWrite(0x4003, 0x08);  // length 254
    apuRegisterWrite(0x400E, 0x01);  // 8 cycles
    apuRegisterWrite(0x400F, 0x08);
    runCycles(400);  // disabled: nothing steps, the status still shows the lengths
    EXPECT_EQ(apu.square1.dutyStep, 0u);
    EXPECT_EQ(apu.noise.shiftRegister, 1);
    EXPECT_EQ(cpuRead(0x4015), 0x09);

    apuRegisterWrite(0x4015, 0x09);
    apuRunning = false;  // as under -silent: nothing steps, the counters stay
    const uint32_t lastSample = apu.lastSampleCycle;
    runCycles(20000);
    EXPECT_EQ(apu.square1.dutyStep, 0u);
    EXPECT_EQ(apu.square1.length, 254);
    EXPECT_EQ(apu.lastSampleCycle, lastSample);

    apuRunning = true;
    runCycles(400);
    EXPECT_EQ(apu.square1.dutyStep, 2u);  // 400 / 8 = 50 steps
    EXPECT_NE(apu.noise.shiftRegister, 1);

    apuRegisterWrite(0x4002, 0x07);
    apuRegisterWrite(0x400E, 0x00);  // 4 cycles
    apu.square1.output = 6;
    const int32_t noise = apu.noise.shiftRegister;
    runCycles(400);
    EXPECT_EQ(apu.square1.dutyStep, 2u);
    EXPECT_EQ(apu.square1.output, 6) << "the output holds its last level";
    EXPECT_EQ(apu.noise.shiftRegister, noise);
    apuRegisterWrite(0x4002, 0x08);
    apu.square1.length = 0;
    runCycles(400);
    EXPECT_EQ(apu.square1.dutyStep, 2u);
}

TEST_F(Apu, NoiseShiftRegisterFeedsBackIntoBit13)
{
    struct Case {
        int32_t before;
        uint32_t mode;
        int32_t after;
        int8_t output;
    };
    const Case cases[] = {
        {0x0001, 0, 0x2000, 26},  // feedback 1 from bit 0; new bit 0 clear: output on
        {0x0003, 0, 0x0001, 0},   // bits 0 and 1 cancel; new bit 0 set: output off
        {0x0040, 0, 0x0020, 26},  // bit 6 counts only in mode 1
        {0x0040, 1, 0x2020, 26},
    };
    apuRegisterWrite(0x400C, 0x3A);  // bit 4 adds 16, bit 5 is not part of the level
    for (const Case& c : cases) {
        apu.noise.shiftRegister = c.before;
        apu.noise.mode = c.mode;
        stepNoise();
        EXPECT_EQ(apu.noise.shiftRegister, c.after) << c.before;
        EXPECT_EQ(apu.noise.output, c.output) << c.before;
    }
}

TEST_F(Apu, OneStepPerInstructionAcrossTheWrapOfTotalCycles)
{
    cpu.totalCycles = 0xFFFFFFF0u;
    apu.square1.lastStepCycle = apu.lastSampleCycle = apu.lastFrameStepCycle = cpu.totalCycles;
    apuRegisterWrite(0x4015, 0x01);
    apuRegisterWrite(0x4002, 0x08);
    apuRegisterWrite(0x4003, 0x08);
    cpu.totalCycles += 40;  // five periods in one instruction, wrapping to 0x18
    apuTick();
    EXPECT_EQ(apu.square1.dutyStep, 1u);
    EXPECT_EQ(apu.lastSampleCycle, 0xFFFFFFF0u) << "40 cycles: no sample yet";
    cpu.totalCycles += 7;  // the lateness is not made up
    apuTick();
    EXPECT_EQ(apu.square1.dutyStep, 1u);
    EXPECT_EQ(apu.lastSampleCycle, 0x1Fu);
}

TEST_F(Apu, ARisingSweepSaturatesInsteadOfOverflowing)
{
    apuRegisterWrite(0x4015, 0x01);
    apuRegisterWrite(0x4002, 0x10);
    apuRegisterWrite(0x4003, 0x08);
    for (int write = 0; write < 10; ++write) {  // period field 7, shift 0: doubles on 7 steps each
        apuRegisterWrite(0x4001, 0xF0);
        for (int step = 0; step < 8; ++step)
            frameSequencerStep();
    }
    EXPECT_EQ(apu.square1.period, MaxSweptPeriod);
    apuRegisterWrite(0x4003, 0x08);  // bits 0-7 of the saturated period are 0: period 0
    apuRegisterWrite(0x4002, 0x10);
    EXPECT_EQ(apu.square1.period, 0x10);
    const uint32_t step = apu.square1.dutyStep;
    runCycles(64);
    EXPECT_EQ(apu.square1.dutyStep, (step + 4) % 16) << "the square steps again";
}

TEST_F(Apu, MixRoundsHalvesToEven)
{
    // Square 1, square 2, triangle and noise levels, and the sample (noise weighs 0.35).
    const std::array<int8_t, 5> cases[] = {
        {15, 15, 15, 31, 56},  // 55.85
        {0, 0, 0, 1, 0},       // 0.35
        {0, 0, 0, 10, 4},      // 3.5
        {0, 0, 0, 30, 10},     // 10.5
        {-15, 0, 0, 10, -12},  // -11.5
        {-15, -15, 3, 0, -27},
    };
    for (const auto& c : cases) {
        apu.square1.output = c[0];
        apu.square2.output = c[1];
        apu.triangle.output = c[2];
        apu.noise.output = c[3];
        mixSample();
        EXPECT_EQ(soundStream.heldSample, c[4]) << int{c[0]} << " " << int{c[3]};
    }
}

}  // namespace
