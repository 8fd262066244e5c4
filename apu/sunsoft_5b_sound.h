// Sunsoft 5B's sound (a YM2149F core clocked by the CPU): three square tones, a noise generator
// and an envelope, each channel at a logarithmic volume.
#pragma once

#include <array>
#include <cstdint>

struct Sunsoft5bSound {
    std::array<uint8_t, 16> registers;    // as written through 0xC000 / 0xE000
    std::array<uint8_t, 3> toneOutputs;   // each tone's square, 0 or 1
    std::array<uint32_t, 3> toneSteps;    // totalCycles of each tone's last toggle
    uint32_t noiseShift;                  // 17-bit generator; its bit 0 is the noise
    uint32_t noiseStep;
    uint8_t envelopeStep;                 // 0-31 within the ramp
    uint8_t envelopeRising;
    uint8_t envelopeHeld;
    uint32_t envelopeStepCycle;
    uint8_t written;                      // a register was written: the game plays the chip

    bool operator==(const Sunsoft5bSound&) const = default;
};

// The chip at power-on: silent, its noise generator seeded.
void startSunsoft5bSound();
// A write to sound register `index` (0-15), after the channels have run up to the write.
void sunsoft5bSoundWrite(uint32_t index, uint8_t value);

// The 5B as the cartridge's chip (expansion_sound.h). A full-volume tone swings 36 console level
// steps (measured: a tone at volume 12 is about 0.85 times as loud as a console square at 15).
struct ExpansionSound;
extern const ExpansionSound Sunsoft5bExpansionSound;

class StateIo;
void sunsoft5bSoundFields(StateIo& io, Sunsoft5bSound& state);
