// Sunsoft's FME-7 (and the 5A and 5B, the FME-7 with sound): registers behind a command number.
#pragma once

#include <array>
#include <cstdint>

struct SunsoftFme7State {
    uint8_t command;                 // 0x8000-0x9FFF: the register the next 0xA000-0xBFFF write sets
    std::array<uint8_t, 8> chr;      // commands 0-7: 1 KB CHR banks
    std::array<uint8_t, 4> prg;      // commands 8-11: 0x6000 (ER.BBBBBB), 0x8000, 0xA000, 0xC000
    uint8_t mirroring;               // command 12: 0 vertical, 1 horizontal, 2 one-screen 0x2000, 3 0x2400
    uint8_t irqControl;              // command 13: bit 7 counting, bit 0 IRQ enabled
    uint16_t irqCounter;             // commands 14, 15: counts down every CPU cycle while counting
    uint32_t irqLastCycle;           // totalCycles up to which the counter has run
    uint8_t soundSelect;             // 0xC000-0xDFFF: the 5B's sound register the next 0xE000-0xFFFF write sets

    bool operator==(const SunsoftFme7State&) const = default;
};

class StateIo;
void sunsoftFme7StateFields(StateIo& io, SunsoftFme7State& state);
