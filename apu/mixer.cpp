#include "apu/mixer.h"

#include <algorithm>
#include <cmath>

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
    const int32_t tonal = apu.square1.output + apu.square2.output + apu.triangle.output;
    const double mixed = tonal + NoiseWeight * apu.noise.output;
    // The default rounding mode rounds halves to the even neighbour.
    const auto rounded = static_cast<int32_t>(std::nearbyint(mixed));
    pushSample(static_cast<int8_t>(rounded));
}

void pushSample(int8_t sample) { streamSample(sample, cpu.totalCycles); }
