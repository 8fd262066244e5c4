#include "apu/mixer.h"

#include <algorithm>
#include <cmath>

#include "apu/apu_state.h"

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
    square.period = square.sweepNegate ? square.period - change : square.period + change;
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

void pushSample(int8_t sample)
{
    if (sampleCapture.enabled && sampleCapture.count < sampleCapture.samples.size()) [[unlikely]]
        sampleCapture.samples[sampleCapture.count++] = sample;
    SampleRing& ring = sampleRing;
    ring.ringBuffer[ring.writeIndex] = sample;
    ++ring.writeIndex;
    const int32_t blockLength = ring.ringSize.load(std::memory_order_relaxed);
    if (ring.writeIndex != blockLength)
        return;
    {
        const std::lock_guard lock(ring.playbackLock);
        std::copy_n(ring.ringBuffer.begin(), blockLength, ring.playbackBuffer.begin());
    }
    ring.writeIndex = 0;
}

void fillAudioStream(uint8_t* stream, int32_t len)
{
    if (soundMuted.load(std::memory_order_relaxed) != 0) {
        std::fill_n(stream, len, uint8_t{0});
        return;
    }
    SampleRing& ring = sampleRing;
    const int32_t sampleCount = len / 2;
    const std::lock_guard lock(ring.playbackLock);
    for (int32_t k = 0; k < sampleCount; ++k) {
        const auto index = static_cast<size_t>(k);
        const int8_t sample = index < ring.playbackBuffer.size() ? ring.playbackBuffer[index] : 0;
        stream[2 * k] = 0;
        stream[2 * k + 1] = static_cast<uint8_t>(sample);
    }
    if (len % 2 != 0)
        stream[len - 1] = 0;
}

void resetSampleRing()
{
    SampleRing& ring = sampleRing;
    ring.ringBuffer.fill(0);
    {
        const std::lock_guard lock(ring.playbackLock);
        ring.playbackBuffer.fill(0);
    }
    ring.writeIndex = 0;
    ring.ringSize.store(0);
}
