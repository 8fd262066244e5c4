#include "ppu/renderer.h"

#include "cpu/interrupts.h"

void ppuStartFrame()
{
    ppu.oamCopy = ppu.oam;
    ppu.spriteZeroHit = 0;
    ppu.spriteOverflow = 0;
}

void evaluateSprites() {}

void ppuStartVblank()
{
    ppu.vblankFlag = 1;
    if (ppu.nmiEnable)
        cpuNmi();
}
