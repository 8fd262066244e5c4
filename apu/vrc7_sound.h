// Konami VRC7's sound: six FM channels of two operators each (a modulator that bends the phase of a
// carrier), with fifteen built-in instruments and one the game defines, derived from the YM2413.
#pragma once

#include <array>
#include <cstdint>

// An operator's envelope stage when it is silent until a key-on (the others: see vrc7_sound.cpp).
constexpr uint8_t Vrc7OperatorOff = 0;

// The chip's operators of one kind (modulators or carriers), a lane a channel: lanes 0-5 are channels
// 0-5; lanes 6 and 7 stay silent, so that the channels are worked on four at once.
constexpr uint32_t Vrc7Lanes = 8;
struct Vrc7Operators {
    alignas(16) std::array<uint32_t, Vrc7Lanes> phase;  // 2^32 a cycle
    alignas(16) std::array<float, Vrc7Lanes> attenuation;  // the envelope's, in dB (0 loudest, 48 silent)
    alignas(16) std::array<float, Vrc7Lanes> output;    // the last output, -1 to 1
    std::array<uint8_t, Vrc7Lanes> stage;               // envelope: see vrc7_sound.cpp

    bool operator==(const Vrc7Operators&) const = default;
};

struct Vrc7Sound {
    std::array<uint8_t, 0x40> registers;
    uint8_t select;       // 0x9010: the register the next 0x9030 write sets
    uint8_t silenced;     // 0xE000 bit 6
    Vrc7Operators modulators, carriers;
    alignas(16) std::array<float, Vrc7Lanes> feedback;  // each modulator's output before the last
    uint32_t updates;     // updates since power-on (the tremolo's and vibrato's clock)
    uint32_t lastUpdate;  // totalCycles of the last update

    bool operator==(const Vrc7Sound&) const = default;
};

void startVrc7Sound();
void vrc7SelectRegister(uint8_t value);
void vrc7WriteRegister(uint8_t value);
// 0xE000 bit 6: silences the chip and clears its registers while set.
void vrc7Silence(bool silenced);

struct ExpansionSound;
extern const ExpansionSound Vrc7ExpansionSound;

class StateIo;
void vrc7SoundFields(StateIo& io, Vrc7Sound& state);
