// Namco 108 and its relatives (DxROM 206, 88, 95, 154): the MMC3's ancestor, eight bank registers
// behind a bank select at 0x8000/0x8001 and nothing else: no mode bits, no IRQ, no PRG RAM.
//   R0, R1: 2 KB CHR banks at 0x0000 and 0x0800; R2-R5: 1 KB banks at 0x1000-0x1C00;
//   R6, R7: 8 KB PRG banks at 0x8000 and 0xA000; 0xC000 and 0xE000 show the last two banks.
// 88 and 154 take R2-R5 from the upper 64 KB of CHR; 154 sets a one-screen nametable from bit 6 of
// any write; 95 takes the nametables from bit 5 of R0 (0x2000, 0x2400) and R1 (0x2800, 0x2C00).
#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"

namespace {

void rebuildNamco108Mappings()
{
    const auto& r = mapperState.mmc3Registers;
    const uint32_t upper = (cartridge.mapperNumber == 88 || cartridge.mapperNumber == 154) ? 0x40 : 0;
    mapChr(0, (r[0] & 0x3E) >> 1, 2048);
    mapChr(1, (r[1] & 0x3E) >> 1, 2048);
    for (uint32_t i = 2; i < 6; ++i)
        mapChr(i + 2, (r[i] & 0x3F) | upper, 1024);
    mapPrg(0, r[6] & 0x0F, 8192);
    mapPrg(1, r[7] & 0x0F, 8192);
    if (cartridge.mapperNumber == 95) {
        const uint32_t top = (r[0] & 0x20) ? 0x2400 : 0x2000, bottom = (r[1] & 0x20) ? 0x2400 : 0x2000;
        nametableMap = {top, top, bottom, bottom};
    }
}

}  // namespace

void startNamco108()
{
    mapperState.mmc3Registers = {0, 0, 0, 0, 0, 0, 0, 1};
    const uint32_t banks = cartridge.prgKb / 8u;
    mapPrg(2, banks - 2, 8192);
    mapPrg(3, banks - 1, 8192);
    rebuildNamco108Mappings();
    if (cartridge.mapperNumber == 154)
        setOneScreen(0x2000);
}

void writeNamco108(uint32_t address, uint8_t value)
{
    if (cartridge.mapperNumber == 154)
        setOneScreen((value & 0x40) ? 0x2400 : 0x2000);
    if (address >= 0xA000)
        return;
    if (address & 1)
        mapperState.mmc3Registers[mapperState.mmc3BankSelect] = value & 0x3F;
    else
        mapperState.mmc3BankSelect = value & 7;
    rebuildNamco108Mappings();
}
