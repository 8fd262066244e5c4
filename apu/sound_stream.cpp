#include "apu/sound_stream.h"

#include "apu/expansion_sound.h"
#include "cpu/cpu_state.h"

namespace {

// 256 / (20 x the current frame's cycles): an output sample's area (in twentieths of a level step)
// times this is its average level x 256.
// Taken at each frame's start, so the per-sample work is a multiplication.
double outputScale = 0;

// One output sample from the area of its stretch: the average level x 256, rounded to nearest.
int16_t outputSample(int64_t area)
{
    const double value = static_cast<double>(area) * outputScale;
    return static_cast<int16_t>(value + (value >= 0 ? 0.5 : -0.5));
}

// Units from the frame's start to `cycle` (negative before it), with `samplesPerFrame` output
// samples a frame.
int64_t unitsAt(uint32_t cycle, int64_t samplesPerFrame)
{
    return int64_t{cyclesSince(soundStream.frameStartCycle, cycle)} * samplesPerFrame;
}

// Adds heldSample from integratedTo up to `cycle`, emitting the output samples on the way.
void integrateTo(uint32_t cycle)
{
    SoundStream& s = soundStream;
    if (s.frameCycles == 0)  // no frame begun (the CPU run outside the frame loop): nothing to emit
        return;
    if (cyclesSince(s.integratedTo, cycle) <= 0)
        return;
    const int32_t samplesPerFrame = apuTiming.samplesPerFrame;
    int64_t from = unitsAt(s.integratedTo, samplesPerFrame);
    const int64_t to = unitsAt(cycle, samplesPerFrame);
    while (s.produced < static_cast<uint32_t>(samplesPerFrame)) {
        const int64_t boundary = int64_t{s.produced + 1} * s.frameCycles;
        if (boundary > to)
            break;
        s.area += s.heldSample * (boundary - from);
        soundFrame.samples[soundFrame.count++] = outputSample(s.area);
        s.area = 0;
        from = boundary;
        ++s.produced;
    }
    s.area += s.heldSample * (to - from);
    s.integratedTo = cycle;
}

}  // namespace

void beginSoundFrame(uint32_t cycles, int32_t overshoot)
{
    SoundStream& s = soundStream;
    s.frameStartCycle = cpu.totalCycles - static_cast<uint32_t>(overshoot);
    s.frameCycles = cycles;
    outputScale = cycles > 0 ? 256.0 / (MixUnitsPerLevel * static_cast<double>(cycles)) : 0.0;
    if (expansionSound != nullptr && expansionSound->inUse())  // the loudest mix with the chip as the console's alone
        outputScale *= static_cast<double>(MaxMixedSample) / (MaxMixedSample + expansionSound->peak);
    s.produced = 0;
    soundFrame.count = 0;
    // Normally the previous frame has been added up to this frame's start or a few cycles past it
    // (a sample mixed by its last instruction). Anything else (the first frame, a machine that
    // was changed from outside) starts afresh here.
    const int32_t ahead = cyclesSince(s.frameStartCycle, s.integratedTo);
    if (ahead < 0 || ahead > static_cast<int32_t>(cycles)) {
        s.integratedTo = s.frameStartCycle;
        s.area = 0;
    }
}

void streamSample(int32_t sample, uint32_t cycle)
{
    integrateTo(cycle);
    soundStream.heldSample = sample;
}

void endSoundFrame()
{
    integrateTo(soundStream.frameStartCycle + soundStream.frameCycles);
}

void resetSoundStream()
{
    soundStream = SoundStream{};
    soundFrame.count = 0;
}
