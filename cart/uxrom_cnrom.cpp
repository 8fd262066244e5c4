// UxROM, CNROM and Camerica: a single register of discrete logic each.
#include "cart/board_families.h"
#include "cart/page_maps.h"

// UxROM: any write selects the 16 KB bank at 0x8000; 0xC000 keeps the last bank.
void writeUxrom(uint32_t, uint8_t value) { mapPrg(0, value, 16384); }

// CNROM: any write selects the 8 KB CHR bank.
void writeCnrom(uint32_t, uint8_t value) { mapChr(0, value, 8192); }

// Camerica: 0xC000-0xFFFF picks the 16 KB bank at 0x8000; 0xC000 keeps the last bank. Boards with
// a mirroring switch take bit 4 of a write to 0x9000-0x9FFF as the one-screen nametable.
void writeCamerica(uint32_t address, uint8_t value)
{
    if (address >= 0xC000)
        mapPrg(0, value & 15, 16384);
    else if (address >= 0x9000 && address < 0xA000)
        setOneScreen((value & 0x10) ? 0x2400 : 0x2000);
}
