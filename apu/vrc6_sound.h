// Konami VRC6's sound: two pulse channels of 16 duty steps and a sawtooth, beside the console's.
#pragma once

#include <array>
#include <cstdint>

struct Vrc6Pulse {
    uint8_t control;   // MDDDVVVV: M the level always, D the duty (D + 1 of 16 steps high), V the level
    uint16_t period;   // 12 bits
    uint8_t enabled;   // bit 7 of the third register
    uint8_t step;      // 0-15, counting down; high while step <= D
    uint32_t lastStep; // totalCycles at which the last step was due

    bool operator==(const Vrc6Pulse&) const = default;
};

struct Vrc6Saw {
    uint8_t rate;       // the accumulator's increment, 6 bits
    uint16_t period;
    uint8_t enabled;
    uint8_t step;       // 0-13
    uint8_t accumulator;
    uint32_t lastStep;

    bool operator==(const Vrc6Saw&) const = default;
};

struct Vrc6Sound {
    std::array<Vrc6Pulse, 2> pulses;
    Vrc6Saw saw;
    uint8_t frequencyControl;  // 0x9003: bit 0 halts all, bit 1 periods / 16, bit 2 periods / 256

    bool operator==(const Vrc6Sound&) const = default;
};

// A write to sound register `index` of channel `channel` (0, 1 the pulses at 0x9000 and 0xA000,
// 2 the sawtooth at 0xB000; index 3 of channel 0 is 0x9003), after the channels have run up to
// the write.
void vrc6SoundWrite(uint32_t channel, uint32_t index, uint8_t value);

// The VRC6 as the cartridge's chip (expansion_sound.h): the two pulses at their level and the
// sawtooth's accumulator / 8, each level weighing as a console level step.
struct ExpansionSound;
extern const ExpansionSound Vrc6ExpansionSound;

class StateIo;
void vrc6SoundFields(StateIo& io, Vrc6Sound& state);
