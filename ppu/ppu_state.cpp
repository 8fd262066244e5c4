#include "ppu/ppu_state.h"

#include "state/state_io.h"

void ppuStateFields(StateIo& io, PpuState& state)
{
    io.field(state.memory);
    io.field(state.vramAddress);
    io.field(state.readBuffer);
    io.field(state.writeToggle, 0, 1);
    io.field(state.scrollX, 0, 255);
    io.field(state.scrollY, 0, 479);  // beyond 255 after a mid-frame 0x2006 write
    io.field(state.nmiEnable);
    io.field(state.spriteHeight);
    io.field(state.backgroundPatternBase);
    io.check(state.backgroundPatternBase == 0 || state.backgroundPatternBase == 0x1000);
    io.field(state.spritePatternBase);
    io.check(state.spritePatternBase == 0 || state.spritePatternBase == 0x1000);
    io.field(state.addressIncrement);
    // 0 in states written before the power-on value was 1 and before the game's first 0x2000 write
    io.check(state.addressIncrement <= 1 || state.addressIncrement == 32);
    io.field(state.nametableSelect, 0, 3);
    io.field(state.showSprites);
    io.field(state.showBackground);
    io.field(state.spritesLeftColumn);
    io.field(state.backgroundLeftColumn);
    io.field(state.vblankFlag);
    io.field(state.spriteZeroHit);
    io.field(state.spriteOverflow);
    io.field(state.registerShadow);
    for (auto* table : {&state.oam, &state.oamCopy})
        for (uint32_t& byte : *table)
            io.field(byte, 0, 0xFF);
    io.field(state.oamAddress);
    io.field(state.scanline, 0, 312);  // the line count once a frame has ended (263 NTSC, 312 PAL)
    io.field(state.splitPending, 0, 1);
    io.field(state.splitAddress);
    if (io.since(3)) {
        io.field(state.greyscale, 0, 1);
        io.field(state.emphasis, 0, 7);
    } else {
        state.greyscale = state.registerShadow[1] & 1;
        state.emphasis = state.registerShadow[1] >> 5;
    }
}
static_assert(fieldCount<PpuState>() == 28, "a PpuState field is missing from ppuStateFields");
