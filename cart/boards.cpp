#include "cart/boards.h"

#include <algorithm>

#include "apu/channels.h"
#include "apu/expansion_sound.h"
#include "cart/board_families.h"
#include "cart/cartridge.h"
#include "cart/nsf.h"
#include "cart/page_maps.h"
#include "state/state_io.h"

namespace {

// The columns of Board (boards.h): number, name, registers from, PRG RAM and CHR RAM without a
// NES 2.0 header, then start, write, frame start, line end, CHR fetch, read and clock.
// clang-format off
constexpr uint32_t Kb64 = 64 * 1024, Kb32 = 32 * 1024, Kb16 = 16 * 1024, Kb8 = 8 * 1024;
constexpr Board Boards[] = {
    {0,   "NROM",          0x8000, Kb8, 0,    startFixedLastBank,  nullptr,             nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {1,   "MMC1",          0x8000, Kb8, 0,    startMmc1,           writeMmc1,           nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {2,   "UxROM",         0x8000, Kb8, 0,    startFixedLastBank,  writeUxrom,          nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {3,   "CNROM",         0x8000, Kb8, 0,    startFixedLastBank,  writeCnrom,          nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {4,   "MMC3",          0x8000, Kb8, 0,    startMmc3,           writeMmc3,           mmc3LineEnd,   mmc3LineEnd,   nullptr,      nullptr,       nullptr},
    {5,   "MMC5",          0x5000, Kb64, 0,   startMmc5,           writeMmc5,           mmc5FrameStart, mmc5LineEnd, nullptr,      readMmc5,      nullptr},
    {7,   "AxROM",         0x8000, Kb8, 0,    startWhole32k,       writeAxrom,          nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {9,   "MMC2",          0x8000, Kb8, 0,    startMmc2,           writeMmc2,           nullptr,       nullptr,       mmc2ChrFetch, nullptr,       nullptr},
    {10,  "MMC4",          0x8000, Kb8, 0,    startMmc4,           writeMmc4,           nullptr,       nullptr,       mmc2ChrFetch, nullptr,       nullptr},
    {11,  "Color Dreams",  0x8000, Kb8, 0,    startWhole32k,       writeColorDreams,    nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {13,  "CPROM",         0x8000, Kb8, Kb16, startCprom,          writeCprom,          nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {16,  "Bandai FCG",    0x6000, 256, 0,    startBandaiFcg,      writeBandaiFcg,      nullptr,       nullptr,       nullptr,      readBandaiFcg, clockBandaiFcg},
    {18,  "SS88006",       0x8000, Kb8, 0,    startSs88006,        writeSs88006,        nullptr,       nullptr,       nullptr,      nullptr,       clockSs88006},
    {19,  "Namco 163",     0x4800, Kb8, 0,    startNamco163,       writeNamco163,       nullptr,       nullptr,       nullptr,      readNamco163,  clockNamco163},
    {21,  "VRC4",          0x8000, Kb8, 0,    startKonamiVrc,      writeKonamiVrc,      nullptr,       nullptr,       nullptr,      nullptr,       clockVrcIrq},
    {22,  "VRC2",          0x8000, Kb8, 0,    startKonamiVrc,      writeKonamiVrc,      nullptr,       nullptr,       nullptr,      nullptr,       clockVrcIrq},
    {23,  "VRC2/VRC4",     0x8000, Kb8, 0,    startKonamiVrc,      writeKonamiVrc,      nullptr,       nullptr,       nullptr,      nullptr,       clockVrcIrq},
    {24,  "VRC6",          0x8000, Kb8, 0,    startKonamiVrc6,     writeKonamiVrc6,     nullptr,       nullptr,       nullptr,      nullptr,       clockVrcIrq},
    {25,  "VRC2/VRC4",     0x8000, Kb8, 0,    startKonamiVrc,      writeKonamiVrc,      nullptr,       nullptr,       nullptr,      nullptr,       clockVrcIrq},
    {26,  "VRC6",          0x8000, Kb8, 0,    startKonamiVrc6,     writeKonamiVrc6,     nullptr,       nullptr,       nullptr,      nullptr,       clockVrcIrq},
    {28,  "Action 53",     0x5000, Kb8, Kb32, startAction53,       writeAction53,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {30,  "UNROM 512",     0x8000, 0,   Kb32, startUnrom512,       writeUnrom512,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {33,  "TC0190",        0x8000, 0,   0,    startTaito,          writeTaito,          nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {34,  "BNROM",         0x8000, Kb8, 0,    startWhole32k,       writeBnrom,          nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {48,  "TC0690",        0x8000, 0,   0,    startTaito,          writeTaito,          mmc3LineEnd,   mmc3LineEnd,   nullptr,      nullptr,       nullptr},
    {64,  "RAMBO-1",       0x8000, 0,   0,    startRambo1,         writeRambo1,         rambo1LineEnd, rambo1LineEnd, nullptr,      nullptr,       clockRambo1Cycles},
    {65,  "H3001",         0x8000, 0,   0,    startH3001,          writeH3001,          nullptr,       nullptr,       nullptr,      nullptr,       clockH3001},
    {66,  "GxROM",         0x8000, Kb8, 0,    startWhole32k,       writeGxrom,          nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {67,  "Sunsoft-3",     0x8000, 0,   0,    startSunsoft3,       writeSunsoft3,       nullptr,       nullptr,       nullptr,      nullptr,       clockSunsoft3},
    {68,  "Sunsoft-4",     0x8000, Kb8, 0,    startSunsoft4,       writeSunsoft4,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {69,  "FME-7",         0x8000, Kb8, 0,    startSunsoftFme7,    writeSunsoftFme7,    nullptr,       nullptr,       nullptr,      nullptr,       clockSunsoftFme7},
    {71,  "Camerica",      0x8000, Kb8, 0,    startFixedLastBank,  writeCamerica,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {78,  "Irem/Jaleco",   0x8000, Kb8, 0,    startFixedLastBank,  writeIremJaleco,     nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {79,  "NINA-03/06",    0x4100, Kb8, 0,    startWhole32k,       writeNina,           nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {85,  "VRC7",          0x8000, Kb8, 0,    startKonamiVrc7,     writeKonamiVrc7,     nullptr,       nullptr,       nullptr,      nullptr,       clockVrcIrq},
    {87,  "J87",           0x6000, 0,   0,    startFixedLastBank,  writeJ87,            nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {88,  "Namco 108",     0x8000, Kb8, 0,    startNamco108,       writeNamco108,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {95,  "NAMCOT-3425",   0x8000, Kb8, 0,    startNamco108,       writeNamco108,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {111, "GTROM",         0x5000, 0,   Kb32, startGtrom,          writeGtrom,          nullptr,       nullptr,       nullptr,      readGtrom,     nullptr},
    {118, "TxSROM",        0x8000, Kb8, 0,    startMmc3,           writeMmc3,           mmc3LineEnd,   mmc3LineEnd,   nullptr,      nullptr,       nullptr},
    {119, "TQROM",         0x8000, Kb8, Kb8,  startMmc3,           writeMmc3,           mmc3LineEnd,   mmc3LineEnd,   nullptr,      nullptr,       nullptr},
    {140, "Jaleco JF-11",  0x6000, 0,   0,    startWhole32k,       writeJf11,           nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {154, "NAMCOT-3453",   0x8000, Kb8, 0,    startNamco108,       writeNamco108,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {159, "LZ93D50",       0x8000, 128, 0,    startBandaiFcg,      writeBandaiFcg,      nullptr,       nullptr,       nullptr,      readBandaiFcg, clockBandaiFcg},
    {180, "UNROM (AND)",   0x8000, Kb8, 0,    startFirstBankFixed, writeUnromAnd,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {184, "Sunsoft-1",     0x6000, 0,   0,    startSunsoft1,       writeSunsoft1,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {185, "CNROM, locked", 0x8000, Kb8, 0,    startCnromProtected, writeCnromProtected, nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {206, "DxROM",         0x8000, Kb8, 0,    startNamco108,       writeNamco108,       nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
    {NsfBoardNumber, "NSF", 0x4100, Kb8, Kb8, startNsf,        writeNsf,            nsfFrameStart, nullptr,       nullptr,      readNsf,       nullptr},
    {232, "Quattro",       0x8000, Kb8, 0,    startQuattro,        writeQuattro,        nullptr,       nullptr,       nullptr,      nullptr,       nullptr},
};
// clang-format on

constexpr uint8_t NoBoard = 0xFF;

// The table's row for each mapper number (12 bits) and the music files' board, NoBoard where there
// is none.
constexpr std::array<uint8_t, NsfBoardNumber + 1> BoardRows = [] {
    std::array<uint8_t, NsfBoardNumber + 1> rows{};
    rows.fill(NoBoard);
    for (uint8_t row = 0; row < std::size(Boards); ++row)
        rows[Boards[row].number] = row;
    return rows;
}();
static_assert(std::size(Boards) < NoBoard);

constexpr uint32_t LowestRegister = 0x4100;
static_assert(std::ranges::all_of(Boards, [](const Board& board) { return board.registersFrom >= LowestRegister; }));

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
    boardTile = nullptr;
    prgReadWatcher = nullptr;
    boardShapesTiles = chrFetchWatcher != nullptr;
    backgroundChrPages = &chrPageMap;
    boardRead = board != nullptr ? board->read : nullptr;
    deviceClock = board != nullptr ? board->clock : nullptr;
    deviceClockDue = cpu.totalCycles;
    expansionSound = nullptr;
    if (board != nullptr && board->start != nullptr)
        board->start();
}

void mapperWrite(uint32_t address, uint8_t value)
{
    if (address < LowestRegister)  // the PPU's and the APU's registers pass at once
        return;
    const Board* board = loadedBoard();
    if (board != nullptr && board->write != nullptr && address >= board->registersFrom)
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

void setMirroringMode(uint8_t mode)
{
    if (mode >= 2)
        setOneScreen(mode == 2 ? 0x2000 : 0x2400);
    else
        applyMirroring(mode == 0 ? Mirroring::Vertical : Mirroring::Horizontal);
}

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
    if (io.since(9)) {
        io.field(state.mmc6RamEnabled, 0, 1);
        io.field(state.mmc6Protect);
    }
    if (io.since(5))
        action53StateFields(io, state.action53);
    if (io.since(10)) {
        io.field(state.mmc3IrqCleared, 0, 1);
        io.field(state.latch);
        flashStateFields(io, state.flash);
        konamiVrcStateFields(io, state.vrc);
        sunsoftFme7StateFields(io, state.fme7);
        bankRegistersFields(io, state.banks);
        bandaiEepromFields(io, state.eeprom);
        mmc5StateFields(io, state.mmc5);
    }
}
static_assert(fieldCount<MapperState>() == 26, "a MapperState field is missing from mapperStateFields");
