#include "apu/sunsoft_5b_sound.h"

#include <algorithm>
#include <cmath>

#include "apu/apu_state.h"
#include "apu/expansion_sound.h"
#include "cpu/cpu_state.h"
#include "state/state_io.h"

namespace {

Sunsoft5bSound& chip() { return apu.expansion.sunsoft5b; }

constexpr int32_t FullToneUnits = 36 * MixUnitsPerLevel;

// The output of a channel at each 5-bit level e: 1.5 dB a step down from the full tone, 0 silent.
const std::array<int32_t, 32> LevelUnits = [] {
    std::array<int32_t, 32> units{};
    for (int e = 1; e < 32; ++e)
        units[e] = static_cast<int32_t>(std::lround(FullToneUnits * std::pow(10.0, -1.5 * (31 - e) / 20.0)));
    return units;
}();

uint32_t periodOf(uint32_t low, uint32_t high, uint32_t mask)
{
    const uint32_t period = (chip().registers[low] | (chip().registers[high] & mask) << 8);
    return period != 0 ? period : 1;
}


void stepEnvelope(Sunsoft5bSound& c)
{
    if (c.envelopeHeld)
        return;
    if (++c.envelopeStep < 32)
        return;
    const uint8_t shape = c.registers[13];
    if ((shape & 8) == 0) {  // no continue: down to 0 and held
        c.envelopeRising = 0;
        c.envelopeHeld = 1;
    } else {
        if (shape & 2)
            c.envelopeRising ^= 1;
        c.envelopeHeld = shape & 1;
    }
    c.envelopeStep = c.envelopeHeld ? 31 : 0;
}

void runTo(uint32_t now)
{
    Sunsoft5bSound& c = chip();
    for (uint32_t tone = 0; tone < 3; ++tone) {
        const uint32_t toggles = stepsSince(c.toneSteps[tone], 16 * periodOf(2 * tone, 2 * tone + 1, 0x0F), now);
        c.toneOutputs[tone] ^= toggles & 1;
    }
    const uint32_t noisePeriod = c.registers[6] & 0x1F;
    for (uint32_t steps = stepsSince(c.noiseStep, 32 * std::max(noisePeriod, 1u), now); steps > 0; --steps) {
        const uint32_t bit = (c.noiseShift ^ (c.noiseShift >> 3)) & 1;
        c.noiseShift = (c.noiseShift >> 1) | bit << 16;
    }
    for (uint32_t steps = stepsSince(c.envelopeStepCycle, 16 * periodOf(11, 12, 0xFF), now); steps > 0 && !c.envelopeHeld;
         --steps)
        stepEnvelope(c);
    if (c.envelopeHeld)
        c.envelopeStepCycle = now;
}

int32_t levelAt(uint32_t now)
{
    runTo(now);
    const Sunsoft5bSound& c = chip();
    const uint8_t disabled = c.registers[7];
    const uint32_t envelope = c.envelopeRising ? c.envelopeStep : 31u - c.envelopeStep;
    int32_t units = 0;
    for (uint32_t channel = 0; channel < 3; ++channel) {
        const bool tone = c.toneOutputs[channel] || (disabled >> channel) & 1;
        const bool noise = (c.noiseShift & 1) || (disabled >> (channel + 3)) & 1;
        const uint8_t volume = c.registers[8 + channel];
        const uint32_t level = (volume & 0x10) ? envelope : (volume & 0x0F) != 0 ? 2u * (volume & 0x0F) + 1 : 0;
        if (tone && noise)
            units += LevelUnits[level];
    }
    return units;
}

bool inUse() { return chip().written != 0; }

}  // namespace

const ExpansionSound Sunsoft5bExpansionSound{levelAt, 3 * FullToneUnits, inUse};

void startSunsoft5bSound()
{
    Sunsoft5bSound& c = chip();
    c = Sunsoft5bSound{};
    c.noiseShift = 1;
    c.toneSteps.fill(cpu.totalCycles);
    c.noiseStep = c.envelopeStepCycle = cpu.totalCycles;
}

void sunsoft5bSoundWrite(uint32_t index, uint8_t value)
{
    runTo(cpu.totalCycles);
    Sunsoft5bSound& c = chip();
    c.registers[index] = value;
    c.written = 1;
    if (index == 13) {  // a new shape starts the envelope again
        c.envelopeStep = 0;
        c.envelopeRising = (value >> 2) & 1;
        c.envelopeHeld = 0;
        c.envelopeStepCycle = cpu.totalCycles;
    }
}

void sunsoft5bSoundFields(StateIo& io, Sunsoft5bSound& state)
{
    io.field(state.registers);
    io.field(state.toneOutputs);
    for (uint8_t output : state.toneOutputs)
        io.check(output <= 1);
    io.field(state.toneSteps);
    io.field(state.noiseShift, 0, 0x1FFFF);
    io.field(state.noiseStep);
    io.field(state.envelopeStep, 0, 31);
    io.field(state.envelopeRising, 0, 1);
    io.field(state.envelopeHeld, 0, 1);
    io.field(state.envelopeStepCycle);
    io.field(state.written, 0, 1);
}
static_assert(fieldCount<Sunsoft5bSound>() == 10, "a Sunsoft5bSound field is missing from sunsoft5bSoundFields");
