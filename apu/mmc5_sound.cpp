// The MMC5's pulses: the console's square (duty, envelope, length counter, 11-bit timer) without a
// sweep and never muted by a short period, their envelopes and length counters clocked together at
// 240 Hz (the length so runs out twice as fast as the console's). Its PCM output takes the bytes
// written to 0x5011 (0 is ignored), or in read mode the bytes the CPU reads from 0x8000-0xBFFF (the
// board's part: cart/mmc5.cpp). Each pulse level weighs as a console level; the PCM's
// full 255 as a console square's full 15.
#include "apu/mmc5_sound.h"

#include "apu/apu_state.h"
#include "apu/channels.h"
#include "apu/expansion_sound.h"
#include "apu/frame_sequencer.h"
#include "cpu/cpu_state.h"
#include "state/state_io.h"

namespace {

constexpr uint32_t QuarterCycles = 1789773 / 240;
constexpr int32_t PcmPeak = 15 * MixUnitsPerLevel;

Mmc5Sound& chip() { return apu.expansion.mmc5; }

void runTo(uint32_t now)
{
    Mmc5Sound& c = chip();
    for (Mmc5Pulse& pulse : c.pulses) {
        const uint32_t steps = stepsSince(pulse.lastStep, 2u * (pulse.timer + 1u), now);
        pulse.dutyStep = static_cast<uint8_t>((pulse.dutyStep + steps) & 7);
    }
    for (uint32_t quarters = stepsSince(c.lastQuarter, QuarterCycles, now); quarters > 0; --quarters) {
        for (Mmc5Pulse& pulse : c.pulses) {
            clockEnvelope(pulse.envelope);
            if (pulse.length > 0 && !pulse.envelope.loop)
                --pulse.length;
        }
    }
}

int32_t levelAt(uint32_t now)
{
    runTo(now);
    const Mmc5Sound& c = chip();
    int32_t level = 0;
    for (const Mmc5Pulse& pulse : c.pulses) {
        const bool high = (DutySequences[pulse.duty] >> (7 - pulse.dutyStep)) & 1;
        if (pulse.length > 0 && high)
            level += static_cast<int32_t>(envelopeLevel(pulse.envelope));
    }
    return level * MixUnitsPerLevel + c.pcm * PcmPeak / 255;
}

}  // namespace

const ExpansionSound Mmc5ExpansionSound{levelAt, 2 * 15 * MixUnitsPerLevel + PcmPeak, [] { return true; }};

void startMmc5Sound()
{
    chip() = Mmc5Sound{};
    chip().lastQuarter = cpu.totalCycles;
    for (Mmc5Pulse& pulse : chip().pulses)
        pulse.lastStep = cpu.totalCycles;
}

void mmc5SoundWrite(uint32_t address, uint8_t value)
{
    runTo(cpu.totalCycles);
    Mmc5Sound& c = chip();
    if (address == 0x5015) {
        for (uint32_t k = 0; k < 2; ++k) {
            c.pulses[k].enabled = (value >> k) & 1;
            if (!c.pulses[k].enabled)
                c.pulses[k].length = 0;
        }
        return;
    }
    if (address == 0x5011) {
        if (value != 0)
            c.pcm = value;
        return;
    }
    if (address > 0x5007)
        return;
    Mmc5Pulse& pulse = c.pulses[(address >> 2) & 1];
    switch (address & 3) {
    case 0:
        pulse.duty = value >> 6;
        writeEnvelope(pulse.envelope, value);
        break;
    case 2: pulse.timer = static_cast<uint16_t>((pulse.timer & 0x700) | value); break;
    case 3:
        pulse.timer = static_cast<uint16_t>((pulse.timer & 0xFF) | (value & 7) << 8);
        if (pulse.enabled)
            pulse.length = LengthTable[value >> 3];
        pulse.dutyStep = 0;
        pulse.envelope.start = 1;
        break;
    default: break;  // no sweep
    }
}

uint8_t mmc5SoundStatus()
{
    runTo(cpu.totalCycles);
    return static_cast<uint8_t>((chip().pulses[0].length > 0 ? 1 : 0) | (chip().pulses[1].length > 0 ? 2 : 0));
}

void mmc5SoundFields(StateIo& io, Mmc5Sound& state)
{
    for (Mmc5Pulse& pulse : state.pulses) {
        io.field(pulse.duty, 0, 3);
        io.field(pulse.envelope.loop, 0, 1);
        io.field(pulse.envelope.constant, 0, 1);
        io.field(pulse.envelope.volume, 0, 15);
        io.field(pulse.envelope.start, 0, 1);
        io.field(pulse.envelope.divider, 0, 15);
        io.field(pulse.envelope.decay, 0, 15);
        io.field(pulse.timer, 0, 0x7FF);
        io.field(pulse.dutyStep, 0, 7);
        io.field(pulse.length);
        io.field(pulse.enabled, 0, 1);
        io.field(pulse.lastStep);
    }
    io.field(state.lastQuarter);
    io.field(state.pcm);
}
static_assert(fieldCount<Mmc5Sound>() == 3 && fieldCount<Mmc5Pulse>() == 7, "an Mmc5Sound field is missing from mmc5SoundFields");
