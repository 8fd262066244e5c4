// Namco 163's sound: up to eight wavetable channels in 128 bytes of chip RAM, updated one at a time
// (one every 15 CPU cycles) and shown in turn by a single output, so each is heard at 1/N of its
// level.
#pragma once

#include <array>
#include <cstdint>

struct Namco163Sound {
    std::array<uint8_t, 128> ram;   // the waves (4-bit samples, low nibble first) and the channel blocks at 0x40-0x7F
    uint8_t address;                // 0xF800: IAAAAAAA, I = the address steps on after each access
    uint8_t silenced;               // 0xE000 bit 6
    uint8_t nextChannel;            // the channel the next update takes (7 down to 8 - N)
    std::array<uint8_t, 8> outputs; // each channel's last sample x volume, 0-225
    uint32_t lastUpdate;            // totalCycles of the last update

    bool operator==(const Namco163Sound&) const = default;
};

// The chip RAM's data port (0x4800-0x4FFF), read or written at the address register.
uint8_t namco163RamRead();
void namco163RamWrite(uint8_t value);
void namco163SetAddress(uint8_t value);
void namco163Silence(bool silenced);
// The chip at power-on, at the level of the board's submapper: 2 has no sound, 4 and 5 louder
// mixing resistors than 0, 1 and 3.
void startNamco163Sound(uint8_t submapper);

struct ExpansionSound;
extern const ExpansionSound Namco163ExpansionSound;

class StateIo;
void namco163SoundFields(StateIo& io, Namco163Sound& state);
