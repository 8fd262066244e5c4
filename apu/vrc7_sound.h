// Konami VRC7's sound: six FM channels of two operators each (a modulator that bends the phase of a
// carrier), with fifteen built-in instruments and one the game defines, derived from the YM2413.
#pragma once

#include <array>
#include <cstdint>

// An operator's envelope stage when it is silent until a key-on (the others: see vrc7_sound.cpp).
constexpr uint8_t Vrc7OperatorOff = 0;

struct Vrc7Operator {
    uint32_t phase;     // 2^32 a cycle
    uint8_t stage;      // envelope: see vrc7_sound.cpp
    float attenuation;  // the envelope's, in dB (0 loudest, 48 silent)
    float output;       // the last output, -1 to 1

    bool operator==(const Vrc7Operator&) const = default;
};

struct Vrc7Channel {
    std::array<Vrc7Operator, 2> operators;  // modulator, carrier
    float feedback;                          // the modulator's output before the last

    bool operator==(const Vrc7Channel&) const = default;
};

struct Vrc7Sound {
    std::array<uint8_t, 0x40> registers;
    uint8_t select;       // 0x9010: the register the next 0x9030 write sets
    uint8_t silenced;     // 0xE000 bit 6
    std::array<Vrc7Channel, 6> channels;
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
