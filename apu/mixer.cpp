#include "apu/mixer.h"

#include "apu/channels.h"
#include "apu/expansion_sound.h"
#include "apu/sound_stream.h"

namespace {

constexpr int32_t NoiseWeight = 7;   // 0.35 of a level step
constexpr int32_t SampleWeight = 9;  // 0.45 of a level step

// A square's level: the envelope's while its waveform is high and it sounds (a period to step at).
int32_t squareLevel(const SquareChannel& square)
{
    const bool high = (DutySequences[square.duty] >> (7 - square.dutyStep)) & 1;
    return square.period != 0 && high ? static_cast<int32_t>(envelopeLevel(square.envelope)) : 0;
}

}  // namespace

void mixSample()
{
    const NoiseChannel& noise = apu.noise;
    const int32_t noiseLevel =
        noise.period != 0 && !(noise.shiftRegister & 1) ? static_cast<int32_t>(envelopeLevel(noise.envelope)) : 0;
    const int32_t tonal = squareLevel(apu.square1) + squareLevel(apu.square2) + apu.triangle.output;
    int32_t mix = MixUnitsPerLevel * tonal + NoiseWeight * noiseLevel + SampleWeight * apu.sample.output;
    if (expansionSound != nullptr)
        mix += expansionSound->levelAt(cpu.totalCycles);
    streamSample(mix, cpu.totalCycles);
}
