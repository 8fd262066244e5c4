// Action 53 (mapper 28): the multicart board of homebrew compilations. A write to 0x5000-0x5FFF
// selects one of four registers (bits 7 and 0), a write to 0x8000-0xFFFF sets it:
//   0x00 CHR bank: bits 0-1 the 8 KB of 32 KB CHR RAM;  0x01 inner bank: bits 0-3 the PRG bank
//   inside the game;  both also set the one-screen page from bit 4 while the board is in
//   one-screen mode.
//   0x80 mode: bits 0-1 nametables (one-screen 0x2000, 0x2400, vertical, horizontal), bits 2-3
//   PRG mode (0-1: 32 KB; 2: the game's first 16 KB fixed at 0x8000; 3: its last 16 KB fixed at
//   0xC000), bits 4-5 game size (32, 64, 128 or 256 KB).
//   0x81 outer bank: the game's 32 KB bank in the whole ROM.
#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "state/state_io.h"

namespace {

enum Register : uint8_t { Chr, Inner, Mode, Outer };

void mapAction53()
{
    const auto& r = mapperState.action53.registers;
    const uint32_t mode = (r[Mode] >> 2) & 3;
    const uint32_t mask = (2u << ((r[Mode] >> 4) & 3)) - 1;  // the game's size in 16 KB banks, less 1
    const uint32_t inner = r[Inner] & 0x0F;
    for (uint32_t half = 0; half < 2; ++half) {
        const uint32_t bank = mode < 2    ? (inner << 1) | half
                              : mode == 2 ? (half == 0 ? 0 : inner)      // the game's first 16 KB at 0x8000
                                          : (half == 1 ? 0x0F : inner);  // its last 16 KB at 0xC000
        mapPrg(half, ((r[Outer] << 1) & ~mask) | (bank & mask), 16384);
    }
    mapChr(0, r[Chr] & 3, 8192);
    constexpr NametableMap Layouts[] = {
        {0x2000, 0x2000, 0x2000, 0x2000}, {0x2400, 0x2400, 0x2400, 0x2400},
        {0x2000, 0x2400, 0x2000, 0x2400}, {0x2000, 0x2000, 0x2400, 0x2400}};
    nametableMap = Layouts[r[Mode] & 3];
}

}  // namespace

// The last 32 KB of the ROM (where the menu lives) in 32 KB mode, one-screen.
void startAction53()
{
    mapperState.action53 = {0, {0, 0, 0, 0xFF}};
    mapAction53();
}

void writeAction53(uint32_t address, uint8_t value)
{
    auto& board = mapperState.action53;
    if (address >= 0x5000 && address < 0x6000) {
        board.select = ((value >> 6) & 2) | (value & 1);
        return;
    }
    if (address < 0x8000)
        return;
    board.registers[board.select] = value;
    if (board.select <= Inner && (board.registers[Mode] & 2) == 0)
        board.registers[Mode] = static_cast<uint8_t>((board.registers[Mode] & ~1) | ((value >> 4) & 1));
    mapAction53();
}

void action53StateFields(StateIo& io, Action53State& state)
{
    io.field(state.select, 0, 3);
    io.field(state.registers);
}
static_assert(fieldCount<Action53State>() == 2, "an Action53State field is missing from action53StateFields");
