// AxROM, Color Dreams, BNROM, GxROM, NINA-03/06 and Jaleco JF-11/14: one register that switches all
// 32 KB of PRG at once.
#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"

void startWhole32k()
{
    mapPrg(0, 0, 32768);
    mapChr(0, 0, 8192);
}

// AxROM: bits 0-3 pick the 32 KB PRG bank, bit 4 the one-screen nametable. Bus conflicts with
// submapper 2.
void writeAxrom(uint32_t address, uint8_t value)
{
    if (cartridge.submapper == 2)
        value = busConflict(address, value);
    mapPrg(0, value & 15, 32768);
    setOneScreen((value & 0x10) ? 0x2400 : 0x2000);
}

// Color Dreams: bits 0-1 the 32 KB PRG bank, bits 4-7 the 8 KB CHR bank.
void writeColorDreams(uint32_t, uint8_t value)
{
    mapPrg(0, value & 3, 32768);
    mapChr(0, value >> 4, 8192);
}

// BNROM: the 32 KB PRG bank; CHR RAM.
void writeBnrom(uint32_t, uint8_t value) { mapPrg(0, value, 32768); }

// GxROM: bits 4-5 the 32 KB PRG bank, bits 0-1 the 8 KB CHR bank.
void writeGxrom(uint32_t, uint8_t value)
{
    mapPrg(0, (value >> 4) & 3, 32768);
    mapChr(0, value & 3, 8192);
}

// NINA-03/06 (mapper 79): a write to 0x4100-0x5FFF with address bit 8 set (0x4100-0x41FF,
// 0x4300-0x43FF, ...) picks the 32 KB PRG bank from bit 3 and the 8 KB CHR bank from bits 0-2.
void writeNina(uint32_t address, uint8_t value)
{
    if ((address & 0xE100) == 0x4100) {
        mapPrg(0, (value >> 3) & 1, 32768);
        mapChr(0, value & 7, 8192);
    }
}

// Jaleco JF-11/14 (mapper 140): a write to 0x6000-0x7FFF picks the 32 KB PRG bank from bits 4-5
// and the 8 KB CHR bank from bits 0-3.
void writeJf11(uint32_t address, uint8_t value)
{
    if (address >= 0x6000 && address < 0x8000) {
        mapPrg(0, (value >> 4) & 3, 32768);
        mapChr(0, value & 15, 8192);
    }
}
