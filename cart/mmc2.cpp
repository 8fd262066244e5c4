// MMC2 and MMC4: a PRG bank at 0x8000, and for each pattern table two CHR banks between which a
// latch chooses. The PPU flips a table's latch by reading tile 0xFD or 0xFE of it (chrFetchWatcher).
#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"

namespace {

constexpr uint8_t LatchFd = 0xFD;
constexpr uint8_t LatchFe = 0xFE;

// Maps pattern table `table` (0 or 1) from its bank for its latch.
void mapLatchedTable(uint32_t table)
{
    const uint32_t choice = mapperState.chrLatches[table] == LatchFd ? 0 : 1;
    mapChr(table, mapperState.latchedChrBanks[2 * table + choice], 4096);
}

// Both latches at 0xFE and every CHR bank 0.
void startLatches()
{
    mapperState.chrLatches = {LatchFe, LatchFe};
    mapperState.latchedChrBanks = {};
    mapLatchedTable(0);
    mapLatchedTable(1);
}

}  // namespace

void startMmc2()
{
    const uint32_t banks = cartridge.prgKb / 8u;
    mapPrg(0, 0, 8192);
    mapPrg(1, banks - 3, 8192);
    mapPrg(2, banks - 2, 8192);
    mapPrg(3, banks - 1, 8192);
    startLatches();
}

// MMC4: a 16 KB PRG bank at 0x8000 (0xA000, bits 0-3), the last bank at 0xC000; the rest as MMC2.
void startMmc4()
{
    startFixedLastBank();
    startLatches();
}

void writeMmc4(uint32_t address, uint8_t value)
{
    if (address >= 0xA000 && address < 0xB000)
        mapPrg(0, value & 0x0F, 16384);
    else
        writeMmc2(address, value);
}

// 0xA000 PRG bank, 0xB000/0xC000 the lower table's banks for latch 0xFD/0xFE, 0xD000/0xE000 the
// upper table's, 0xF000 mirroring.
void writeMmc2(uint32_t address, uint8_t value)
{
    if (address >= 0xF000) {
        cartridge.mirroring = (value & 1) ? Mirroring::Horizontal : Mirroring::Vertical;
        applyMirroring(cartridge.mirroring);
    } else if (address >= 0xB000) {
        const uint32_t bank = (address - 0xB000) >> 12;  // 0-3
        mapperState.latchedChrBanks[bank] = value & 0x1F;
        mapLatchedTable(bank / 2);
    } else if (address >= 0xA000) {
        mapPrg(0, value & 0x0F, 8192);
    }
}

// A read of 0x0FD8-0x0FDF or 0x1FD8-0x1FDF sets its table's latch to 0xFD, one of 0x0FE8-0x0FEF or
// 0x1FE8-0x1FEF to 0xFE (the high plane of the tile's rows); the new bank serves the next read.
void mmc2ChrFetch(uint32_t address)
{
    const uint32_t row = address & 0x0FF8;
    const uint8_t latch = row == 0x0FD8 ? LatchFd : row == 0x0FE8 ? LatchFe : 0;
    const uint32_t table = (address >> 12) & 1;
    if (latch != 0 && latch != mapperState.chrLatches[table]) {
        mapperState.chrLatches[table] = latch;
        mapLatchedTable(table);
    }
}
