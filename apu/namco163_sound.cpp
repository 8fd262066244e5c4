#include "apu/namco163_sound.h"

#include "apu/apu_state.h"
#include "apu/expansion_sound.h"
#include "cpu/cpu_state.h"
#include "state/state_io.h"

namespace {

constexpr uint32_t UpdateCycles = 15;

// A sample step in hundredths of the mixer's units, by the board's mixing resistor: one channel's
// square of samples 0 and 15 at volume 15 is 1.63 times as loud as a console square at 15 (measured
// from the chip's test program), 4.5 dB more on submapper 4 and 6.75 dB more on 5.
constexpr int32_t StepHundredths[3] = {217, 364, 471};
int32_t stepHundredths = StepHundredths[0];

Namco163Sound& chip() { return apu.expansion.namco163; }

uint32_t activeChannels() { return ((chip().ram[0x7F] >> 4) & 7) + 1u; }

void update(uint32_t channel)
{
    Namco163Sound& c = chip();
    uint8_t* block = &c.ram[0x40 + 8 * channel];
    const uint32_t frequency = block[0] | block[2] << 8 | (block[4] & 3) << 16;
    const uint32_t length = (256u - (block[4] & 0xFC)) << 16;
    uint32_t phase = block[1] | block[3] << 8 | block[5] << 16;
    phase = (phase + frequency) % length;
    block[1] = static_cast<uint8_t>(phase);
    block[3] = static_cast<uint8_t>(phase >> 8);
    block[5] = static_cast<uint8_t>(phase >> 16);
    const uint32_t sampleAddress = ((phase >> 16) + block[6]) & 0xFF;
    const uint8_t pair = c.ram[sampleAddress >> 1];
    const uint32_t sample = (sampleAddress & 1) ? pair >> 4 : pair & 0x0F;
    c.outputs[channel] = static_cast<uint8_t>(sample * (block[7] & 0x0F));
}

void runTo(uint32_t now)
{
    Namco163Sound& c = chip();
    const uint32_t updates = stepsSince(c.lastUpdate, UpdateCycles, now);
    for (uint32_t k = 0; k < updates; ++k) {
        update(c.nextChannel);
        c.nextChannel = c.nextChannel <= 8 - activeChannels() ? 7 : static_cast<uint8_t>(c.nextChannel - 1);
    }
}

// The output shows the active channels in turn: heard, their average.
int32_t levelAt(uint32_t now)
{
    runTo(now);
    const Namco163Sound& c = chip();
    if (c.silenced)
        return 0;
    const uint32_t active = activeChannels();
    int32_t sum = 0;
    for (uint32_t channel = 8 - active; channel < 8; ++channel)
        sum += c.outputs[channel];
    return static_cast<int32_t>((sum * stepHundredths + 50 * static_cast<int32_t>(active)) / (100 * static_cast<int32_t>(active)));
}

}  // namespace

const ExpansionSound Namco163ExpansionSound{levelAt, 225 * StepHundredths[2] / 100, [] { return stepHundredths != 0; }};

void startNamco163Sound(uint8_t submapper)
{
    chip() = Namco163Sound{};
    chip().nextChannel = 7;
    chip().lastUpdate = cpu.totalCycles;
    stepHundredths = submapper == 2 ? 0 : submapper == 4 ? StepHundredths[1] : submapper == 5 ? StepHundredths[2] : StepHundredths[0];
}

uint8_t namco163RamRead()
{
    Namco163Sound& c = chip();
    runTo(cpu.totalCycles);
    const uint8_t value = c.ram[c.address & 0x7F];
    if (c.address & 0x80)
        c.address = static_cast<uint8_t>(0x80 | ((c.address + 1) & 0x7F));
    return value;
}

void namco163RamWrite(uint8_t value)
{
    Namco163Sound& c = chip();
    runTo(cpu.totalCycles);
    c.ram[c.address & 0x7F] = value;
    if (c.address & 0x80)
        c.address = static_cast<uint8_t>(0x80 | ((c.address + 1) & 0x7F));
}

void namco163SetAddress(uint8_t value) { chip().address = value; }

void namco163Silence(bool silenced)
{
    runTo(cpu.totalCycles);
    chip().silenced = silenced ? 1 : 0;
}

void namco163SoundFields(StateIo& io, Namco163Sound& state)
{
    io.field(state.ram);
    io.field(state.address);
    io.field(state.silenced, 0, 1);
    io.field(state.nextChannel, 0, 7);
    io.field(state.outputs);
    for (const uint8_t output : state.outputs)
        io.check(output <= 225);
    io.field(state.lastUpdate);
}
static_assert(fieldCount<Namco163Sound>() == 6, "a Namco163Sound field is missing from namco163SoundFields");
