#include "apu/mixer.h"

#include <algorithm>

#include "apu/apu_state.h"
#include "apu/sound_stream.h"
#include "cpu/cpu_state.h"

namespace {

void clockLengthCounter(int32_t& length)
{
    if (length > 0)
        --length;
}

// The sweep acts on the steps left after its count is taken down, so a period field P
// changes the period on the next P steps.
void clockSweep(SquareChannel& square)
{
    if (square.sweepCount > 0)
        --square.sweepCount;
    if (!square.sweepEnabled || square.sweepCount <= 0)
        return;
    const int64_t change = square.period >> square.sweepShift;
    // A rising sweep stops at MaxSweptPeriod instead of overflowing; the channel is silent there
    // all the same, and a write of its period registers brings it back.
    square.period = square.sweepNegate ? square.period - change : square.period + std::min(change, MaxSweptPeriod - square.period);
}

}  // namespace

void frameSequencerStep()
{
    // Five-step mode clocks the counters and sweeps on four steps of five and skips the fifth.
    if (apu.frameSteps == 5) {
        const bool skipped = apu.frameStepIndex == 4;
        apu.frameStepIndex = static_cast<uint8_t>((apu.frameStepIndex + 1) % 5);
        if (skipped)
            return;
    }

    // Every step, whatever the halt bits.
    clockLengthCounter(apu.triangle.length);
    clockLengthCounter(apu.square1.length);
    clockLengthCounter(apu.square2.length);
    clockLengthCounter(apu.noise.length);
    clockSweep(apu.square1);
    clockSweep(apu.square2);
}

void mixSample()
{
    // The mix in twentieths, rounded to the nearest whole level with halves going to the even
    // neighbour. The offset of 32 levels keeps the sum positive for every level the channels make
    // (tonal -30 to 45, noise 0 to 31) and keeps the quotient's parity.
    constexpr int32_t Offset = 32;
    const int32_t tonal = apu.square1.output + apu.square2.output + apu.triangle.output;
    const int32_t twentieths = 20 * (tonal + Offset) + NoiseWeightTwentieths * apu.noise.output;
    const int32_t whole = twentieths / 20;
    const int32_t rest = twentieths % 20;
    // Up past a half, or at a half from an odd quotient; worked out without a branch, as the levels
    // change from sample to sample.
    const int32_t up = static_cast<int32_t>(rest > 10) | (static_cast<int32_t>(rest == 10) & whole);
    const int32_t rounded = whole + (up & 1) - Offset;
    pushSample(static_cast<int8_t>(rounded));
}

void pushSample(int8_t sample) { streamSample(sample, cpu.totalCycles); }
