// MMC3: eight bank registers behind a bank select, mirroring, and a scanline counter that raises
// the IRQ.
#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cpu/interrupts.h"
#include "ppu/ppu_state.h"

namespace {

// MMC3: maps every window from R0-R7 and the two mode bits of 0x8000.
void rebuildMmc3Mappings()
{
    const auto& r = mapperState.mmc3Registers;
    const uint32_t invert = mapperState.mmc3ChrInvert;
    // R0 and R1 select 2 KB banks (bit 0 of the value is ignored); R2-R5 1 KB banks, each value in
    // 1 KB units. TQROM (mapper 119): bit 6 of a value picks its 8 KB of CHR RAM (bits 0-2) over
    // the CHR ROM (bits 0-5).
    const auto chr = [](uint32_t window, uint8_t value, uint32_t size) {
        if (cartridge.mapperNumber == 119 && (value & 0x40))
            mapChrRam(window, (value & 7) * 1024u / size, size);
        else
            mapChr(window, (cartridge.mapperNumber == 119 ? value & 0x3F : value) * 1024u / size, size);
    };
    for (uint32_t i = 0; i < 2; ++i)
        chr((invert ^ (i * 0x800)) / 2048, r[i], 2048);
    for (uint32_t i = 2; i < 6; ++i)
        chr((invert ^ (0x1000 + (i - 2) * 0x400)) / 1024, r[i], 1024);
    const uint32_t secondToLast = cartridge.prgKb / 8u - 2;
    const bool swapped = mapperState.mmc3PrgWindow != 0;
    mapPrg(0, swapped ? secondToLast : r[6], 8192);
    mapPrg(1, r[7], 8192);
    mapPrg(2, swapped ? r[6] : secondToLast, 8192);
    mapPrg(3, secondToLast + 1, 8192);

    // TxSROM (mapper 118): bit 7 of a CHR bank value drives the nametable line: R0/R1 for the two
    // halves in CHR mode 0, R2-R5 for the four windows in mode 1.
    if (cartridge.mapperNumber == 118) {
        const auto screen = [](uint8_t value) { return (value & 0x80) ? 0x2400u : 0x2000u; };
        nametableMap = invert == 0 ? NametableMap{screen(r[0]), screen(r[0]), screen(r[1]), screen(r[1])}
                                   : NametableMap{screen(r[2]), screen(r[3]), screen(r[4]), screen(r[5])};
    }
}

}  // namespace

void resetMmc3()
{
    mapperState.mmc3Registers = {0, 2, 4, 5, 6, 7, 0, 1};
    rebuildMmc3Mappings();
}

void startMmc3()
{
    resetMmc3();
    mapperState.mmc3IrqCounter = 0;
    mapperState.mmc3IrqReload = 0;
    mapperState.mmc3IrqCleared = 0;
    mapperState.mmc3IrqEnabled = 0;
}

// MMC3: four register pairs, each decoded over its 8 KB by A0 (even, odd): bank select and bank
// data, mirroring and PRG-RAM protect, IRQ reload latch and counter clear, IRQ disable and enable.
void writeMmc3(uint32_t address, uint8_t value)
{
    switch (address & 0xE001) {
    case 0x8000:
        if (isMmc6()) {
            mapperState.mmc6RamEnabled = (value >> 5) & 1;
            if (!mapperState.mmc6RamEnabled)
                mapperState.mmc6Protect = 0;
        }
        mapperState.mmc3BankSelect = value & 7;
        mapperState.mmc3PrgWindow = (value & 0x40) ? 2 : 0;
        mapperState.mmc3ChrInvert = (value & 0x80) ? 0x1000 : 0;
        rebuildMmc3Mappings();
        break;
    case 0x8001:
        mapperState.mmc3Registers[mapperState.mmc3BankSelect] = value;
        rebuildMmc3Mappings();
        break;
    case 0xA000:
        if (cartridge.mapperNumber == 118)
            break;  // TxSROM: the CHR banks choose the nametables
        cartridge.mirroring = (value & 1) ? Mirroring::Horizontal : Mirroring::Vertical;
        applyMirroring(cartridge.mirroring);
        break;
    case 0xC000:
        mapperState.mmc3IrqReload = value;
        break;
    case 0xC001:
        mapperState.mmc3IrqCounter = 0;  // reloaded at the next clock
        mapperState.mmc3IrqCleared = 1;
        break;
    case 0xE000:
        mapperState.mmc3IrqEnabled = 0;
        acknowledgeIrq(IrqFromBoard);
        break;
    case 0xE001:
        mapperState.mmc3IrqEnabled = 1;
        break;
    case 0xA001:
        if (isMmc6()) {
            if (mapperState.mmc6RamEnabled)
                mapperState.mmc6Protect = value & 0xF0;
            break;
        }
        // PRG RAM: bit 7 on, bit 6 write-protected. Only a NES 2.0 MMC3 (submappers 0, 3, 4) is
        // known to have it; an iNES image may be an MMC6 game, whose values mean other things.
        if (cartridge.nes2 && (cartridge.submapper == 0 || cartridge.submapper == 3 || cartridge.submapper == 4))
            mapPrgRam(0, (value & 0x80) != 0, (value & 0xC0) == 0x80);
        break;
    default:
        break;
    }
}

// One clock of the scanline counter while rendering is on: at 0, or after a 0xC001 write, it
// takes the reload value, else it counts down. The MMC3B/C raises its IRQ whenever the count is
// then 0; the MMC6 and the MMC3A (NES 2.0 submapper 4) only when it came down to 0 or was reloaded
// by a 0xC001 write, so a reload value of 0 raises one IRQ, not one on every line.
void mmc3LineEnd()
{
    if (!(ppu.showBackground || ppu.showSprites))
        return;
    MapperState& m = mapperState;
    const uint32_t before = m.mmc3IrqCounter;
    const bool cleared = m.mmc3IrqCleared != 0;
    m.mmc3IrqCounter = before == 0 || cleared ? m.mmc3IrqReload : before - 1;
    m.mmc3IrqCleared = 0;
    const bool oldRule = isMmc6() || (cartridge.nes2 && cartridge.mapperNumber == 4 && cartridge.submapper == 4);
    if (m.mmc3IrqCounter == 0 && m.mmc3IrqEnabled == 1 && (!oldRule || before != 0 || cleared))
        requestIrq(IrqFromBoard);
}

uint8_t mmc6RamRead(uint32_t address)
{
    const uint32_t protect = mapperState.mmc6Protect;
    const bool upper = (address & 0x200) != 0;
    if (address < 0x7000 || (protect & 0xA0) == 0)
        return static_cast<uint8_t>(address >> 8);
    return (protect & (upper ? 0x80 : 0x20)) ? cartridge.prgRam[address & 0x3FF] : 0;
}

void mmc6RamWrite(uint32_t address, uint8_t value)
{
    const uint32_t enables = mapperState.mmc6Protect >> ((address & 0x200) ? 6 : 4);  // bit 0 write, bit 1 read
    if (address >= 0x7000 && (enables & 3) == 3)
        cartridge.prgRam[address & 0x3FF] = value;
}
