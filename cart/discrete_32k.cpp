// AxROM, Color Dreams, BNROM and GxROM: one register that switches all 32 KB of PRG at once.
#include "cart/board_families.h"
#include "cart/page_maps.h"

void startWhole32k()
{
    mapPrg(0, 0, 32768);
    mapChr(0, 0, 8192);
}

// AxROM: bits 0-3 pick the 32 KB PRG bank, bit 4 the one-screen nametable.
void writeAxrom(uint32_t, uint8_t value)
{
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
