// The boards: the bank-switching hardware on the cartridge, chosen by mapper number from the table
// in boards.cpp (one file per board family beside it).
#pragma once

#include <array>
#include <cstdint>

#include "cart/bandai_fcg.h"
#include "cart/bank_registers.h"
#include "cart/cartridge.h"
#include "cart/flash.h"
#include "cart/konami_vrc.h"
#include "cart/mmc5.h"
#include "cart/sunsoft_fme7.h"
#include "cart/page_maps.h"

// Action 53: the register a write to 0x8000-0xFFFF sets (0 CHR, 1 inner bank, 2 mode, 3 outer
// bank), and the four registers.
struct Action53State {
    uint8_t select;
    std::array<uint8_t, 4> registers;

    bool operator==(const Action53State&) const = default;
};

// The registers of every board (only those of the loaded cartridge's board are in use). The
// discrete boards keep theirs in the page maps. The Namco 108 family uses the MMC3's bank select
// and registers.
struct MapperState {
    uint32_t mmc1Control;
    uint32_t mmc1Chr0;
    uint32_t mmc1Chr1;
    uint32_t mmc1Prg;
    uint32_t mmc1ShiftCount;
    uint8_t mmc1Shift;
    // MMC2: a latch per pattern table (0xFD or 0xFE) and the two CHR banks of each table, for
    // latch 0xFD and 0xFE: 0x0000 from [0] or [1], 0x1000 from [2] or [3].
    std::array<uint8_t, 2> chrLatches;
    std::array<uint8_t, 4> latchedChrBanks;
    uint8_t mmc3BankSelect;
    uint8_t mmc3PrgWindow;   // 0: R6 at 0x8000, second-to-last bank at 0xC000; 2: the two swapped
    uint32_t mmc3ChrInvert;  // 0: R0/R1 at 0x0000; 0x1000: R0/R1 at 0x1000, R2-R5 at 0x0000
    std::array<uint8_t, 8> mmc3Registers;  // R0-R7 as last written (R0/R1 2 KB banks, R6/R7 8 KB)
    uint32_t mmc3IrqCounter;
    uint32_t mmc3IrqReload;
    uint8_t mmc3IrqCleared;  // 0xC001 was written since the last clock
    uint8_t mmc3IrqEnabled;
    uint8_t mmc6RamEnabled;  // MMC6: 0x8000 bit 5
    uint8_t mmc6Protect;     // MMC6: 0xA001 bits 4-7 (write and read enables of the two 512-byte halves)
    Action53State action53;
    uint8_t latch;     // the last value of a discrete register that the page maps do not tell (UNROM 512, GTROM)
    FlashState flash;  // the flash chip of a self-writable board
    KonamiVrcState vrc;
    SunsoftFme7State fme7;
    BankRegisters banks;
    BandaiEeprom eeprom;
    Mmc5State mmc5;

    bool operator==(const MapperState&) const = default;
};

inline MapperState mapperState{};

// A board: its mapper number and name, where its registers start, its PRG and CHR RAM without a
// NES 2.0 header, and what it does. Every function may be empty (nullptr).
struct Board {
    uint16_t number;
    const char* name;
    uint16_t registersFrom;  // writes below this address never reach `write`
    uint32_t prgRamBytes;    // 8 KB at 0x6000, or none where the board has its registers or nothing there
    uint32_t chrRamBytes;    // without CHR ROM; 0: the usual 8 KB
    void (*start)();                                 // the power-on mapping, once the image is loaded
    void (*write)(uint32_t address, uint8_t value);  // a CPU write from registersFrom up
    void (*frameStart)();                            // the start of every frame
    void (*lineEnd)();                               // after the pixel part of every visible line
    void (*chrFetch)(uint32_t address);              // the PPU read pattern byte `address` (see chrFetchWatcher)
    uint32_t (*read)(uint32_t address);              // a CPU read of 0x4020-0x7FFF (see boardRead)
    uint32_t (*clock)(uint32_t now);                 // the board's cycle counter (see deviceClock)
};

// The loaded board's chrFetch, for the boards that watch the PPU's pattern reads (MMC2's latches);
// nullptr for every other board. The renderer calls it with the high-plane address of every tile
// row it fetches (bytes 8-15 of the tile), background and sprites, and the data port with every
// pattern address it reads.
inline void (*chrFetchWatcher)(uint32_t address) = nullptr;

// A background tile a board draws its own way (the MMC5's extended attributes and split): its
// pattern row (the two planes, 8 bytes apart; nullptr: the tile as fetched) and its palette, for
// pattern address `address`, the tile's place (0-959) in its nametable and its place in the line
// (0 for the tile under the picture's first column, up to 32 with fine scrolling). nullptr while no
// board does.
struct BoardTile {
    const uint8_t* planes;
    uint32_t palette;
};
inline BoardTile (*boardTile)(uint32_t address, uint32_t nametableOffset, uint32_t lineTile) = nullptr;

// True while the renderer takes its out-of-line path, in which the board sees each tile fetched
// (chrFetchWatcher) or draws it (boardTile).
inline bool boardShapesTiles = false;

// The loaded board's watch on the CPU's reads of 0x8000-0xFFFF while it watches (the MMC5's PCM in
// read mode takes each byte read from 0x8000-0xBFFF); nullptr otherwise. Instructions are then
// fetched through prgRead too, so the board sees them.
inline void (*prgReadWatcher)(uint32_t address, uint8_t value) = nullptr;

// The loaded board's read of 0x4020-0x7FFF, for the boards that answer reads there (Namco 163's chip
// RAM and IRQ counter) or latch a register on reads (GTROM: the value on the data bus, which a read
// leaves as the open bus): the byte read, or BoardDoesNotAnswer. nullptr for every other board.
constexpr uint32_t BoardDoesNotAnswer = 0x100;
inline uint32_t (*boardRead)(uint32_t address) = nullptr;

// The board of a mapper number; nullptr when Tallowby has none for it.
const Board* findBoard(uint16_t number);

// True for the mapper numbers that have a board.
inline bool isSupportedMapper(uint16_t number) { return findBoard(number) != nullptr; }

// The loaded cartridge's power-on mapping (an unsupported board leaves every PRG page at offset 0).
void startBoard();

// Every CPU write to 0x2000-0xFFFF passes through here first; the board sees those from its
// registersFrom up.
void mapperWrite(uint32_t address, uint8_t value);

// True for the MMC6 (a NES 2.0 mapper 4, submapper 1), whose 1 KB of RAM lies in the mapper.
inline bool isMmc6() { return cartridge.mapperNumber == 4 && cartridge.nes2 && cartridge.submapper == 1; }

// The MMC6's RAM at 0x7000-0x7FFF (1 KB, repeated): each 512-byte half answers when its read
// enable is set, the other half then reading 0; with neither, the open bus. 0x6000-0x6FFF is open.
uint8_t mmc6RamRead(uint32_t address);
// A write lands when its half may be read and written.
void mmc6RamWrite(uint32_t address, uint8_t value);

// What a board with bus conflicts latches: the value written meets the ROM byte the CPU reads at
// the same address, and the ROM's 0 bits win.
inline uint8_t busConflict(uint32_t address, uint8_t value)
{
    return value & cartridge.prgRom[prgPageMap[(address - 0x8000) >> 10] + (address & 0x3FF)];
}

// The board's part of the frame and of each visible line (the MMC3's scanline counter).
void boardFrameStart();
void boardLineEnd();

class StateIo;
// The mapper registers in a save state, in order.
void mapperStateFields(StateIo& io, MapperState& state);
void action53StateFields(StateIo& io, Action53State& state);
