// The homebrew boards whose PRG is a flash chip that the game itself may write (flash.h), to keep
// its saves or its levels: UNROM 512 and GTROM.
#include <algorithm>

#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/flash.h"
#include "cart/page_maps.h"
#include "ppu/ppu_state.h"

namespace {

// UNROM 512 with the header's four-screen bit set and vertical bit clear: one-screen, switched by
// the register's bit 7.
bool switchesOneScreen() { return (cartridge.flags6 & 0x09) == 0x08; }

void mapUnrom512()
{
    const uint8_t value = mapperState.latch;
    if (!showFlashId()) {
        startFixedLastBank();
        mapPrg(0, value & 0x1F, 16384);
    }
    mapChr(0, (value >> 5) & 3, 8192);
    if (switchesOneScreen())
        setOneScreen((value & 0x80) ? 0x2400 : 0x2000);
}

// GTROM's 32 KB of CHR RAM: the pattern bank shows 0x0000 or 0x4000 of it, the nametable bank
// 0x2000 or 0x6000. The bank on show lives in the PPU's nametable memory, the other at its place in
// the CHR RAM (which the pattern banks never show), and a switch trades them.
constexpr uint32_t NametableBytes = 0x1000;

uint32_t nametableBankAt(uint8_t latch) { return ((latch >> 5) & 1) * 0x4000 + 0x2000; }

void mapGtrom(uint8_t value)
{
    const uint8_t old = mapperState.latch;
    mapperState.latch = value;
    if (!showFlashId())
        mapPrg(0, value & 0x0F, 32768);
    mapChr(0, ((value >> 4) & 1) * 2, 8192);
    if (nametableBankAt(old) != nametableBankAt(value)) {
        auto shown = ppu.memory.begin() + 0x2000;
        std::copy_n(shown, NametableBytes, cartridge.chrMemory.begin() + nametableBankAt(old));
        std::copy_n(cartridge.chrMemory.begin() + nametableBankAt(value), NametableBytes, shown);
    }
}

}  // namespace

// UNROM 512 (mapper 30): bits 0-4 the 16 KB bank at 0x8000 (0xC000 keeps the last), bits 5-6 the
// 8 KB CHR RAM bank, bit 7 the one-screen page where the header asks for it. A flashable board
// (battery bit, submapper 0 or 1) decodes the register at 0xC000-0xFFFF and takes writes to
// 0x8000-0xBFFF as flash commands at the register's bank; the others decode 0x8000-0xFFFF, with
// bus conflicts on submappers 0 and 2.
void startUnrom512()
{
    startFlash();
    mapperState.latch = 0;
    mapUnrom512();
}

void writeUnrom512(uint32_t address, uint8_t value)
{
    if (isFlashBoard() && address < 0xC000) {
        if (flashWrite((mapperState.latch & 0x1Fu) << 14 | (address & 0x3FFF), value))
            mapUnrom512();
        return;
    }
    if (!isFlashBoard() && (cartridge.submapper == 0 || cartridge.submapper == 2))
        value = busConflict(address, value);
    mapperState.latch = value;
    mapUnrom512();
}

// GTROM (mapper 111): the register GRNC PPPP answers at 0x5000-0x5FFF and 0x7000-0x7FFF: PPPP the
// 32 KB PRG bank, C the pattern bank, N the nametable bank, G and R two LEDs. Four-screen always;
// writes to 0x8000-0xFFFF go to the flash at the PRG bank.
void startGtrom()
{
    startFlash();
    mapperState.latch = 0;
    applyMirroring(Mirroring::FourScreen);
    mapGtrom(0);
}

void writeGtrom(uint32_t address, uint8_t value)
{
    if (address >= 0x8000) {
        if (flashWrite((mapperState.latch & 0x0Fu) << 15 | (address & 0x7FFF), value))
            mapGtrom(mapperState.latch);
    } else if ((address & 0xD000) == 0x5000) {
        mapGtrom(value);
    }
}

// A read of the register latches too, taking what the data bus holds: the open bus, the address's
// high byte.
uint32_t readGtrom(uint32_t address)
{
    if ((address & 0xD000) == 0x5000)
        mapGtrom(static_cast<uint8_t>(address >> 8));
    return BoardDoesNotAnswer;
}
