// Nintendo's MMC5: its registers (its 1 KB ExRAM lives in the PPU's address space at 0x1000, where
// it can serve as a nametable).
#pragma once

#include <array>
#include <cstdint>

#include "cart/page_maps.h"

struct Mmc5State {
    uint8_t prgMode;                 // 0x5100
    uint8_t chrMode;                 // 0x5101
    std::array<uint8_t, 2> protect;  // 0x5102, 0x5103: PRG RAM writable while 2 and 1
    uint8_t exramMode;               // 0x5104
    uint8_t nametables;              // 0x5105
    uint8_t fillTile;                // 0x5106
    uint8_t fillAttribute;           // 0x5107
    std::array<uint8_t, 5> prg;      // 0x5113-0x5117
    std::array<uint16_t, 12> chr;    // 0x5120-0x512B, with the upper bits of 0x5130 when written
    uint8_t chrUpper;                // 0x5130
    uint8_t irqCompare;              // 0x5203
    uint8_t irqEnabled;              // 0x5204 bit 7
    uint8_t irqPending;
    uint8_t inFrame;
    uint8_t lineCounter;
    std::array<uint8_t, 2> factors;  // 0x5205, 0x5206
    uint8_t pcmControl;              // 0x5010: bit 7 the PCM's IRQ enabled, bit 0 read mode
    uint8_t pcmIrq;                  // read mode met a 0 byte (0x5010 bit 7 on reading)
    uint8_t splitControl;            // 0x5200: bit 7 on, bit 6 right of the threshold, bits 0-4 the threshold tile
    uint8_t splitScroll;             // 0x5201: the split's vertical scroll at the picture's first line
    uint8_t splitBank;               // 0x5202: the split's 4 KB pattern bank

    bool operator==(const Mmc5State&) const = default;
};

// The background's pattern pages with 8x16 sprites (set B; backgroundChrPages points here then).
inline ChrPageMap mmc5BackgroundPages{};

class StateIo;
void mmc5StateFields(StateIo& io, Mmc5State& state);
