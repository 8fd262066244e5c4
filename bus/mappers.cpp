#include "bus/mappers.h"

#include "bus/cartridge.h"
#include "bus/page_maps.h"
#include "cpu/interrupts.h"
#include "ppu/ppu_state.h"
#include "state/state_io.h"

namespace {

void setOneScreen(uint32_t nametable) { nametableMap.fill(nametable); }

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

// UxROM: any write selects the 16 KB bank at 0x8000; 0xC000 keeps the last bank.
void writeUxrom(uint8_t value) { mapPrg(0, value, 16384); }

// MMC3: maps every window from R0-R7 and the two mode bits of 0x8000.
void rebuildMmc3Mappings()
{
    const auto& r = mapperState.mmc3Registers;
    const uint32_t invert = mapperState.mmc3ChrInvert;
    // R0 and R1 select 2 KB banks (bit 0 of the value is ignored); R2-R5 1 KB banks.
    for (uint32_t i = 0; i < 2; ++i)
        mapChr((invert ^ (i * 0x800)) / 2048, r[i] >> 1, 2048);
    for (uint32_t i = 2; i < 6; ++i)
        mapChr((invert ^ (0x1000 + (i - 2) * 0x400)) / 1024, r[i], 1024);
    const uint32_t secondToLast = cartridge.prgKb / 8u - 2;
    const bool swapped = mapperState.mmc3PrgWindow != 0;
    mapPrg(0, swapped ? secondToLast : r[6], 8192);
    mapPrg(1, r[7], 8192);
    mapPrg(2, swapped ? r[6] : secondToLast, 8192);
    mapPrg(3, secondToLast + 1, 8192);
}

// MMC3: only the seven exact register addresses are decoded.
void writeMmc3(uint32_t address, uint8_t value)
{
    switch (address) {
    case 0x8000:
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
        cartridge.mirroring = (value & 1) ? Mirroring::Horizontal : Mirroring::Vertical;
        applyMirroring(cartridge.mirroring);
        break;
    case 0xC000:
        mapperState.mmc3IrqCounter = value;
        break;
    case 0xC001:
        mapperState.mmc3IrqReload = value;
        break;
    case 0xE000:
        mapperState.mmc3IrqEnabled = 0;
        mapperState.mmc3IrqCounter = mapperState.mmc3IrqReload;
        acknowledgeIrq();
        break;
    case 0xE001:
        mapperState.mmc3IrqEnabled = 1;
        break;
    default:
        break;
    }
}

// AxROM: bits 0-3 pick the 32 KB PRG bank, bit 4 the one-screen nametable.
void writeAxrom(uint8_t value)
{
    mapPrg(0, value & 15, 32768);
    setOneScreen((value & 0x10) ? 0x2400 : 0x2000);
}

// Camerica: 0xC000-0xFFFF picks the 16 KB bank at 0x8000; 0xC000 keeps the last bank. Boards with
// a mirroring switch take bit 4 of a write to 0x9000-0x9FFF as the one-screen nametable.
void writeCamerica(uint32_t address, uint8_t value)
{
    if (address >= 0xC000)
        mapPrg(0, value & 15, 16384);
    else if (address >= 0x9000 && address < 0xA000)
        setOneScreen((value & 0x10) ? 0x2400 : 0x2000);
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

}  // namespace

void mapperWrite(uint32_t address, uint8_t value)
{
    if (address < 0x8000)
        return;
    switch (cartridge.mapperNumber) {
    case 1: writeMmc1(address, value); break;
    case 2: writeUxrom(value); break;
    case 3: mapChr(0, value, 8192); break;  // CNROM: the 8 KB CHR bank
    case 4: writeMmc3(address, value); break;
    case 7: writeAxrom(value); break;
    case 9: writeMmc2(address, value); break;
    case 11:  // Color Dreams: bits 0-1 the 32 KB PRG bank, bits 4-7 the 8 KB CHR bank
        mapPrg(0, value & 3, 32768);
        mapChr(0, value >> 4, 8192);
        break;
    case 34: mapPrg(0, value, 32768); break;  // BNROM: the 32 KB PRG bank; CHR RAM
    case 66:  // GxROM: bits 4-5 the 32 KB PRG bank, bits 0-1 the 8 KB CHR bank
        mapPrg(0, (value >> 4) & 3, 32768);
        mapChr(0, value & 3, 8192);
        break;
    case 71: writeCamerica(address, value); break;
    default: break;  // no registers
    }
}

void resetMmc3()
{
    mapperState.mmc3Registers = {0, 2, 4, 5, 6, 7, 0, 1};
    rebuildMmc3Mappings();
}

void clockMmc3Irq()
{
    if (cartridge.mapperNumber != 4 || !(ppu.showBackground || ppu.showSprites))
        return;
    if (mapperState.mmc3IrqCounter == 0)
        mapperState.mmc3IrqCounter = mapperState.mmc3IrqReload;
    else
        --mapperState.mmc3IrqCounter;
    if (mapperState.mmc3IrqCounter == 0 && mapperState.mmc3IrqEnabled == 1)
        requestIrq();
}

void mapperStateFields(StateIo& io, MapperState& state)
{
    io.field(state.mmc1Control);
    io.field(state.mmc1Chr0);
    io.field(state.mmc1Chr1);
    io.field(state.mmc1Prg);
    io.field(state.mmc1ShiftCount, 0, 4);  // a bit shift: the sixth write always completes
    io.field(state.mmc1Shift);
    io.field(state.mmc2Latch);
    io.field(state.mmc3BankSelect, 0, 7);
    io.field(state.mmc3PrgWindow, 0, 2);
    io.field(state.mmc3ChrInvert);
    io.check(state.mmc3ChrInvert == 0 || state.mmc3ChrInvert == 0x1000);
    io.field(state.mmc3Registers);
    io.field(state.mmc3IrqCounter);
    io.field(state.mmc3IrqReload);
    io.field(state.mmc3IrqEnabled);
}
static_assert(fieldCount<MapperState>() == 14, "a MapperState field is missing from mapperStateFields");
