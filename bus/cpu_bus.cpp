#include "bus/cpu_bus.h"

#include "ppu/ppu_state.h"

void oamTransfer(uint8_t page)
{
    const uint32_t base = page * 256u;
    for (uint32_t i = 0; i < 256; ++i)
        ppu.oam[(ppu.oamAddress + i) & 0xFF] = cpuRead(base + i);
}

uint8_t applyCheats(uint32_t address, uint8_t romByte)
{
    for (uint32_t i = 0; i < cheatTable.cheatCount; ++i) {
        const CheatEntry& entry = cheatTable.entries[i];
        if (entry.address == address && (entry.compare == NoCompare || entry.compare == romByte))
            return static_cast<uint8_t>(entry.value);
    }
    return romByte;
}
