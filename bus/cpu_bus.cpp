#include "bus/cpu_bus.h"

#include "ppu/ppu_state.h"

void oamTransfer(uint8_t page)
{
    const uint32_t base = page * 256u;
    for (uint32_t i = 0; i < 256; ++i)
        ppu.oam[(ppu.oamAddress + i) & 0xFF] = cpuRead(base + i);
}
