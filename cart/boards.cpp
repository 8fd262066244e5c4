#include "cart/boards.h"

#include "cart/board_families.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "state/state_io.h"

namespace {

// clang-format off
constexpr Board Boards[] = {
    {0,  "NROM",         startFixedLastBank, nullptr,          nullptr,     nullptr,     nullptr},
    {1,  "MMC1",         startMmc1,          writeMmc1,        nullptr,     nullptr,     nullptr},
    {2,  "UxROM",        startFixedLastBank, writeUxrom,       nullptr,     nullptr,     nullptr},
    {3,  "CNROM",        startFixedLastBank, writeCnrom,       nullptr,     nullptr,     nullptr},
    {4,  "MMC3",         startMmc3,          writeMmc3,        mmc3LineEnd, mmc3LineEnd, nullptr},
    {7,  "AxROM",        startWhole32k,      writeAxrom,       nullptr,     nullptr,     nullptr},
    {9,  "MMC2",         startMmc2,          writeMmc2,        nullptr,     nullptr,     mmc2ChrFetch},
    {11, "Color Dreams", startWhole32k,      writeColorDreams, nullptr,     nullptr,     nullptr},
    {34, "BNROM",        startWhole32k,      writeBnrom,       nullptr,     nullptr,     nullptr},
    {66, "GxROM",        startWhole32k,      writeGxrom,       nullptr,     nullptr,     nullptr},
    {71, "Camerica",     startFixedLastBank, writeCamerica,    nullptr,     nullptr,     nullptr},
};
// clang-format on

constexpr uint8_t NoBoard = 0xFF;

// The table's row for each mapper number (12 bits), NoBoard where there is none.
constexpr std::array<uint8_t, 4096> BoardRows = [] {
    std::array<uint8_t, 4096> rows{};
    rows.fill(NoBoard);
    for (uint8_t row = 0; row < std::size(Boards); ++row)
        rows[Boards[row].number] = row;
    return rows;
}();
static_assert(std::size(Boards) < NoBoard);

const Board* loadedBoard() { return findBoard(cartridge.mapperNumber); }

}  // namespace

const Board* findBoard(uint16_t number)
{
    const uint8_t row = number < BoardRows.size() ? BoardRows[number] : NoBoard;
    return row == NoBoard ? nullptr : &Boards[row];
}

void startBoard()
{
    const Board* board = loadedBoard();
    chrFetchWatcher = board != nullptr ? board->chrFetch : nullptr;
    if (board != nullptr && board->start != nullptr)
        board->start();
}

void mapperWrite(uint32_t address, uint8_t value)
{
    if (address < 0x8000)
        return;
    if (const Board* board = loadedBoard(); board != nullptr && board->write != nullptr)
        board->write(address, value);
}

void boardFrameStart()
{
    if (const Board* board = loadedBoard(); board != nullptr && board->frameStart != nullptr)
        board->frameStart();
}

void boardLineEnd()
{
    if (const Board* board = loadedBoard(); board != nullptr && board->lineEnd != nullptr)
        board->lineEnd();
}

void setOneScreen(uint32_t nametable) { nametableMap.fill(nametable); }

void mapperStateFields(StateIo& io, MapperState& state)
{
    io.field(state.mmc1Control);
    io.field(state.mmc1Chr0);
    io.field(state.mmc1Chr1);
    io.field(state.mmc1Prg);
    io.field(state.mmc1ShiftCount, 0, 4);  // a bit shift: the sixth write always completes
    io.field(state.mmc1Shift);
    if (io.since(3)) {
        io.field(state.chrLatches);
        io.field(state.latchedChrBanks);
    } else {
        // One latch, for the upper table; the banks are in the page maps until the game sets them.
        io.field(state.chrLatches[1]);
        state.chrLatches[0] = 0xFE;
    }
    for (const uint8_t latch : state.chrLatches)
        io.check(latch == 0 || latch == 0xFD || latch == 0xFE);
    io.field(state.mmc3BankSelect, 0, 7);
    io.field(state.mmc3PrgWindow, 0, 2);
    io.field(state.mmc3ChrInvert);
    io.check(state.mmc3ChrInvert == 0 || state.mmc3ChrInvert == 0x1000);
    io.field(state.mmc3Registers);
    io.field(state.mmc3IrqCounter);
    io.field(state.mmc3IrqReload);
    io.field(state.mmc3IrqEnabled);
}
static_assert(fieldCount<MapperState>() == 15, "a MapperState field is missing from mapperStateFields");
