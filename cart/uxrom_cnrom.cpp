// UxROM and CNROM and their relatives: a single register of discrete logic each, that picks a
// 16 KB PRG bank beside a fixed one (UxROM, UNROM with AND gate, Quattro, Camerica, the Irem/Jaleco
// board) or a CHR bank (CNROM, CPROM, J87, Sunsoft-1).
#include <algorithm>

#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"

// UxROM: any write selects the 16 KB bank at 0x8000; 0xC000 keeps the last bank. With submapper 2,
// the written value meets the ROM byte at the address (bus conflict).
void writeUxrom(uint32_t address, uint8_t value)
{
    if (cartridge.submapper == 2)
        value = busConflict(address, value);
    mapPrg(0, value, 16384);
}

// UNROM with an AND gate (mapper 180): the first 16 KB bank stays at 0x8000, the written one shows
// at 0xC000; with bus conflicts.
void startFirstBankFixed()
{
    mapPrg(0, 0, 16384);
    mapPrg(1, 0, 16384);
}

void writeUnromAnd(uint32_t address, uint8_t value) { mapPrg(1, busConflict(address, value) & 7, 16384); }

// Camerica BF9096 "Quattro" (mapper 232): 0x8000-0xBFFF bits 3-4 pick a 64 KB block, 0xC000-0xFFFF
// bits 0-1 the 16 KB page of it at 0x8000; 0xC000 shows page 3 of the block. Submapper 1 (Aladdin
// Deck Enhancer) takes the block bits the other way round. The block and page in use are read back
// from the page map (banks wrap around the image, and so do both).
void startQuattro()
{
    mapPrg(0, 0, 16384);
    mapPrg(1, 3, 16384);
}

void writeQuattro(uint32_t address, uint8_t value)
{
    uint32_t block = prgPageMap[16] / 16384 / 4;
    uint32_t page = prgPageMap[0] / 16384 % 4;
    if (address < 0xC000) {
        const uint32_t bits = (value >> 3) & 3;
        block = cartridge.submapper == 1 ? (bits >> 1) | (bits & 1) << 1 : bits;
    } else {
        page = value & 3;
    }
    mapPrg(0, block * 4 + page, 16384);
    mapPrg(1, block * 4 + 3, 16384);
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

// Irem/Jaleco 74HC161/32 (mapper 78): bits 0-2 the 16 KB bank at 0x8000, bits 4-7 the 8 KB CHR
// bank, bit 3 the nametables: one-screen 0x2000/0x2400 on 78.1 (Cosmo Carrier), horizontal or
// vertical on 78.3 (Holy Diver). An iNES image is 78.3 when its four-screen bit is set. Bus conflicts.
void writeIremJaleco(uint32_t address, uint8_t value)
{
    value = busConflict(address, value);
    mapPrg(0, value & 7, 16384);
    mapChr(0, value >> 4, 8192);
    const bool holyDiver = cartridge.submapper == 3 || (cartridge.submapper == 0 && (cartridge.flags6 & 0x08));
    if (holyDiver)
        applyMirroring((value & 0x08) ? Mirroring::Vertical : Mirroring::Horizontal);
    else
        setOneScreen((value & 0x08) ? 0x2400 : 0x2000);
}

// CNROM: any write selects the 8 KB CHR bank. Bus conflicts unless submapper 1 says there are none.
void writeCnrom(uint32_t address, uint8_t value)
{
    if (cartridge.submapper != 1)
        value = busConflict(address, value);
    mapChr(0, value, 8192);
}

// CNROM used as copy protection (mapper 185): the latch switches the 8 KB of CHR ROM on or off;
// switched off, the PPU reads 0xFF. Submappers 4-7 switch it on for the value 0-3 in bits 0-1;
// submapper 0 for any value with bits 0-3 not 0 but 0x13. Bus conflicts; the latch starts at 0.
void startCnromProtected()
{
    startFixedLastBank();
    std::fill_n(cartridge.chrMemory.begin() + DisabledChrPage, 1024, uint8_t{0xFF});
    writeCnromProtected(0x8000, 0);
}

void writeCnromProtected(uint32_t address, uint8_t value)
{
    if (address >= 0x8000)
        value = busConflict(address, value);
    const uint8_t sub = cartridge.submapper;
    const bool on = sub >= 4 ? (value & 3) == sub - 4 : (value & 0x0F) != 0 && value != 0x13;
    if (on)
        mapChr(0, 0, 8192);
    else
        chrPageMap.fill(DisabledChrPage);
}

// CPROM (mapper 13): 16 KB of CHR RAM; 0x0000-0x0FFF always shows its first 4 KB, bits 0-1 of a
// write pick the 4 KB at 0x1000. Bus conflicts.
void startCprom()
{
    mapPrg(0, 0, 32768);
    mapChr(0, 0, 4096);
    mapChr(1, 0, 4096);
}

void writeCprom(uint32_t address, uint8_t value) { mapChr(1, busConflict(address, value) & 3, 4096); }

// J87 (mapper 87): a write to 0x6000-0x7FFF picks the 8 KB CHR bank from bits 0 and 1, swapped.
void writeJ87(uint32_t address, uint8_t value)
{
    if (address >= 0x6000 && address < 0x8000)
        mapChr(0, ((value & 1) << 1) | ((value >> 1) & 1), 8192);
}

// Sunsoft-1 (mapper 184): a write to 0x6000-0x7FFF picks the 4 KB CHR bank at 0x0000 from bits
// 0-2 and the one at 0x1000 from bits 4-5, whose bank number always has bit 2 set.
void startSunsoft1()
{
    startFixedLastBank();
    mapChr(0, 0, 4096);
    mapChr(1, 4, 4096);
}

void writeSunsoft1(uint32_t address, uint8_t value)
{
    if (address >= 0x6000 && address < 0x8000) {
        mapChr(0, value & 7, 4096);
        mapChr(1, ((value >> 4) & 3) | 4, 4096);
    }
}
