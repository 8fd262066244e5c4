// Nintendo MMC5 (mapper 5): four PRG modes of up to four windows and PRG RAM at 0x6000 in banks,
// four CHR modes with two sets of banks (set A for the sprites and, with 8x16 sprites off, for
// everything; set B for the background with 8x16 sprites), 1 KB of ExRAM as a nametable or RAM, a
// fill-mode nametable, a scanline IRQ with its in-frame flag, and a multiplier.
// In ExRAM mode 1 each background tile takes its 4 KB pattern bank (bits 0-5, with 0x5130's two
// bits above) and its palette (bits 6-7) from the ExRAM byte at its place in the nametable; the
// sprites' test of the background under them still reads the tile's usual pattern (under the split's
// tiles too). The vertical split draws the tiles of a line left or right of a threshold from ExRAM as
// a nametable of its own, with its own vertical scroll and 4 KB pattern bank. Its sound is apu/mmc5_sound.h. The data port
// reads patterns through set A.
#include <algorithm>

#include "apu/expansion_sound.h"
#include "cart/board_families.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/mmc5.h"
#include "cart/page_maps.h"
#include "cpu/interrupts.h"
#include "ppu/ppu_state.h"
#include "state/state_io.h"

namespace {

constexpr uint32_t ExramPage = 0x1000;  // ExRAM in the PPU's address space (a board's RAM page)
constexpr uint32_t FillPage = 0x0000;   // the fill-mode nametable (a board's read-only page)
constexpr uint32_t BlankPage = 0x0400;  // ExRAM as a nametable in modes 2 and 3: zeros

Mmc5State& board() { return mapperState.mmc5; }

bool ramWritable() { return board().protect[0] == 2 && board().protect[1] == 1; }

// Each 8 KB window of 0x8000-0xFFFF: the register that serves it in the PRG mode, and the bank it
// shows (16 and 32 KB windows take their 8 KB banks from the register's upper bits). Below 0xE000
// a register's bit 7 clear shows PRG RAM bank (bank & 7) instead of ROM.
void mapPrgWindows()
{
    const Mmc5State& m = board();
    const auto& p = m.prg;  // [0] 0x5113, [1]-[4] 0x5114-0x5117
    for (uint32_t window = 0; window < 4; ++window) {
        uint32_t reg = 4, bank = 0;  // index into p
        switch (m.prgMode & 3) {
        case 0: bank = (p[4] & 0x7C) + window; break;
        case 1:
            reg = window < 2 ? 2 : 4;
            bank = (p[reg] & 0x7E) + window % 2;
            break;
        case 2:
            reg = window < 2 ? 2 : 1 + window;
            bank = window < 2 ? (p[reg] & 0x7E) + window : p[reg];
            break;
        default: bank = p[reg = 1 + window]; break;
        }
        const bool ram = reg != 4 && !(p[reg] & 0x80);
        if (!ram || !mapPrgRamAmongRom(window, bank & 7))
            mapPrg(window, bank & 0x7F, 8192);
    }
    mapPrgRam(p[0] & 7, true, ramWritable());
}

// A write to PRG RAM at 0x6000, or to a window of 0x8000-0xDFFF showing it, lands in the RAM and
// in its copy for the windows (the 0x6000 window's own write follows this one).
void writePrgRam(uint32_t address, uint8_t value)
{
    if (!ramWritable())
        return;
    if (address < 0x8000) {
        if (prgRamBytes() >= 8192)
            writePrgRamAndCopy(prgRamWindow.offset + (address & 0x1FFF), value);
        return;
    }
    const uint32_t page = prgPageMap[(address - 0x8000) >> 10];
    if (page >= PrgRamCopy)
        writePrgRamAndCopy(page - PrgRamCopy + (address & 0x3FF), value);
}

// The sets into the page map, in windows of 8 KB >> mode. Set A: window w from register
// (w + 1) x (8 >> mode) - 1 of 0x5120-0x5127. Set B (0x5128-0x512B) covers the lower 4 KB and
// repeats it at 0x1000: in 8 KB mode 0x512B.
void mapSetA()
{
    const uint32_t mode = board().chrMode & 3;
    for (uint32_t window = 0; window < (1u << mode); ++window)
        mapChr(window, board().chr[(window + 1) * (8u >> mode) - 1], 8192u >> mode);
}

void mapSetB()
{
    const uint32_t mode = board().chrMode & 3;
    if (mode == 0) {
        mapChr(0, board().chr[8 + 3], 8192);
        return;
    }
    const uint32_t perHalf = 1u << (mode - 1);
    for (uint32_t window = 0; window < (1u << mode); ++window)
        mapChr(window, board().chr[8 + (window % perHalf + 1) * (4 / perHalf) - 1], 8192u >> mode);
}

void mapChrSets()
{
    mapSetB();
    mmc5BackgroundPages = chrPageMap;
    mapSetA();
    backgroundChrPages = ppu.spriteHeight == 16 ? &mmc5BackgroundPages : &chrPageMap;
}

void fillPages()
{
    const Mmc5State& m = board();
    std::fill_n(ppu.memory.begin() + FillPage, 0x3C0, m.fillTile);
    std::fill_n(ppu.memory.begin() + FillPage + 0x3C0, 0x40, static_cast<uint8_t>((m.fillAttribute & 3) * 0x55));
    std::fill_n(ppu.memory.begin() + BlankPage, 0x400, uint8_t{0});
}

void mapNametables()
{
    const Mmc5State& m = board();
    for (uint32_t quadrant = 0; quadrant < 4; ++quadrant) {
        switch ((m.nametables >> (2 * quadrant)) & 3) {
        case 0: nametableMap[quadrant] = 0x2000; break;
        case 1: nametableMap[quadrant] = 0x2400; break;
        case 2: nametableMap[quadrant] = m.exramMode < 2 ? ExramPage : BlankPage; break;
        default: nametableMap[quadrant] = FillPage; break;
        }
    }
}

// 0x5201 as the frame began: the split's vertical position at its first line (derived; states are
// taken between frames).
uint8_t splitScrollAtFrameStart = 0;

// The pattern row at `offset` in a 4 KB bank of CHR: offset bank x 4096 + (0-4095).
const uint8_t* patternRowAt(uint32_t offset)
{
    const uint32_t bytes = std::max<uint32_t>(cartridge.chrKb != 0 ? cartridge.chrKb * 1024u : cartridge.chrRamBytes, 4096);
    return &cartridge.chrMemory[offset % bytes];
}

bool splitOn(const Mmc5State& m) { return (m.splitControl & 0x80) && m.exramMode < 2; }

// The split's tiles are those left of the threshold, or from it on (bit 6). Its vertical position
// is 0x5201 at the picture's first line and one more each line, 239 wrapping to 0; the line's tile
// and attribute come from ExRAM as from a nametable, the pattern from 0x5202's bank.
BoardTile shapedTile(uint32_t address, uint32_t nametableOffset, uint32_t lineTile)
{
    const Mmc5State& m = board();
    const uint32_t threshold = m.splitControl & 0x1F;
    if (splitOn(m) && ((m.splitControl & 0x40) ? lineTile >= threshold : lineTile < threshold)) {
        const uint32_t y = (splitScrollAtFrameStart + ppu.scanline) % 240, row = y >> 3, column = lineTile & 31;
        const uint8_t tile = ppu.memory[ExramPage + row * 32 + column];
        const uint8_t attributes = ppu.memory[ExramPage + 0x3C0 + (row >> 2) * 8 + (column >> 2)];
        const uint32_t shift = ((row & 2) << 1) | (column & 2);
        return {patternRowAt(m.splitBank * 4096u + tile * 16u + (y & 7)), (attributes >> shift) & 3u};
    }
    if (m.exramMode != 1)
        return {nullptr, 0};
    const uint8_t attributes = ppu.memory[ExramPage + nametableOffset];
    const uint32_t bank = static_cast<uint32_t>(m.chrUpper) << 6 | (attributes & 0x3F);
    return {patternRowAt(bank * 4096 + (address & 0xFFF)), static_cast<uint32_t>(attributes >> 6)};
}

// The renderer asks for each background tile while the split or the extended attributes are on.
void shapeTiles()
{
    const bool on = board().exramMode == 1 || splitOn(board());
    boardTile = on ? shapedTile : nullptr;
    boardShapesTiles = on;
}

// The IRQ line: the scanline IRQ's and the PCM's, each when enabled. One raised in the middle of an
// instruction (by a read or write of the CPU's) is taken after it.
void updateIrqLine(bool midInstruction = false)
{
    const Mmc5State& m = board();
    if (!(m.irqPending && m.irqEnabled) && !(m.pcmIrq && (m.pcmControl & 0x80)))
        acknowledgeIrq(IrqFromBoard);
    else if (midInstruction)
        holdIrq(IrqFromBoard);
    else
        requestIrq(IrqFromBoard);
}

// In read mode the PCM takes each byte the CPU reads from 0x8000-0xBFFF; a 0 leaves it and raises
// the PCM's IRQ flag instead, any other byte clears the flag. An IRQ raised is taken after the
// instruction that read the 0 even when the next byte read clears the flag at once (the CPU saw the
// line at that instruction's end).
void pcmRead(uint32_t address, uint8_t value)
{
    if (address >= 0xC000)
        return;
    if (value == 0) {
        board().pcmIrq = 1;
        updateIrqLine(true);
    } else {
        mmc5SoundWrite(0x5011, value);
        board().pcmIrq = 0;
    }
}

void watchReadsForPcm()
{
    const bool on = (board().pcmControl & 1) != 0;
    if (on && prgReadWatcher == nullptr)
        forgetCodeWindow();  // instructions fetched through it would pass unseen
    prgReadWatcher = on ? pcmRead : nullptr;
}

// The start of line `line` (0-240): the MMC5 sees the PPU reading the line's nametable bytes.
void lineStart(uint32_t line)
{
    Mmc5State& m = board();
    backgroundChrPages = ppu.spriteHeight == 16 ? &mmc5BackgroundPages : &chrPageMap;
    if (line >= 240 || !(ppu.showBackground || ppu.showSprites)) {
        m.inFrame = 0;
        return;
    }
    if (!m.inFrame) {
        m.inFrame = 1;
        m.lineCounter = 0;
        m.irqPending = 0;
    } else if (++m.lineCounter == m.irqCompare) {
        m.irqPending = 1;
    }
    updateIrqLine();
}

}  // namespace

void startMmc5()
{
    board() = Mmc5State{};
    board().prgMode = 3;
    board().prg = {0, 0x80, 0x80, 0x80, 0xFF};  // ROM bank 0 below the last bank: no program starts in RAM
    fillPages();
    mapPrgWindows();
    mapChrSets();
    mapNametables();
    startMmc5Sound();
    expansionSound = &Mmc5ExpansionSound;
}

void writeMmc5(uint32_t address, uint8_t value)
{
    Mmc5State& m = board();
    if (address >= 0x6000 && address < 0xE000)
        return writePrgRam(address, value);
    if (address == 0x5010) {
        m.pcmControl = value & 0x81;
        watchReadsForPcm();
        updateIrqLine(true);
        return;
    }
    if (address <= 0x5015) {
        if (address != 0x5011 || !(m.pcmControl & 1))  // read mode ignores writes
            mmc5SoundWrite(address, value);
        return;
    }
    if (address >= 0x5C00 && address < 0x6000) {
        if (m.exramMode < 2)
            ppu.memory[ExramPage + (address & 0x3FF)] = m.inFrame ? value : 0;
        else if (m.exramMode == 2)
            ppu.memory[ExramPage + (address & 0x3FF)] = value;
        return;
    }
    switch (address) {
    case 0x5100: m.prgMode = value & 3; break;
    case 0x5101: m.chrMode = value & 3; break;
    case 0x5102: m.protect[0] = value & 3; break;
    case 0x5103: m.protect[1] = value & 3; break;
    case 0x5104:
        m.exramMode = value & 3;
        shapeTiles();
        break;
    case 0x5105: m.nametables = value; break;
    case 0x5106: m.fillTile = value; fillPages(); return;
    case 0x5107: m.fillAttribute = value & 3; fillPages(); return;
    case 0x5130: m.chrUpper = value & 3; return;
    case 0x5200: m.splitControl = value & 0xDF; shapeTiles(); return;
    case 0x5201: m.splitScroll = value; return;
    case 0x5202: m.splitBank = value; return;
    case 0x5203: m.irqCompare = value; return;
    case 0x5204: m.irqEnabled = value >> 7; updateIrqLine(true); return;
    case 0x5205: m.factors[0] = value; return;
    case 0x5206: m.factors[1] = value; return;
    default:
        if (address >= 0x5113 && address <= 0x5117)
            m.prg[address - 0x5113] = value;
        else if (address >= 0x5120 && address <= 0x512B)
            m.chr[address - 0x5120] = static_cast<uint16_t>(m.chrUpper << 8 | value);
        else
            return;
        break;
    }
    mapPrgWindows();
    mapChrSets();
    mapNametables();
}

uint32_t readMmc5(uint32_t address)
{
    Mmc5State& m = board();
    if (address >= 0x5C00 && address < 0x6000)
        return m.exramMode >= 2 ? ppu.memory[ExramPage + (address & 0x3FF)] : (address >> 8);
    switch (address) {
    case 0x5010: {
        const uint32_t status = m.pcmIrq << 7 | (m.pcmControl & 1);
        m.pcmIrq = 0;
        updateIrqLine(true);
        return status;
    }
    case 0x5015: return mmc5SoundStatus();
    case 0x5204: {
        const uint32_t status = m.irqPending << 7 | m.inFrame << 6;
        m.irqPending = 0;
        updateIrqLine(true);
        return status;
    }
    case 0x5205: return (m.factors[0] * m.factors[1]) & 0xFF;
    case 0x5206: return (m.factors[0] * m.factors[1]) >> 8;
    default: return BoardDoesNotAnswer;
    }
}

// The frame's start also brings the copy of the RAM banks shown among the ROM windows, set B's page
// map and the hooks of the tiles' shapes and the PCM's read mode up to date (they are not in
// save states, and the RAM may have been loaded since).
void mmc5FrameStart()
{
    mapPrgWindows();
    mapChrSets();
    shapeTiles();
    watchReadsForPcm();
    splitScrollAtFrameStart = board().splitScroll;
    lineStart(0);
}

void mmc5LineEnd() { lineStart(ppu.scanline + 1); }

void mmc5StateFields(StateIo& io, Mmc5State& state)
{
    io.field(state.prgMode, 0, 3);
    io.field(state.chrMode, 0, 3);
    io.field(state.protect);
    io.field(state.exramMode, 0, 3);
    io.field(state.nametables);
    io.field(state.fillTile);
    io.field(state.fillAttribute, 0, 3);
    io.field(state.prg);
    io.field(state.chr);
    io.field(state.chrUpper, 0, 3);
    io.field(state.irqCompare);
    io.field(state.irqEnabled, 0, 1);
    io.field(state.irqPending, 0, 1);
    io.field(state.inFrame, 0, 1);
    io.field(state.lineCounter);
    io.field(state.factors);
    if (io.since(11)) {
        io.field(state.pcmControl);
        io.check((state.pcmControl & ~0x81) == 0);
        io.field(state.pcmIrq, 0, 1);
        io.field(state.splitControl);
        io.check((state.splitControl & 0x20) == 0);
        io.field(state.splitScroll);
        io.field(state.splitBank);
    }
}
static_assert(fieldCount<Mmc5State>() == 21, "an Mmc5State field is missing from mmc5StateFields");
