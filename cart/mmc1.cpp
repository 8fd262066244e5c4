// MMC1: five registers written one bit at a time through a serial port.
#include <algorithm>

#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"

namespace {

// MMC1: rebuilds nametables, PRG and CHR from the four registers after any register write.
void rebuildMmc1Mappings()
{
    const uint32_t control = mapperState.mmc1Control;
    switch (control & 3) {
    case 0: setOneScreen(0x2000); break;
    case 1: setOneScreen(0x2400); break;
    case 2: applyMirroring(Mirroring::Vertical); break;
    default: applyMirroring(Mirroring::Horizontal); break;
    }

    // Boards of more than 256 KB: bit 4 of CHR register 0 picks the 256 KB half that both PRG
    // windows read; the fixed window shows the last bank of that half.
    const uint32_t halfBanks = cartridge.prgKb > 256 ? 16 : cartridge.prgKb / 16u;
    const uint32_t outer = (cartridge.prgKb > 256 && (mapperState.mmc1Chr0 & 0x10)) ? 16 : 0;
    const uint32_t prgBank = outer + (mapperState.mmc1Prg & 15);
    if (!(control & 0x08)) {
        mapPrg(0, prgBank >> 1, 32768);
    } else if (control & 0x04) {
        mapPrg(0, prgBank, 16384);
        mapPrg(1, outer + halfBanks - 1, 16384);
    } else {
        mapPrg(0, outer, 16384);
        mapPrg(1, prgBank, 16384);
    }

    if (control & 0x10) {
        mapChr(0, mapperState.mmc1Chr0, 4096);
        mapChr(1, mapperState.mmc1Chr1, 4096);
    } else {
        mapChr(0, mapperState.mmc1Chr0 >> 1, 8192);
    }

    // PRG RAM: CHR register 0 banks 16 KB of it with bit 3 (SOROM) and 32 KB with bits 2-3
    // (SXROM). Bit 4 of the PRG register switches it off, and so does bit 4 of CHR register 0 on
    // an SNROM board (8 KB of CHR RAM, at most 256 KB of PRG). Games keep both CHR registers'
    // upper bits equal; register 0 is taken for every access.
    const uint32_t chr0 = mapperState.mmc1Chr0;
    const uint32_t ramBanks = prgRamBytes() / 8192;
    const uint32_t ramBank = ramBanks >= 4 ? (chr0 >> 2) & 3 : ramBanks == 2 ? (chr0 >> 3) & 1 : 0;
    const bool snromOff = cartridge.chrKb == 0 && cartridge.prgKb <= 256 && (chr0 & 0x10) != 0;
    const bool on = (mapperState.mmc1Prg & 0x10) == 0 && !snromOff;
    mapPrgRam(ramBank, on, on);
}

}  // namespace

void startMmc1()
{
    // The MMC1 reset write; boards of 512 KB start in their first 256 KB half.
    writeMmc1(0x8000, 0x80);
    mapPrg(0, 0, 16384);
    mapPrg(1, std::min<uint32_t>(cartridge.prgKb, 256) / 16 - 1, 16384);
}

// MMC1: a serial port that collects five bits, lowest first; bit 7 resets it.
void writeMmc1(uint32_t address, uint8_t value)
{
    if (value & 0x80) {
        mapperState.mmc1Control = (mapperState.mmc1Control & 0xF3) + 0x0C;
        mapperState.mmc1ShiftCount = 0;
        mapperState.mmc1Shift = 0;
        return;
    }
    mapperState.mmc1Shift |= static_cast<uint8_t>((value & 1) << mapperState.mmc1ShiftCount);
    if (mapperState.mmc1ShiftCount < 4) {
        ++mapperState.mmc1ShiftCount;
        return;
    }

    const uint32_t collected = mapperState.mmc1Shift;
    if (address >= 0xE000)
        mapperState.mmc1Prg = collected;
    else if (address >= 0xC000)
        mapperState.mmc1Chr1 = collected;
    else if (address >= 0xA000)
        mapperState.mmc1Chr0 = collected;
    else
        mapperState.mmc1Control = collected;
    rebuildMmc1Mappings();
    mapperState.mmc1ShiftCount = 0;
    mapperState.mmc1Shift = 0;
}
