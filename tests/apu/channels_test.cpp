// Channel registers, status and the per-channel stepping of apuTick.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "app/machine.h"
#include "apu/channels.h"
#include "bus/cpu_bus.h"

namespace {

class ApuChannels : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetMachine();
        sampleRing.ringSize = SampleBlockLength;
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

TEST_F(ApuChannels, SquareWaveformsAndLevels)
{
    struct Case {
        uint8_t register0;
        std::array<int8_t, 16> outputs;
    };
    const std::array<Case, 4> cases = {{
        {0xBF, {0, 0, 15, 15, 15, 15, 15, 15, 15, 15, 0, 0, 0, 0, 0, 0}},  // halt: level 15
        {0x35, {0, 0, 15, 15, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},        // halt with volume 5
        {0xCA, {-10, -10, 0, 0, 0, 0, -10, -10, -10, -10, -10, -10, -10, -10, -10, -10}},  // duty 3
        {0x45, {0, 0, 5, 5, 5, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
    }};
    for (const Case& c : cases) {
        apuRegisterWrite(0x4004, c.register0);
        apu.square2.dutyStep = 0;
        std::array<int8_t, 16> outputs{};
        for (int8_t& output : outputs) {
            stepSquare(apu.square2);
            output = apu.square2.output;
        }
        EXPECT_EQ(outputs, c.outputs) << int(c.register0);
    }
}

TEST_F(ApuChannels, LengthAndPeriodWrites)
{
    apu.square1.dutyStep = 9;
    apu.triangle.step = 17;
    const std::array<std::pair<uint16_t, uint8_t>, 4> writes = {{{0x4003, 0x08}, {0x4007, 0x00}, {0x400B, 0xF8}, {0x400F, 0xC0}}};
    for (const auto& [address, value] : writes)
        cpuWrite(address, value);  // all four channels disabled
    EXPECT_EQ(apu.square1.length, 254);
    EXPECT_EQ(apu.square2.length, 10);
    EXPECT_EQ(apu.triangle.length, 30);
    EXPECT_EQ(apu.noise.length, 192);
    EXPECT_EQ(apu.square1.dutyStep, 0u);
    EXPECT_EQ(apu.triangle.step, 17) << "the triangle keeps its position";

    // Each period register keeps only the other one's bits: sweep bits above 11 go.
    apu.square1.period = 0x1F23;
    apuRegisterWrite(0x4002, 0x45);
    EXPECT_EQ(apu.square1.period, 0xF45);
    apu.square1.period = 0x1F23;
    apuRegisterWrite(0x4003, 0x05);
    EXPECT_EQ(apu.square1.period, 0x523);
}

TEST_F(ApuChannels, PeriodsBelowEightDoNotStep)
{
    apuRegisterWrite(0x4015, 0x09);
    apuRegisterWrite(0x4002, 0x07);
    apuRegisterWrite(0x4003, 0x08);
    apuRegisterWrite(0x400E, 0x00);  // 4 cycles
    apuRegisterWrite(0x400F, 0x08);
    apu.square1.output = 6;
    runCycles(400);
    EXPECT_EQ(apu.square1.dutyStep, 0u);
    EXPECT_EQ(apu.square1.output, 6) << "the output holds its last level";
    EXPECT_EQ(apu.noise.shiftRegister, 1);

    apuRegisterWrite(0x4002, 0x08);
    apuRegisterWrite(0x400E, 0x01);
    runCycles(400);
    EXPECT_EQ(apu.square1.dutyStep, 2u);  // 400 / 8 = 50 steps
    EXPECT_NE(apu.noise.shiftRegister, 1);
}

TEST_F(ApuChannels, NoiseShiftRegisterFeedsBackIntoBit13)
{
    struct Case {
        int32_t before;
        uint32_t mode;
        int32_t after;
        int8_t output;
    };
    const std::array<Case, 4> cases = {{
        {0x0001, 0, 0x2000, 26},  // feedback 1 from bit 0; new bit 0 clear: output on
        {0x0003, 0, 0x0001, 0},   // bits 0 and 1 cancel; new bit 0 set: output off
        {0x0040, 0, 0x0020, 26},  // bit 6 counts only in mode 1
        {0x0040, 1, 0x2020, 26},
    }};
    apuRegisterWrite(0x400C, 0x1A);  // bit 4 adds 16
    for (const Case& c : cases) {
        apu.noise.shiftRegister = c.before;
        apu.noise.mode = c.mode;
        stepNoise();
        EXPECT_EQ(apu.noise.shiftRegister, c.after) << c.before;
        EXPECT_EQ(apu.noise.output, c.output) << c.before;
    }
    apuRegisterWrite(0x400C, 0x3F);
    EXPECT_EQ(apu.noise.volume, 31u) << "bit 5 is not part of the level";
}

TEST_F(ApuChannels, StatusShowsLengthsOfStoppedChannels)
{
    for (const uint16_t address : {0x4003, 0x4007, 0x400B, 0x400F})
        apuRegisterWrite(address, 0x08);  // length 254
    apuRegisterWrite(0x4002, 0x10);
    apuRegisterWrite(0x4015, 0x00);
    runCycles(1000);
    EXPECT_EQ(apu.square1.dutyStep, 0u);
    EXPECT_EQ(cpuRead(0x4015), 0x0F);

    apuRegisterWrite(0x4015, 0x1F);
    sampleRing.ringSize = 0;  // as under -silent: nothing steps, the counters stay
    const int32_t samplesMade = sampleRing.writeIndex;
    runCycles(20000);
    EXPECT_EQ(apu.square1.dutyStep, 0u);
    EXPECT_EQ(apu.square1.length, 254);
    EXPECT_EQ(sampleRing.writeIndex, samplesMade);

    sampleRing.ringSize = SampleBlockLength;
    apu.square2.length = apu.noise.length = 0;
    EXPECT_EQ(apuStatusRead(), 0x05);
    runCycles(1000);
    EXPECT_NE(apu.square1.dutyStep, 0u);
}

TEST_F(ApuChannels, OneStepPerInstructionAcrossTheWrapOfTotalCycles)
{
    cpu.totalCycles = 0xFFFFFFF0u;
    apu.square1.lastStepCycle = apu.lastSampleCycle = apu.lastFrameStepCycle = cpu.totalCycles;
    apuRegisterWrite(0x4015, 0x01);
    apuRegisterWrite(0x4002, 0x08);
    apuRegisterWrite(0x4003, 0x08);
    cpu.totalCycles += 40;  // five periods in one instruction, wrapping to 0x18
    apuTick();
    EXPECT_EQ(apu.square1.dutyStep, 1u);
    EXPECT_EQ(sampleRing.writeIndex, 0);
    cpu.totalCycles += 7;  // the lateness is not made up
    apuTick();
    EXPECT_EQ(apu.square1.dutyStep, 1u);
    EXPECT_EQ(sampleRing.writeIndex, 1);
}

}  // namespace
