#include "ppu/registers.h"

#include "ppu/ppu_state.h"

uint8_t ppuRegisterRead(uint32_t address) { return ppu.registerShadow[address & 7]; }

void ppuRegisterWrite(uint32_t address, uint8_t value)
{
    ppu.registerShadow[address & 7] = value;
    if ((address & 7) == 0)
        ppu.nmiEnable = value >> 7;
    if ((address & 7) == 1) {
        ppu.showSprites = (value >> 4) & 1;
        ppu.showBackground = (value >> 3) & 1;
    }
}

uint8_t ppuBusRead(uint32_t) { return 0; }

void ppuBusWrite(uint32_t, uint8_t) {}
