#include "apu/vrc6_sound.h"

#include "apu/apu_state.h"
#include "apu/expansion_sound.h"
#include "cpu/cpu_state.h"
#include "state/state_io.h"

namespace {

Vrc6Sound& chip() { return apu.expansion.vrc6; }

// Cycles between two steps of a channel with `period`: its divider counts period + 1 cycles, the
// period first shifted by the frequency control.
uint32_t stepCycles(uint16_t period)
{
    const uint8_t control = chip().frequencyControl;
    const uint32_t shift = (control & 4) ? 8 : (control & 2) ? 4 : 0;
    return (period >> shift) + 1u;
}


bool running(uint8_t enabled) { return enabled && (chip().frequencyControl & 1) == 0; }

void runTo(uint32_t now)
{
    Vrc6Sound& c = chip();
    for (Vrc6Pulse& pulse : c.pulses) {
        if (!running(pulse.enabled)) {
            pulse.lastStep = now;
            continue;
        }
        pulse.step = static_cast<uint8_t>((pulse.step - stepsSince(pulse.lastStep, stepCycles(pulse.period), now)) & 15);
    }
    Vrc6Saw& saw = c.saw;
    if (!running(saw.enabled)) {
        saw.lastStep = now;
        return;
    }
    uint32_t steps = stepsSince(saw.lastStep, stepCycles(saw.period), now);
    if (steps >= 14u - saw.step) {  // through the reset at step 14: from there the cycle repeats
        steps = (steps - (14u - saw.step)) % 14;
        saw.step = 0;
        saw.accumulator = 0;
    }
    for (; steps > 0; --steps) {
        saw.step = static_cast<uint8_t>(saw.step + 1);
        if ((saw.step & 1) == 0)
            saw.accumulator = static_cast<uint8_t>(saw.accumulator + saw.rate);
    }
}

int32_t levelAt(uint32_t now)
{
    runTo(now);
    const Vrc6Sound& c = chip();
    int32_t level = 0;
    for (const Vrc6Pulse& pulse : c.pulses) {
        const bool high = (pulse.control & 0x80) || pulse.step <= ((pulse.control >> 4) & 7);
        if (pulse.enabled && high)
            level += pulse.control & 0x0F;
    }
    if (c.saw.enabled)
        level += c.saw.accumulator >> 3;
    return level * MixUnitsPerLevel;
}

}  // namespace

const ExpansionSound Vrc6ExpansionSound{levelAt, (15 + 15 + 31) * MixUnitsPerLevel, [] { return true; }};

void vrc6SoundWrite(uint32_t channel, uint32_t index, uint8_t value)
{
    runTo(cpu.totalCycles);
    Vrc6Sound& c = chip();
    if (channel == 0 && index == 3) {
        c.frequencyControl = value & 7;
        return;
    }
    const auto enable = [&](uint8_t& enabled, uint16_t& period, auto reset) {
        period = static_cast<uint16_t>((period & 0xFF) | (value & 0x0F) << 8);
        enabled = value >> 7;
        if (!enabled)
            reset();
    };
    if (channel < 2) {
        Vrc6Pulse& pulse = c.pulses[channel];
        if (index == 0)
            pulse.control = value;
        else if (index == 1)
            pulse.period = static_cast<uint16_t>((pulse.period & 0xF00) | value);
        else
            enable(pulse.enabled, pulse.period, [&] { pulse.step = 15; });
        return;
    }
    Vrc6Saw& saw = c.saw;
    if (index == 0)
        saw.rate = value & 0x3F;
    else if (index == 1)
        saw.period = static_cast<uint16_t>((saw.period & 0xF00) | value);
    else
        enable(saw.enabled, saw.period, [&] { saw.step = 0, saw.accumulator = 0; });
}

void vrc6SoundFields(StateIo& io, Vrc6Sound& state)
{
    for (Vrc6Pulse& pulse : state.pulses) {
        io.field(pulse.control);
        io.field(pulse.period, 0, 0xFFF);
        io.field(pulse.enabled, 0, 1);
        io.field(pulse.step, 0, 15);
        io.field(pulse.lastStep);
    }
    io.field(state.saw.rate, 0, 0x3F);
    io.field(state.saw.period, 0, 0xFFF);
    io.field(state.saw.enabled, 0, 1);
    io.field(state.saw.step, 0, 13);
    io.field(state.saw.accumulator);
    io.field(state.saw.lastStep);
    io.field(state.frequencyControl, 0, 7);
}
static_assert(fieldCount<Vrc6Sound>() == 3 && fieldCount<Vrc6Pulse>() == 5 && fieldCount<Vrc6Saw>() == 6,
              "a Vrc6Sound field is missing from vrc6SoundFields");
