// The PPU's registers, its 16 KB address space and sprite memory.
#pragma once

#include <array>
#include <cstdint>

struct PpuState {
    std::array<uint8_t, 0x4000> memory;  // PPU address space 0x0000-0x3FFF
    uint32_t vramAddress;                // data-port address (0x2006), low 14 bits used
    uint8_t readBuffer;                  // data-port read buffer
    uint8_t writeToggle;                 // first/second write of 0x2005 and 0x2006
    uint32_t scrollX;  // 0-255
    uint32_t scrollY;  // 0-255 from 0x2005; up to 479 after a mid-frame 0x2006 write (applySplit)
    uint8_t nmiEnable;
    uint8_t spriteHeight = 8;  // 8 or 16; anything but 16 acts as 8
    uint32_t backgroundPatternBase;
    uint32_t spritePatternBase;
    uint32_t addressIncrement = 1;  // at power-on as if 0x2000 had been written with 0
    uint32_t nametableSelect;
    uint8_t showSprites;
    uint8_t showBackground;
    uint8_t spritesLeftColumn;
    uint8_t backgroundLeftColumn;
    uint8_t greyscale;  // 0x2001 bit 0: only the grey column of the colours (index AND 0x30)
    uint8_t emphasis;   // 0x2001 bits 5-7 as bits 0-2: red, green and blue emphasis
    uint8_t vblankFlag;
    uint8_t spriteZeroHit;
    uint8_t spriteOverflow;
    std::array<uint8_t, 8> registerShadow;  // last value written to each register
    std::array<uint32_t, 256> oam;
    std::array<uint32_t, 256> oamCopy;  // snapshot taken at frame start; the renderer reads this
    uint8_t oamAddress;
    uint32_t scanline;  // line being run, 0-262, advanced by the scheduler
    uint8_t splitPending;   // a second 0x2006 write on a visible line with rendering on...
    uint32_t splitAddress;  // ...set this address, which the background shows from the next line on
};

inline PpuState ppu{};

// The PAL console's PPU takes 0x2001 bit 5 as green emphasis and bit 6 as red; the console sets it
// with its region.
inline bool redGreenEmphasisSwapped = false;

class StateIo;
// The PPU's registers, memory and sprite memory in a save state, in order.
void ppuStateFields(StateIo& io, PpuState& state);
