// Frame sequencer, mixer, sample ring and the device buffer layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "app/machine.h"
#include "apu/channels.h"

namespace {

class ApuSequencer : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetMachine();
        sampleRing.ringSize = SampleBlockLength;
    }
};

TEST_F(ApuSequencer, LengthCountersCountDownToZeroWhateverTheHaltBit)
{
    apuRegisterWrite(0x4000, 0x20);
    apuRegisterWrite(0x4003, 0x00);  // 10
    apuRegisterWrite(0x400F, 0x38);  // 6
    std::vector<uint8_t> status;
    for (int i = 0; i < 11; ++i) {
        frameSequencerStep();
        status.push_back(apuStatusRead());
    }
    EXPECT_EQ(status, (std::vector<uint8_t>{9, 9, 9, 9, 9, 1, 1, 1, 1, 0, 0}));

    // Through apuTick: the first whole cycle at or after 7457.3875.
    apuRegisterWrite(0x4003, 0x18);  // length 2
    cpu.totalCycles = 7457;
    apuTick();
    EXPECT_EQ(apu.square1.length, 2);
    cpu.totalCycles = 7458;
    apuTick();
    EXPECT_EQ(apu.square1.length, 1);
}

TEST_F(ApuSequencer, SweepExamples)
{
    struct Case {
        uint8_t sweepRegister;
        int64_t period;
        std::vector<int64_t> periods;  // after each step
    };
    const std::array<Case, 5> cases = {{
        {0xA1, 0x100, {0x180, 0x240, 0x240}},         // shift 1, period field 2
        {0x87, 0x100, {0x100, 0x100}},                // period field 0 never acts
        {0x90, 0x100, {0x200, 0x200}},                // shift 0 doubles
        {0x98, 0x100, {0, 0}},                        // shift 0 negated empties
        {0xBA, 0x400, {0x300, 0x240, 0x1B0, 0x1B0}},  // shift 2, negated
    }};
    for (const auto& [square, register1] : {std::pair{&apu.square1, 0x4001}, std::pair{&apu.square2, 0x4005}}) {
        for (const Case& c : cases) {
            apuRegisterWrite(static_cast<uint16_t>(register1), c.sweepRegister);
            square->period = c.period;
            std::vector<int64_t> periods;
            for (size_t i = 0; i < c.periods.size(); ++i) {
                frameSequencerStep();
                periods.push_back(square->period);
            }
            EXPECT_EQ(periods, c.periods) << register1 << " " << int(c.sweepRegister);
        }
    }
}

TEST_F(ApuSequencer, FiveStepModeSkipsEveryFifthStep)
{
    apuRegisterWrite(0x4017, 0x80);
    apuRegisterWrite(0x4003, 0x10);  // length 20
    apuRegisterWrite(0x4001, 0xF9);  // period field 7, negate, shift 1
    apu.square1.period = 0x1000;
    std::vector<int32_t> lengths;
    std::vector<int64_t> periods;
    for (int i = 0; i < 6; ++i) {
        frameSequencerStep();
        lengths.push_back(apu.square1.length);
        periods.push_back(apu.square1.period);
    }
    EXPECT_EQ(lengths, (std::vector<int32_t>{19, 18, 17, 16, 16, 15}));
    EXPECT_EQ(periods, (std::vector<int64_t>{0x800, 0x400, 0x200, 0x100, 0x100, 0x80}));

    apuRegisterWrite(0x4017, 0x00);
    for (int i = 0; i < 5; ++i)
        frameSequencerStep();
    EXPECT_EQ(apu.square1.length, 10);
}

TEST_F(ApuSequencer, MixRoundsHalvesToEven)
{
    struct Case {
        int8_t square1, square2, triangle, noise;
        int8_t expected;
    };
    const std::array<Case, 8> cases = {{
        {15, 15, 15, 31, 56},  // 55.85
        {0, 0, 0, 1, 0},       // 0.35
        {0, 0, 0, 5, 2},       // 1.75
        {0, 0, 0, 10, 4},      // 3.5
        {0, 0, 0, 30, 10},     // 10.5
        {1, 0, 0, 10, 4},      // 4.5
        {-15, 0, 0, 10, -12},  // -11.5
        {-15, -15, 3, 0, -27},
    }};
    for (const Case& c : cases) {
        apu.square1.output = c.square1;
        apu.square2.output = c.square2;
        apu.triangle.output = c.triangle;
        apu.noise.output = c.noise;
        sampleRing.writeIndex = 0;
        mixSample();
        EXPECT_EQ(sampleRing.ringBuffer[0], c.expected) << int(c.square1) << " " << int(c.noise);
    }
}

TEST_F(ApuSequencer, The2048thSampleHandsTheBlockToTheDevice)
{
    std::array<uint8_t, 4096> stream;
    stream.fill(0xCC);
    for (int32_t i = 0; i < SampleBlockLength - 1; ++i)
        pushSample(static_cast<int8_t>(i % 87 - 30));
    fillAudioStream(stream.data(), 4096);
    EXPECT_TRUE(std::all_of(stream.begin(), stream.end(), [](uint8_t b) { return b == 0; }))
        << "silence until the first block is complete";

    pushSample(99);
    EXPECT_EQ(sampleRing.writeIndex, 0);
    pushSample(-1);  // the next block leaves the played one alone
    stream.fill(0xCC);
    fillAudioStream(stream.data(), 4096);
    EXPECT_EQ(stream[1], 0xE2) << "-30 becomes 0xE200";
    for (size_t k = 0; k < 2047; ++k) {
        ASSERT_EQ(stream[2 * k], 0) << k;
        ASSERT_EQ(stream[2 * k + 1], static_cast<uint8_t>(k % 87 - 30)) << k;
    }
    EXPECT_EQ(stream[4095], 99);
}

}  // namespace
