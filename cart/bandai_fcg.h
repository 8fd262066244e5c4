// The serial EEPROM of Bandai's LZ93D50 boards (24C02, or 24C01 on mapper 159), which the game
// drives one bit at a time through 0x800D; its bytes are the cartridge's save memory.
#pragma once

#include <cstdint>

struct BandaiEeprom {
    uint8_t state;    // see bandai_fcg.cpp
    uint8_t bits;     // clocks of the current byte: 0-7 data, 8 the acknowledge
    uint8_t shift;    // the byte coming in or going out
    uint8_t address;
    uint8_t clock;    // SCL as last written
    uint8_t data;     // SDA as the game last drove it (1: released)
    uint8_t output;   // SDA as the EEPROM drives it (1: released)
    uint8_t sending;  // the EEPROM sends the current byte (a read)

    bool operator==(const BandaiEeprom&) const = default;
};

class StateIo;
void bandaiEepromFields(StateIo& io, BandaiEeprom& state);
