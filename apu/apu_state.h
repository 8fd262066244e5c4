// The APU's records and the constant tables behind them.
#pragma once

#include <array>
#include <cstdint>

#include "apu/envelope.h"
#include "apu/expansion_sound.h"

// CPU cycles per emulated second.
constexpr int64_t CpuClockRate = 1789773;
// CPU cycles between two mixed samples.
constexpr int64_t SamplePeriodCycles = 41;
// The frame sequencer steps 240 times a second: the first whole cycle count at or past
// 1789773 / 240 = 7457.3875 is 7458.
constexpr int64_t FrameStepCycles = (CpuClockRate + 239) / 240;
// A square whose timer is below this is muted, and so is one whose sweep target passes MaxTimer.
constexpr uint32_t MinimumSquareTimer = 8;
constexpr uint32_t MaxTimer = 0x7FF;

// Length counter loads, indexed by bits 3-7 of a length register write.
constexpr std::array<uint8_t, 32> LengthTable = {
    10, 254, 20, 2,  40, 4,  80, 6,  160, 8,  60, 10, 14, 12, 26, 14,
    12, 16,  24, 18, 48, 20, 96, 22, 192, 24, 72, 26, 16, 28, 32, 30,
};

// The four square waveforms of 8 steps, a bit a step from bit 7 down (1 = high): 12.5%, 25%,
// 50% and 75%.
constexpr std::array<uint8_t, 4> DutySequences = {0b01000000, 0b01100000, 0b01111000, 0b10011111};

// The triangle's 32 output levels.
constexpr std::array<int8_t, 32> TriangleTable = {
    15, 14, 13, 12, 11, 10, 9,  8,  7,  6,  5,  4,  3,  2,  1,  0,
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
};

// Noise periods in CPU cycles, indexed by bits 0-3 of a 0x400E write.
constexpr std::array<uint16_t, 16> NoisePeriodTable = {
    4, 8, 16, 32, 64, 96, 128, 160, 202, 254, 380, 508, 762, 1016, 2034, 4068,
};

// The PAL console's noise periods.
constexpr std::array<uint16_t, 16> PalNoisePeriodTable = {
    4, 8, 14, 30, 60, 88, 118, 148, 188, 236, 354, 472, 708, 944, 1890, 3778,
};

// Sample channel: CPU cycles per bit, indexed by bits 0-3 of a 0x4010 write.
constexpr std::array<uint16_t, 16> SampleRateTable = {
    428, 380, 340, 320, 286, 254, 226, 214, 190, 160, 142, 128, 106, 84, 72, 54,
};

// The PAL console's sample channel rates.
constexpr std::array<uint16_t, 16> PalSampleRateTable = {
    398, 354, 316, 298, 276, 236, 210, 198, 176, 148, 132, 118, 98, 78, 66, 50,
};

// What differs between the consoles' sound units: CPU cycles per frame-sequencer step (the
// sequence runs at 240 steps a second on NTSC, at 200 on PAL: 1662607 / 200 is 8313), the noise
// periods and sample rates, and the output samples each frame makes (44,100 at 60 or 50 frames a
// second).
struct ApuTiming {
    int64_t frameStepCycles;
    const std::array<uint16_t, 16>* noisePeriods;
    const std::array<uint16_t, 16>* sampleRates;
    int32_t samplesPerFrame;
};
constexpr ApuTiming NtscApuTiming{FrameStepCycles, &NoisePeriodTable, &SampleRateTable, 735};
constexpr ApuTiming PalApuTiming{(1662607 + 199) / 200, &PalNoisePeriodTable, &PalSampleRateTable, 882};
// NTSC's sound unit at 50 frames.
constexpr ApuTiming DendyApuTiming{FrameStepCycles, &NoisePeriodTable, &SampleRateTable, 882};
constexpr int32_t MaxSamplesPerFrame = 882;

// The timing of the console being emulated; the console sets it with its region.
inline ApuTiming apuTiming = NtscApuTiming;


// Every channel steps at its own pace: its next step is due `period` CPU cycles after the last one
// was due (lastStepCycle). A channel that is silent or has nothing to do stands (period 0), and
// starts its schedule afresh when it sounds again. The periods are worked out by the APU's full
// pass (see channels.h) whenever a register write or a frame step may have changed them.
struct SquareChannel {
    uint8_t duty;      // 0-3, a row of DutySequences
    uint8_t dutyStep;  // 0-7
    Envelope envelope;
    uint8_t sweepEnabled;
    uint8_t sweepPeriod;  // P
    uint8_t sweepNegate;
    uint8_t sweepShift;   // S, 0-7
    uint8_t sweepDivider;
    uint8_t sweepReload;
    uint16_t timer;       // t, 11 bits: a step every 2 (t + 1) CPU cycles
    uint8_t length;       // length counter
    uint8_t enabled;      // from 0x4015
    uint16_t period;      // CPU cycles between steps while the channel sounds; 0 while it stands
    uint32_t lastStepCycle;  // totalCycles at which the last step was due
};

struct TriangleChannel {
    uint8_t control;        // C of 0x4008: length halt, and the linear counter's reload kept
    uint8_t linearReload;   // R of 0x4008
    uint8_t linearCounter;
    uint8_t linearReloadFlag;
    uint16_t timer;         // a step every t + 1 CPU cycles
    uint8_t length;
    uint8_t enabled;
    uint8_t step;           // position in TriangleTable, 0-31
    int8_t output;          // the level of the last step, held while the triangle stands
    uint16_t period;
    uint32_t lastStepCycle;
};

struct NoiseChannel {
    Envelope envelope;
    uint8_t length;
    uint8_t enabled;
    uint8_t mode;                // 1: feedback from bit 6 instead of bit 1
    uint8_t periodIndex;         // into NoisePeriodTable
    uint16_t shiftRegister = 1;  // 15 bits
    uint16_t period;
    uint32_t lastStepCycle;
};

// The sample channel (delta modulation): bytes read from CPU memory, a bit at a time, each bit
// moving the output level up or down by 2.
struct SampleChannel {
    uint8_t irqEnabled;
    uint8_t loop;
    uint8_t rateIndex;       // into SampleRateTable
    uint8_t output;          // 0-127
    uint16_t startAddress;   // 0xC000 + 64 x A
    uint16_t sampleLength;   // 16 x L + 1 bytes
    uint16_t address;        // the next byte to read
    uint16_t bytesRemaining;
    uint8_t buffer;          // the byte read ahead
    uint8_t bufferFull;
    uint8_t shift;           // the byte being played, lowest bit next
    uint8_t bitsRemaining = 8;
    uint8_t silent = 1;      // no byte to play: the output stands
    uint8_t irqFlag;
    uint16_t period;
    uint32_t lastStepCycle;
};

struct ApuState {
    uint8_t frameSteps = 4;  // frame sequencer mode, 4 or 5
    uint8_t frameStepIndex;  // the step the sequence is at, 0 to frameSteps - 1
    uint8_t irqInhibit;      // bit 6 of 0x4017
    uint8_t frameIrqFlag;
    SquareChannel square1;
    SquareChannel square2;
    TriangleChannel triangle;
    NoiseChannel noise;
    SampleChannel sample;
    uint32_t lastSampleCycle;     // totalCycles at the last mixed sample
    uint32_t lastFrameStepCycle;  // totalCycles at which the last frame sequencer step was due
    ExpansionSoundState expansion;  // the cartridge's sound chip
};

inline ApuState apu{};

// Cycles since `stamp` at `now`: the difference modulo 2^32 read as a signed number, so the
// count stays right when totalCycles wraps.
inline int32_t cyclesSince(uint32_t stamp, uint32_t now) { return static_cast<int32_t>(now - stamp); }

// The sound stream: every emulated frame becomes exactly apuTiming.samplesPerFrame output samples, 44,100
// per emulated second, whatever the frame's length in CPU cycles. The mixer's samples are held
// from one to the next, and each output sample is the average of that held signal over its own
// stretch of the frame (1/735 of the frame's cycles), so the stream is made from the emulated
// cycles alone and is the same bit for bit on every run.
constexpr int32_t StreamRate = 44100;

// The mixer's samples are in twentieths of a level step: the squares and the triangle weigh 20 a
// level, the noise 7 (0.35) and the sample channel 9 (0.45). The largest sum is 3 x 15 x 20 +
// 15 x 7 + 127 x 9 = 2148.
constexpr int32_t MixUnitsPerLevel = 20;
constexpr int32_t MaxMixedSample = 3 * 15 * MixUnitsPerLevel + 15 * 7 + 127 * 9;
// With a cartridge's sound chip the mix may go up to its peak more (expansion_sound.h); the output
// is then scaled down so that the loudest mix still fits.
constexpr int32_t MaxExpansionPeak = 2 * MaxMixedSample;

// Positions within the stream are counted in CPU cycles x samples per frame: a frame of C cycles
// spans C x 735 units (NTSC) and one output sample C units, so every boundary is a whole number.
struct SoundStream {
    uint32_t frameStartCycle;  // totalCycles at which the current frame began (its budget, overshoot not counted)
    uint32_t frameCycles;      // the current frame's length in CPU cycles
    uint32_t integratedTo;     // totalCycles up to which heldSample has been added into `area`
    int32_t heldSample;        // the last mixed sample, 0 to MaxMixedSample
    int64_t area;              // heldSample x units since the last output boundary
    uint32_t produced;         // output samples of the current frame so far, up to samples per frame
};

inline SoundStream soundStream{};

class StateIo;
// The channels and the frame sequencer in a save state, in order.
void apuStateFields(StateIo& io, ApuState& state);
// The sound stream's position within the current frame in a save state.
void soundStreamFields(StateIo& io, SoundStream& state);
// The same two sections as format 1 of the save states held them, read into today's records.
void apuStateFieldsFormat1(StateIo& io, ApuState& state);
void soundStreamFieldsFormat1(StateIo& io, SoundStream& state);
