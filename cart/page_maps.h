// The page tables through which the CPU and the PPU see the cartridge.
#pragma once

#include <array>
#include <cstdint>

// 32 pages of 1 KB for CPU 0x8000-0xFFFF: byte offsets into Cartridge::prgRom.
using PrgPageMap = std::array<uint32_t, 32>;
// 8 pages of 1 KB for PPU 0x0000-0x1FFF: byte offsets into Cartridge::chrMemory.
using ChrPageMap = std::array<uint32_t, 8>;
// The last 1 KB of chrMemory, which a board that switches its CHR off fills with 0xFF and maps.
constexpr uint32_t DisabledChrPage = 1024 * 1023;
// The PPU address behind each nametable window 0x2000, 0x2400, 0x2800, 0x2C00: the console's own
// nametable memory at 0x2000-0x2C00, or a page a board supplies (see copyChrNametable).
using NametableMap = std::array<uint32_t, 4>;

inline PrgPageMap prgPageMap{};

// The 8 KB window of the CPU address space that program bytes were last read from, when it is
// plain memory (RAM, work RAM, or PRG ROM with no Game Genie code active): the interpreter reads
// opcodes and operands straight from it while they stay inside. mapPrg drops it, so a bank switch
// is seen from the next byte on; so do every frame's start, a reset and a loaded state, after which
// the page maps or the Game Genie codes may be others.
constexpr uint32_t NoCodeWindow = 0xFFFFFFFF;
struct CodeWindow {
    uint32_t number = NoCodeWindow;  // address >> 13
    const uint8_t* bytes = nullptr;  // the window's first byte
};
inline CodeWindow codeWindow{};

inline void forgetCodeWindow() { codeWindow.number = NoCodeWindow; }
inline ChrPageMap chrPageMap{};
// The pages the background's patterns come from: chrPageMap, but on a board that gives the
// background a set of its own (the MMC5 with 8x16 sprites).
inline const ChrPageMap* backgroundChrPages = &chrPageMap;
inline NametableMap nametableMap{};

// How the cartridge answers at 0x6000-0x7FFF: the 8 KB bank of PRG RAM shown (a byte offset into
// Cartridge::prgRam) and whether it may be read and written; or, on a board that can show PRG ROM
// there, the 8 KB of PRG ROM at that offset of Cartridge::prgRom. Boards with RAM control set it.
struct PrgRamWindow {
    uint32_t offset = 0;
    bool readable = true;
    bool writable = true;
    bool rom = false;
};
inline PrgRamWindow prgRamWindow{};

// Shows PRG RAM bank `bank` (8 KB; banks beyond the RAM wrap around it) at 0x6000, readable and
// writable as given.
void mapPrgRam(uint32_t bank, bool readable, bool writable);
// Shows the 8 KB PRG ROM bank `bank` at 0x6000 (banks beyond the image wrap around it).
void mapPrgRomAt6000(uint32_t bank);

// Shows PRG RAM bank `bank` (8 KB; banks beyond the RAM wrap around it) in the 8 KB window `window`
// of 0x8000-0xFFFF, through its copy at PrgRamCopy: the bank is copied there now, and the board
// writes each byte to both (writePrgRamAndCopy). False, and nothing mapped, without 8 KB of RAM.
bool mapPrgRamAmongRom(uint32_t window, uint32_t bank);
// Writes PRG RAM byte `offset` and its copy.
void writePrgRamAndCopy(uint32_t offset, uint8_t value);

// Points the 1 KB pages of one window (size bytes wide) at bank `bank` of the PRG image.
// Banks beyond the loaded image wrap around it, so no read ever leaves the loaded data.
void mapPrg(uint32_t window, uint32_t bank, uint32_t size);
// The same for the CHR ROM, or for the CHR RAM of a cartridge without CHR ROM.
void mapChr(uint32_t window, uint32_t bank, uint32_t size);
// The same for the CHR RAM of a cartridge that has CHR ROM beside it (after it in chrMemory).
void mapChrRam(uint32_t window, uint32_t bank, uint32_t size);

// The PPU's address space below 0x2000 is read neither by the renderer nor by the data port (the
// patterns come from the cartridge through chrPageMap): a board that supplies nametables of its own
// keeps them there and names them in nametableMap. 0x0000-0x0FFF holds read-only pages (CHR ROM
// copied to PPU 0x0000 + 0x400 x `slot` by copyChrNametable, a fill pattern): the data port's
// writes to them are dropped, as the ROM drops them. 0x1000-0x1FFF holds a board's RAM (the MMC5's
// ExRAM), written like the console's own nametables.
constexpr uint32_t BoardRamPages = 0x1000;
void copyChrNametable(uint32_t slot, uint32_t chrPage);

class StateIo;
// The page maps in a save state: byte offsets into the loaded images (never pointers), each
// checked on reading to be a whole page inside the image of the running cartridge; and the PRG
// RAM window (from format 7; before, the whole RAM was open at offset 0).
void pageMapFields(StateIo& io, PrgPageMap& prg, ChrPageMap& chr, NametableMap& nametables, PrgRamWindow& prgRam);
