// MMC2: a PRG bank at 0x8000, and CHR banks at 0x1000 that the PPU's own reads of tiles 0xFD and
// 0xFE choose between (the latch, set in the PPU's bus reads).
#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"

void startMmc2()
{
    const uint32_t banks = cartridge.prgKb / 8u;
    mapPrg(0, 0, 8192);
    mapPrg(1, banks - 3, 8192);
    mapPrg(2, banks - 2, 8192);
    mapPrg(3, banks - 1, 8192);
    mapperState.mmc2Latch = 0xFE;
}

// MMC2: the upper CHR window takes the register that matches the latch at the time of the write.
void writeMmc2(uint32_t address, uint8_t value)
{
    if (address >= 0xF000) {
        cartridge.mirroring = (value & 1) ? Mirroring::Horizontal : Mirroring::Vertical;
        applyMirroring(cartridge.mirroring);
    } else if (address >= 0xE000) {
        if (mapperState.mmc2Latch == 0xFE)
            mapChr(1, value, 4096);
    } else if (address >= 0xD000) {
        if (mapperState.mmc2Latch == 0xFD)
            mapChr(1, value, 4096);
    } else if (address >= 0xB000) {
        mapChr(0, value, 4096);
    } else if (address >= 0xA000) {
        mapPrg(0, value, 8192);
    }
}
