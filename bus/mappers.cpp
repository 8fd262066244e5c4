#include "bus/mappers.h"

#include "bus/cartridge.h"

void mapperWrite(uint32_t address, uint8_t value)
{
    if (address < 0x8000)
        return;
    if (cartridge.mapperNumber == 1 && (value & 0x80)) {
        mapperState.mmc1Control = (mapperState.mmc1Control & 0xF3) + 0x0C;
        mapperState.mmc1ShiftCount = 0;
        mapperState.mmc1Shift = 0;
    }
}

void clockMmc3Irq() {}
