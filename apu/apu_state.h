// The APU's channel records and the constant tables behind them.
#pragma once

#include <array>
#include <cstdint>

// CPU cycles per emulated second.
constexpr int64_t CpuClockRate = 1789773;
// CPU cycles between two mixed samples.
constexpr int64_t SamplePeriodCycles = 41;
// The frame sequencer steps 240 times a second: the first whole cycle count at or past
// 1789773 / 240 = 7457.3875 is 7458.
constexpr int64_t FrameStepCycles = (CpuClockRate + 239) / 240;
// The highest period a rising sweep can reach (about 82,000 years of CPU cycles), far below the
// largest 64-bit value.
constexpr int64_t MaxSweptPeriod = int64_t{1} << 62;
// Square and noise periods below this many cycles do not step.
constexpr int64_t MinimumPeriod = 8;

// Length counter loads, indexed by bits 3-7 of a length register write.
constexpr std::array<int32_t, 32> LengthTable = {
    10, 254, 20, 2,  40, 4,  80, 6,  160, 8,  60, 10, 14, 12, 26, 14,
    12, 16,  24, 18, 48, 20, 96, 22, 192, 24, 72, 26, 16, 28, 32, 30,
};

// The four square waveforms, 16 steps each (1 = high).
constexpr std::array<std::array<uint8_t, 16>, 4> DutyTable = {{
    {0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
    {0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0},
    {1, 1, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
}};

// The sign of a square's level at each step of its waveform: 0 low, 1 high, -1 high in duty 3.
constexpr std::array<std::array<int8_t, 16>, 4> SquareSigns = [] {
    std::array<std::array<int8_t, 16>, 4> table{};
    for (uint32_t duty = 0; duty < 4; ++duty)
        for (uint32_t step = 0; step < 16; ++step)
            table[duty][step] = static_cast<int8_t>(DutyTable[duty][step] == 0 ? 0 : duty == 3 ? -1 : 1);
    return table;
}();

// The triangle's 32 output levels.
constexpr std::array<int8_t, 32> TriangleTable = {
    8, 9, 10, 11, 12, 13, 14, 15, 15, 14, 13, 12, 11, 10, 9, 8,
    7, 6, 5,  4,  3,  2,  1,  0,  0,  1,  2,  3,  4,  5,  6, 7,
};

// Noise periods in CPU cycles, indexed by bits 0-3 of a 0x400E write.
constexpr std::array<int64_t, 16> NoisePeriodTable = {
    4, 8, 16, 32, 64, 96, 128, 160, 202, 254, 380, 508, 762, 1016, 2034, 4068,
};

struct SquareChannel {
    uint32_t duty;           // row of DutyTable, 0-3
    uint32_t dutyStep;       // position in the waveform, 0-15
    uint32_t volume = 15;    // 0-15
    uint32_t halt;           // register 0 bit 5: the channel plays at level 15
    uint32_t sweepEnabled;
    uint32_t sweepNegate;
    uint32_t sweepShift;     // 0-7
    int32_t sweepCount;      // sweep steps left
    int32_t length;          // length counter
    uint32_t enabled;        // from 0x4015
    int64_t period = 1;      // timer period in CPU cycles; a sweep may push it past 11 bits
    int8_t output;           // current level
    uint32_t lastStepCycle;  // totalCycles at the last step
};

struct TriangleChannel {
    int32_t length;
    uint32_t enabled;
    int64_t period = 1;
    int8_t step;  // position in TriangleTable, 0-31
    int8_t output;
    uint32_t lastStepCycle;
};

struct NoiseChannel {
    uint32_t volume;  // 0-31
    int32_t length;
    uint32_t enabled;
    uint32_t mode;  // 1: feedback from bit 6 instead of bit 1
    int64_t period = 1;
    int32_t shiftRegister = 1;  // 14 bits
    int8_t output;
    uint32_t lastStepCycle;
};

struct ApuState {
    uint8_t frameSteps = 4;  // frame sequencer mode, 4 or 5
    uint8_t frameStepIndex;  // position in the five-step sequence, 0-4
    SquareChannel square1;
    SquareChannel square2;
    TriangleChannel triangle;
    NoiseChannel noise;
    uint32_t lastSampleCycle;     // totalCycles at the last mixed sample
    uint32_t lastFrameStepCycle;  // totalCycles at the last frame sequencer step
};

inline ApuState apu{};

// Cycles since `stamp` at `now`: the difference modulo 2^32 read as a signed number, so the
// count stays right when totalCycles wraps.
inline int32_t cyclesSince(uint32_t stamp, uint32_t now) { return static_cast<int32_t>(now - stamp); }

// The sound stream: every emulated frame becomes exactly SamplesPerFrame output samples, 44,100
// per emulated second, whatever the frame's length in CPU cycles. The mixer's samples are held
// from one to the next, and each output sample is the average of that held signal over its own
// stretch of the frame (1/735 of the frame's cycles), so the stream is made from the emulated
// cycles alone and is the same bit for bit on every run.
constexpr int32_t StreamRate = 44100;
constexpr int32_t SamplesPerFrame = 735;

// Positions within the stream are counted in CPU cycles x SamplesPerFrame: a frame of C cycles
// spans C x 735 units and one output sample C units, so every boundary is a whole number.
struct SoundStream {
    uint32_t frameStartCycle;  // totalCycles at which the current frame began (its budget, overshoot not counted)
    uint32_t frameCycles;      // the current frame's length in CPU cycles
    uint32_t integratedTo;     // totalCycles up to which heldSample has been added into `area`
    int32_t heldSample;        // the last mixed sample, -30 to 56
    int64_t area;              // heldSample x units since the last output boundary
    uint32_t produced;         // output samples of the current frame so far, 0-735
};

inline SoundStream soundStream{};

class StateIo;
// The channels and the frame sequencer in a save state, in order.
void apuStateFields(StateIo& io, ApuState& state);
// The sound stream's position within the current frame in a save state.
void soundStreamFields(StateIo& io, SoundStream& state);
