// Sunsoft-4 (mapper 68): four 2 KB CHR banks (0x8000-0xB000), two nametable banks of CHR ROM
// (0xC000, 0xD000: 1 KB pages of the last 128 KB), mirroring with bit 4 of 0xE000 putting those
// two pages where the console's two nametables were, and a 16 KB PRG bank with the PRG RAM's enable
// (0xF000 bit 4).
#include "cart/bank_registers.h"
#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"

namespace {

void mapSunsoft4()
{
    const BankRegisters& b = mapperState.banks;
    for (uint32_t bank = 0; bank < 4; ++bank)
        mapChr(bank, b.banks[bank], 2048);
    mapPrg(0, b.banks[6] & 0x0F, 16384);
    mapPrg(1, cartridge.prgKb / 16u - 1, 16384);
    const bool ramOn = (b.banks[6] & 0x10) != 0;
    mapPrgRam(0, ramOn, ramOn);
    const uint8_t mode = b.mirroring & 3;
    if ((b.mirroring & 0x10) == 0) {
        setMirroringMode(mode);
        return;
    }
    copyChrNametable(0, b.banks[4] | 0x80u);
    copyChrNametable(1, b.banks[5] | 0x80u);
    constexpr NametableMap Layouts[] = {
        {0x000, 0x400, 0x000, 0x400}, {0x000, 0x000, 0x400, 0x400}, {0x000, 0x000, 0x000, 0x000}, {0x400, 0x400, 0x400, 0x400}};
    nametableMap = Layouts[mode];
}

}  // namespace

void startSunsoft4()
{
    mapperState.banks = BankRegisters{};
    mapperState.banks.banks[6] = 0x10;  // the RAM on
    mapSunsoft4();
}

void writeSunsoft4(uint32_t address, uint8_t value)
{
    BankRegisters& b = mapperState.banks;
    const uint32_t group = (address >> 12) - 8;  // 0-7
    if (group < 6)
        b.banks[group] = value;
    else if (group == 6)
        b.mirroring = value;
    else
        b.banks[6] = value;
    mapSunsoft4();
}
