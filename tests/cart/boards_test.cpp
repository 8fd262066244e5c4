// Mapper registers, driven through cpuWrite and checked through what the CPU and PPU then see.
#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "bus/cpu_bus.h"
#include "apu/channels.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cart/save_memory.h"
#include "console/save_state.h"
#include "cpu/cpu_state.h"
#include "cpu/interrupts.h"
#include "ppu/frame_buffer.h"
#include "ppu/ppu_state.h"
#include "ppu/renderer.h"
#include "support/harness.h"

namespace {

using Pages = std::array<uint8_t, 8>;
using Windows = std::array<uint8_t, 4>;

constexpr NametableMap Horizontal{0x2000, 0x2000, 0x2400, 0x2400};
constexpr NametableMap Vertical{0x2000, 0x2400, 0x2000, 0x2400};
constexpr NametableMap LowerScreen{0x2000, 0x2000, 0x2000, 0x2000};
constexpr NametableMap UpperScreen{0x2400, 0x2400, 0x2400, 0x2400};

// A fresh machine with the mapper's image. Each PRG byte tells its bank of `prgUnit` bytes
// (k + 1), each CHR byte its 1 KB bank (k).
void loadMapper(uint8_t mapper, uint8_t prgBanks, uint8_t chrBanks, uint8_t mirroringBit = 0, size_t prgUnit = 8192)
{
    InesImage image(prgBanks, chrBanks, static_cast<uint8_t>((mapper & 0x0F) << 4 | mirroringBit), mapper & 0xF0);
    for (size_t i = 0; i < image.prg.size(); ++i)
        image.prg[i] = static_cast<uint8_t>(i / prgUnit + 1);
    for (size_t i = 0; i < image.chr.size(); ++i)
        image.chr[i] = static_cast<uint8_t>(i / 1024);
    ASSERT_EQ(loadImage(image), LoadResult::Loaded);
}

// The 1 KB CHR bank the PPU sees on each pattern page.
Pages chrPages()
{
    Pages pages{};
    for (uint32_t p = 0; p < 8; ++p)
        pages[p] = cartridge.chrMemory[chrPageMap[p]];
    return pages;
}

// What the CPU reads at 0x8000, 0xA000, 0xC000 and 0xE000.
Windows prgWindows() { return {cpuRead(0x8000), cpuRead(0xA000), cpuRead(0xC000), cpuRead(0xE000)}; }

// Every mapping and the mapper's registers.
auto snapshot() { return std::tuple(prgPageMap, chrPageMap, nametableMap, cartridge.mirroring, mapperState); }

// Five serial writes, lowest bit first, as games load an MMC1 register.
void writeMmc1(uint32_t address, uint8_t value)
{
    for (int bit = 0; bit < 5; ++bit)
        cpuWrite(address, static_cast<uint8_t>((value >> bit) & 1));
}

class Mmc1Test : public ::testing::Test {
protected:
    void SetUp() override { loadMapper(1, 8, 4, 0, 16384); }  // 128 KB PRG in 16 KB marks, 32 KB CHR
};

TEST_F(Mmc1Test, ResetMidSequenceDiscardsTheBitsAndOnlyBitZeroCounts)
{
    writeMmc1(0x8000, 0x00);  // one-screen lower, 32 KB PRG
    writeMmc1(0xE000, 0x06);
    for (int i = 0; i < 4; ++i)
        cpuWrite(0x8000, 1);
    const auto before = std::tuple(prgPageMap, chrPageMap, nametableMap);
    cpuWrite(0x8000, 0x80);
    EXPECT_EQ(mapperState.mmc1Control, 0x0Cu);
    EXPECT_EQ(std::tuple(prgPageMap, chrPageMap, nametableMap), before);

    for (uint8_t value : {0x01, 0x02, 0x7E, 0x03, 0x00})  // a whole new value: control 0x09
        cpuWrite(0x8000, value);
    EXPECT_EQ(nametableMap, UpperScreen);
    EXPECT_EQ(cpuRead(0x8000), 1);  // fixed to the first bank
    EXPECT_EQ(cpuRead(0xC000), 7);  // the PRG register's bank 6
}

TEST_F(Mmc1Test, PrgModesAndNametablesFollowTheRegisters)
{
    // Control, PRG register, the bank marks then at 0x8000 and 0xC000, and the nametables.
    const std::tuple<uint8_t, uint8_t, uint8_t, uint8_t, NametableMap> cases[] = {
        {0x00, 5, 5, 6, LowerScreen},    // 32 KB mode drops the low bit of the bank
        {0x0E, 5, 6, 8, Vertical},       // 16 KB mode, 0xC000 fixed to the last bank
        {0x0A, 5, 1, 6, Vertical},       // 16 KB mode, 0x8000 fixed to the first bank
    };
    for (const auto& [control, prg, at8000, atC000, nametables] : cases) {
        writeMmc1(0xE000, prg);
        writeMmc1(0x8000, control);
        EXPECT_EQ(prgWindows(), (Windows{at8000, at8000, atC000, atC000})) << int{control};
        EXPECT_EQ(nametableMap, nametables) << int{control};
    }
}

TEST_F(Mmc1Test, ChrModesAndAnyRegisterWriteRebuildsEveryMapping)
{
    writeMmc1(0xA000, 3);
    writeMmc1(0xC000, 6);
    writeMmc1(0x8000, 0x1C);  // 4 KB mode: both registers
    EXPECT_EQ(chrPages(), (Pages{12, 13, 14, 15, 24, 25, 26, 27}));
    writeMmc1(0x8000, 0x0F);  // 8 KB mode: register 0 without its low bit
    EXPECT_EQ(chrPages(), (Pages{8, 9, 10, 11, 12, 13, 14, 15}));

    nametableMap.fill(0);
    prgPageMap.fill(0);
    writeMmc1(0xA000, 0);
    EXPECT_EQ(nametableMap, Horizontal);
    EXPECT_EQ(prgWindows(), (Windows{1, 1, 8, 8}));
}

TEST(Mmc1Large, ChrRegisterBitFourPicksThe256KbHalfOfBothWindows)
{
    loadMapper(1, 32, 0, 0, 16384);  // 512 KB PRG, CHR RAM
    EXPECT_EQ(prgWindows(), (Windows{1, 1, 16, 16})) << "the first half at power-on";
    EXPECT_EQ(mapperState.mmc1Control, 0x0Cu) << "the reset write at power-on";
    const std::array<uint8_t, 4> cases[] = {
        // CHR register 0, PRG register, then 0x8000 and 0xC000
        {0x10, 3, 20, 32}, {0x00, 0x13, 4, 16}, {0x1F, 15, 32, 32},
    };  // 0x13: bit 4 of the PRG register is not a bank bit
    for (const auto& [chr, prg, at8000, atC000] : cases) {
        writeMmc1(0xE000, prg);
        writeMmc1(0xA000, chr);
        EXPECT_EQ(prgWindows(), (Windows{at8000, at8000, atC000, atC000})) << int{chr} << " " << int{prg};
    }
    writeMmc1(0x8000, 0x08);  // 0x8000 fixed to the first bank of the half
    EXPECT_EQ(prgWindows(), (Windows{17, 17, 32, 32}));
}

// The MMC3's CHR inversion bit and its scanline counter (reload, enable, acknowledge, the layers that
// clock it) change the recorded frames of the golden runs' MMC3 ROMs: scattered_writes and the mmc3_test ones.
class Mmc3Test : public ::testing::Test {
protected:
    void SetUp() override { loadMapper(4, 4, 2, 0x01); }  // 64 KB PRG, 16 KB CHR, vertical
};

TEST_F(Mmc3Test, PrgWindowsFollowR6AndR7)
{
    ASSERT_EQ(prgWindows(), (Windows{1, 2, 7, 8}));
    // 0xA000 always R7, 0xE000 the last bank; bit 6 swaps R6 and the second-to-last bank, at once.
    const std::pair<std::array<uint8_t, 2>, Windows> steps[] = {
        {{0x40, 0}, {7, 2, 1, 8}},  // bit 6 alone remaps
        {{0x06, 2}, {3, 2, 7, 8}},  // R6 at 0x8000
        {{0x07, 4}, {3, 5, 7, 8}},  // R7 at 0xA000
        {{0x46, 5}, {7, 5, 6, 8}},  // bit 6: R6 at 0xC000
        {{0x47, 0}, {7, 1, 6, 8}},  // R7 stays at 0xA000
    };
    for (const auto& [write, windows] : steps) {
        cpuWrite(0x8000, write[0]);
        if (write[0] & 7)
            cpuWrite(0x8001, write[1]);
        EXPECT_EQ(prgWindows(), windows) << "select " << int{write[0]};
    }
    cpuWrite(0x8000, 0x00);
    EXPECT_EQ(prgWindows(), (Windows{6, 1, 7, 8})) << "both registers kept their values";
}

TEST_F(Mmc3Test, MirroringUsesBitZeroAndEveryRegisterIsDecodedByA0OverIts8Kb)
{
    for (uint8_t value : {0xFF, 0xFE}) {
        cpuWrite(0xA000, value);
        EXPECT_EQ(cartridge.mirroring, value & 1 ? Mirroring::Horizontal : Mirroring::Vertical) << int{value};
        EXPECT_EQ(nametableMap, value & 1 ? Horizontal : Vertical) << int{value};
    }
    // A register and its mirror at the top of its 8 KB: the same write, the same machine after it.
    const auto after = [](uint32_t address) {
        loadMapper(4, 4, 2, 0x01);
        cpuWrite(0xC000, 5);
        mapperState.mmc3IrqCounter = 3;
        holdIrq(IrqFromBoard);
        cpuWrite(address, 0xC5);
        return std::tuple(snapshot(), cpu.irqPending);
    };
    const auto untouched = after(0x6000);
    for (const auto& [reg, mirror] : {std::pair(0x8000u, 0x9FFEu), std::pair(0x8001u, 0x9FFFu),
                                      std::pair(0xA000u, 0xBFFEu), std::pair(0xC000u, 0xDFFEu),
                                      std::pair(0xC001u, 0xDFFFu), std::pair(0xE000u, 0xFFFEu),
                                      std::pair(0xE001u, 0xFFFFu)}) {
        EXPECT_NE(after(reg), untouched) << std::hex << reg;
        EXPECT_EQ(after(mirror), after(reg)) << std::hex << mirror;
    }
}

// An iNES MMC3 may be an MMC6 game writing 0xA001 with the MMC6's meaning: its RAM stays open.
TEST_F(Mmc3Test, AnInesImageIgnoresTheRamEnable)
{
    cpuWrite(0xA001, 0x00);
    cpuWrite(0x6000, 7);
    EXPECT_EQ(cpuRead(0x6000), 7);
}

// The scanline counters, clocked at the end of each line: with a reload value of 0 the MMC3 raises
// its IRQ on every clock, the MMC6 only on the clock after a 0xC001 write; the TC0690 is the MMC3
// with its reload written inverted (0xFF for 0) at 0xC000-0xC003; the RAMBO-1 reloads to its latch
// + 1 at the clock after a 0xC001 write, so a latch of 1 raises it on the third line, then every second.
TEST(ScanlineCounters, RaiseTheIrqOnTheLinesTheBoardSays)
{
    struct Case {
        uint16_t mapper;
        uint8_t submapper;
        std::array<uint16_t, 4> registers;  // reload, clear, enable, acknowledge
        uint8_t reload;
        std::vector<bool> irqs;
    };
    const Case cases[] = {
        {4, 0, {0xC000, 0xC001, 0xE001, 0xE000}, 0, {true, true, true, true}},
        {4, 1, {0xC000, 0xC001, 0xE001, 0xE000}, 0, {true, false, false, false}},
        {48, 0, {0xC000, 0xC001, 0xC002, 0xC003}, 0xFF, {true, true, true, true}},
        {64, 0, {0xC000, 0xC001, 0xE001, 0xE000}, 1, {false, false, true, false}},
    };
    for (const Case& c : cases) {
        InesImage image(8, 4, static_cast<uint8_t>(c.mapper << 4), static_cast<uint8_t>((c.mapper & 0xF0) | 0x08));
        image.header[8] = static_cast<uint8_t>(c.submapper << 4);
        ASSERT_EQ(loadImage(image), LoadResult::Loaded);
        ppu.showBackground = 1;
        cpu.p |= FlagI;  // IRQs held, not taken
        cpuWrite(c.registers[0], c.reload);
        cpuWrite(c.registers[1], 0);
        std::vector<bool> irqs;
        for (int line = 0; line < 4; ++line) {
            cpuWrite(c.registers[2], 0);  // enabled; the acknowledge took the last
            boardLineEnd();
            irqs.push_back(cpu.irqPending != 0);
            cpuWrite(c.registers[3], 0);
        }
        EXPECT_EQ(irqs, c.irqs) << c.mapper << "." << int{c.submapper};
    }
}

// The MMC5's scanline IRQ comes at the start of the line its compare names (never for 0), and its
// status (pending, in-frame) clears the pending flag when read; ExRAM mode 1 gives each background
// tile its pattern bank and palette; with 8x16 sprites the background's patterns come from set B,
// the sprites' from set A.
TEST(Mmc5, ScanlineIrqExtendedAttributesAndTheBackgroundsSet)
{
    for (const uint8_t compare : {1, 100, 239, 0}) {
        loadMapper(5, 8, 16);
        ppu.showBackground = 1;
        cpu.p |= FlagI;
        cpuWrite(0x5203, compare);
        cpuWrite(0x5204, 0x80);
        boardFrameStart();
        int32_t raisedAt = -1;
        for (uint32_t line = 0; line < 239 && raisedAt < 0; ++line) {
            ppu.scanline = line;
            boardLineEnd();  // the start of the next line
            if (cpu.irqPending)
                raisedAt = static_cast<int32_t>(line + 1);
        }
        EXPECT_EQ(raisedAt, compare == 0 ? -1 : compare);
        EXPECT_EQ(cpuRead(0x5204), compare == 0 ? 0x40 : 0xC0) << int{compare};
        EXPECT_EQ(std::pair(cpuRead(0x5204), cpu.irqPending), std::pair(uint8_t{0x40}, uint8_t{0})) << int{compare};
    }
    // Extended attributes: the ExRAM byte 0xC5 of the first tile gives it 4 KB bank 5 (pattern bytes
    // 20: columns 3 and 5 at value 3) and palette 3. Without them, CHR page 0 (all 0): the backdrop.
    cpuWrite(0x5104, 2);
    cpuWrite(0x5C00, 0xC5);
    ppu.memory[0x3F0F] = 0x2A;
    ppu.showBackground = ppu.backgroundLeftColumn = 1;
    for (const uint8_t mode : {2, 1}) {
        cpuWrite(0x5104, mode);
        ppu.scanline = 0;
        renderPixels(0, 8);
        EXPECT_EQ(std::vector<uint8_t>(frameBuffer.begin(), frameBuffer.begin() + 8),
                  mode == 1 ? (std::vector<uint8_t>{0, 0, 0, 0x2A, 0, 0x2A, 0, 0}) : std::vector<uint8_t>(8, 0));
    }
    // The split, left of tile 1 or from it on, draws from ExRAM as a nametable with 0x5202's bank 5
    // and its own scroll: row 0's tiles 0 (pattern bytes 20), row 1's first tile 64 (bytes 21:
    // columns 3, 5 and 7), palette 3 from ExRAM's attributes; the other tiles as fetched (page 0).
    cpuWrite(0x5104, 2);
    for (const auto& [address, value] : {std::pair(0x5C00, 0), std::pair(0x5C20, 64), std::pair(0x5FC0, 0xFF), std::pair(0x5104, 0),
                                         std::pair(0x5202, 5)})
        cpuWrite(static_cast<uint16_t>(address), static_cast<uint8_t>(value));
    const std::vector<uint8_t> blank(8, 0), row0{0, 0, 0, 0x2A, 0, 0x2A, 0, 0}, row1{0, 0, 0, 0x2A, 0, 0x2A, 0, 0x2A};
    const std::tuple<uint8_t, uint8_t, std::vector<uint8_t>, std::vector<uint8_t>> splits[] = {
        {0x81, 0, row0, blank}, {0x81, 8, row1, blank}, {0xC1, 0, blank, row0}, {0x01, 0, blank, blank}};
    for (const auto& [control, scroll, first, second] : splits) {
        cpuWrite(0x5200, control);
        cpuWrite(0x5201, scroll);
        boardFrameStart();  // the scroll the frame starts with
        cpuWrite(0x5201, 0);
        renderPixels(0, 16);
        EXPECT_EQ(std::vector<uint8_t>(frameBuffer.begin(), frameBuffer.begin() + 8), first) << int{control} << " " << int{scroll};
        EXPECT_EQ(std::vector<uint8_t>(frameBuffer.begin() + 8, frameBuffer.begin() + 16), second) << int{control} << " " << int{scroll};
    }
    cpuWrite(0x5101, 3);  // 1 KB banks: set A's first 5, set B's first 9
    cpuWrite(0x5120, 5);
    cpuWrite(0x5128, 9);
    for (const bool tall : {false, true}) {
        cpuWrite(0x2000, tall ? 0x20 : 0x00);
        boardFrameStart();
        EXPECT_EQ(std::pair(chrPageMap[0] / 1024, (*backgroundChrPages)[0] / 1024), std::pair(5u, tall ? 9u : 5u)) << tall;
    }
}

// PRG RAM in the ROM windows: a register of 0x5114-0x5116 with bit 7 clear shows RAM bank (v & 7),
// the same bytes as at 0x6000, written there while the RAM is unprotected; 0x5117 is always ROM.
// The windows keep showing the RAM as it is after a state is loaded.
TEST(Mmc5, PrgRamInTheRomWindows)
{
    loadMapper(5, 8, 16);  // 8 KB PRG bank k holds k + 1
    cpuWrite(0x5102, 2);
    cpuWrite(0x5103, 1);
    cpuWrite(0x5113, 2);
    cpuWrite(0x6000, 0xAB);
    cpuWrite(0x5114, 0x02);  // mode 3: RAM bank 2 at 0x8000
    EXPECT_EQ(cpuRead(0x8000), 0xAB);
    cpuWrite(0x8001, 0xCD);
    EXPECT_EQ(cpuRead(0x6001), 0xCD);
    cpuWrite(0x6002, 0xEF);
    EXPECT_EQ(cpuRead(0x8002), 0xEF);
    cpuWrite(0x5114, 0x82);  // ROM bank 2: writes to it are dropped
    cpuWrite(0x8001, 0x11);
    EXPECT_EQ(std::pair(cpuRead(0x8001), cpuRead(0x6001)), std::pair(uint8_t{3}, uint8_t{0xCD}));
    cpuWrite(0x5100, 1);  // 16 KB windows: RAM banks 2 and 3 from 0x5115, 0x5117 ROM whatever its bit 7
    cpuWrite(0x5115, 0x03);
    cpuWrite(0x5117, 0x06);
    EXPECT_EQ((std::array{cpuRead(0x8000), cpuRead(0xC000), cpuRead(0xE000)}), (std::array<uint8_t, 3>{0xAB, 7, 8}));
    cpuWrite(0x5102, 0);  // protected
    cpuWrite(0xA000, 0x22);
    cpuWrite(0x8000, 0x22);
    EXPECT_EQ(std::pair(cpuRead(0x8000), cartridge.prgRam[3 * 8192]), std::pair(uint8_t{0xAB}, uint8_t{0}));

    const std::vector<uint8_t> state = saveState();
    cpuWrite(0x5102, 2);
    cpuWrite(0x8000, 0x33);
    ASSERT_EQ(loadState(state), StateLoad::Loaded);
    boardFrameStart();
    EXPECT_EQ(cpuRead(0x8000), 0xAB);
}

// The boards' IRQ counters that count CPU cycles, each to the cycle: the VRC's counts up from its
// latch and raises the IRQ as it passes 0xFF, each cycle in cycle mode, each 113 2/3 in scanline
// mode (so the 16th count comes after 1818 2/3), and after an acknowledge goes on only with bit 0
// (A) of its control; the FME-7's, Sunsoft-3's and SS88006's count down and raise it as they pass
// 0 (after N + 1 cycles; the SS88006's only its low 4, 8, 12 or 16 bits), the H3001's as it reaches 0;
// the RAMBO-1's in cycle mode counts every fourth cycle, from its latch + 1 after a 0xC001 write.
TEST(CycleCounters, RaiseTheIrqOnTheirCycleAndAfterAnAcknowledgeAsTheBoardSays)
{
    struct Case {
        uint8_t mapper;
        std::vector<std::pair<uint32_t, uint8_t>> start, acknowledge;
        uint32_t first;  // cycles after the start
        bool again;      // raised again by three times that
    };
    const Case cases[] = {
        {21, {{0xF000, 0x0E}, {0xF002, 0x0F}, {0xF004, 0x06}}, {{0xF006, 0}}, 2, false},  // iNES: 0xF000-0xF006
        {21, {{0xF000, 0x00}, {0xF002, 0x0F}, {0xF004, 0x03}}, {{0xF006, 0}}, 1819, true},
        {69, {{0x8000, 14}, {0xA000, 100}, {0x8000, 15}, {0xA000, 0}, {0x8000, 13}, {0xA000, 0x81}}, {{0xA000, 0x81}}, 101,
         false},
        {64, {{0xC000, 10}, {0xC001, 1}, {0xE001, 0}}, {{0xE000, 0}, {0xE001, 0}}, 48, true},  // RAMBO-1: (10 + 2) x 4
        {19, {{0x5000, 0xFD}, {0x5800, 0xFF}}, {{0x5800, 0x7F}}, 2, false},  // Namco 163: up to 0x7FFF
        {16, {{0x600B, 100}, {0x600C, 0}, {0x600A, 1}}, {{0x600A, 1}}, 100, false},  // Bandai FCG: the counter itself
        {16, {{0x800B, 100}, {0x800C, 0}, {0x800A, 1}}, {{0x800A, 1}}, 100, true},   // LZ93D50: 0x800A reloads it
        {67, {{0xC800, 0}, {0xC800, 100}, {0xD800, 0x10}}, {{0x8000, 0}}, 101, false},  // Sunsoft-3: then it pauses
        {65, {{0x9005, 0}, {0x9006, 100}, {0x9004, 0}, {0x9003, 0x80}}, {{0x9003, 0x80}}, 100, false},  // H3001: stays at 0
        {18, {{0xE000, 4}, {0xE001, 6}, {0xF000, 0}, {0xF001, 1}}, {{0xF001, 1}}, 101, false},  // SS88006, 16 bits
        {18, {{0xE000, 15}, {0xE001, 3}, {0xE002, 2}, {0xE003, 1}, {0xF000, 0}, {0xF001, 9}}, {{0xF001, 9}}, 16, true},  // 0x123F, 4 bits
    };
    for (const Case& c : cases) {
        loadMapper(c.mapper, 8, 16);
        cpu.p |= FlagI;
        for (const auto& [address, value] : c.start)
            cpuWrite(address, value);
        // Through a save state, into a machine whose counter was due much later.
        const std::vector<uint8_t> state = saveState();
        deviceClockDue = cpu.totalCycles + (1u << 30);
        ASSERT_EQ(loadState(state), StateLoad::Loaded);
        const uint32_t start = cpu.totalCycles;
        const auto irqAfter = [start](uint32_t cycles) {
            cpu.totalCycles = start + cycles;
            apuStepDueEvents();  // as after an instruction
            return (cpu.irqPending & IrqFromBoard) != 0;
        };
        EXPECT_FALSE(irqAfter(c.first - 1)) << c.first;
        EXPECT_TRUE(irqAfter(c.first)) << c.first;
        for (const auto& [address, value] : c.acknowledge)
            cpuWrite(address, value);
        EXPECT_FALSE(irqAfter(c.first)) << "acknowledged";
        EXPECT_EQ(irqAfter(3 * c.first), c.again) << c.first;
    }
}

// The game drives the EEPROM's clock and data through 0x800D and reads the data back in bit 4 of
// 0x6000: a 24C02 (mapper 16) takes a device byte, an address and a page of bytes, and reads them
// back after a repeated start; a 24C01 (159) takes the address and the read bit in its first byte.
// Every byte it takes is acknowledged (0), and the bytes are the save memory.
TEST(BandaiEeprom, WritesAndReadsBackThroughTheSerialLines)
{
    const auto lines = [](int clock, int data) { cpuWrite(0x800D, static_cast<uint8_t>(data << 6 | clock << 5)); };
    const auto sda = [] { return (cpuRead(0x6000) >> 4) & 1; };
    const auto start = [&] { lines(0, 1); lines(1, 1); lines(1, 0); lines(0, 0); };
    const auto stop = [&] { lines(0, 0); lines(1, 0); lines(1, 1); };
    const auto send = [&](uint8_t byte) {
        for (int bit = 7; bit >= 0; --bit) {
            lines(0, (byte >> bit) & 1);
            lines(1, (byte >> bit) & 1);
        }
        lines(0, 1);
        lines(1, 1);
        const int acknowledge = sda();
        lines(0, 1);
        return acknowledge;
    };
    const auto receive = [&](bool last) {
        int byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
            lines(0, 1);
            lines(1, 1);
            byte = byte << 1 | sda();
        }
        lines(0, last ? 1 : 0);
        lines(1, last ? 1 : 0);
        lines(0, 1);
        return byte;
    };
    for (const bool x24c01 : {false, true}) {
        InesImage image(8, 16, x24c01 ? 0xF2 : 0x02, x24c01 ? 0x98 : 0x18);
        image.header[8] = x24c01 ? 0 : 0x50;
        image.header[10] = x24c01 ? 0x10 : 0x20;  // 128 or 256 bytes of battery-backed memory
        ASSERT_EQ(loadImage(image), LoadResult::Loaded);
        std::vector<int> acknowledges;
        start();
        for (const uint8_t byte : x24c01 ? std::vector<uint8_t>{0x10 << 1, 0x5A, 0xA5} : std::vector<uint8_t>{0xA0, 0x10, 0x5A, 0xA5})
            acknowledges.push_back(send(byte));
        stop();
        start();
        if (!x24c01) {
            acknowledges.push_back(send(0xA0));
            acknowledges.push_back(send(0x10));
            start();
        }
        acknowledges.push_back(send(x24c01 ? 0x10 << 1 | 1 : 0xA1));
        const std::vector<int> read = {receive(false), receive(true)};
        stop();
        EXPECT_EQ(sda(), 1) << "released after the stop";
        EXPECT_EQ(read, (std::vector<int>{0x5A, 0xA5})) << x24c01;
        EXPECT_EQ(acknowledges, std::vector<int>(acknowledges.size(), 0)) << x24c01;
        EXPECT_EQ(std::vector<uint8_t>(saveMemory().begin() + 0x10, saveMemory().begin() + 0x12), (std::vector<uint8_t>{0x5A, 0xA5}));
    }
}

TEST(Axrom, SwitchesThirtyTwoKbBanksAndTheOneScreen)
{
    // 1 MB of PRG, so a bank number that kept bit 4 would not wrap back onto the same bank.
    loadMapper(7, 64, 0, 0x01, 16384);
    ASSERT_EQ(nametableMap, Vertical);
    // Address and value written, the bank mark then read at 0x8000, and the nametables.
    const std::pair<std::array<uint32_t, 3>, NametableMap> cases[] = {{{0xFFFF, 0x12, 5}, UpperScreen},
                                                                      {{0xA000, 0x01, 3}, LowerScreen}};
    for (const auto& [write, nametables] : cases) {
        cpuWrite(write[0], static_cast<uint8_t>(write[1]));
        const auto bank = static_cast<uint8_t>(write[2]);
        EXPECT_EQ(prgWindows(), (Windows{bank, bank, uint8_t(bank + 1), uint8_t(bank + 1)})) << write[1];
        EXPECT_EQ(nametableMap, nametables) << write[1];
    }
}

TEST(Mmc2, EachPatternTableShowsTheBankOfItsLatchAndDataPortReadsFlipIt)
{
    loadMapper(9, 8, 16);  // 128 KB PRG, 128 KB CHR (32 banks of 4 KB)
    for (uint32_t address = 0xB000; address <= 0xE000; address += 0x1000)
        cpuWrite(address | 0x0FFF, static_cast<uint8_t>((address >> 12) - 0xB + 3));  // 3, 4, 5, 6
    // 4 KB banks seen at 0x0000 and 0x1000 after a data-port read (nothing: 0), starting at FE/FE.
    const std::pair<uint32_t, std::array<uint8_t, 2>> reads[] = {
        {0, {4, 6}},       {0x0FD8, {3, 6}}, {0x1FDF, {3, 5}}, {0x0FE8, {4, 5}},
        {0x0FD0, {4, 5}},  // the low plane's rows leave the latch
        {0x1FE9, {4, 6}},  {0x0FF8, {4, 6}},
    };
    for (const auto& [address, banks] : reads) {
        if (address != 0) {
            cpuWrite(0x2006, static_cast<uint8_t>(address >> 8));
            cpuWrite(0x2006, static_cast<uint8_t>(address));
            cpuRead(0x2007);
        }
        const std::array<uint8_t, 2> seen = {static_cast<uint8_t>(chrPages()[0] / 4),
                                             static_cast<uint8_t>(chrPages()[4] / 4)};
        EXPECT_EQ(seen, banks) << std::hex << address;
    }
}

TEST(RegisterlessMappers, IgnoreEveryWriteAndNeverClockTheMmc3Counter)
{
    for (uint8_t mapper : {0, 6, 255}) {
        loadMapper(mapper, 8, 4);
        ASSERT_EQ(cartridge.mapperNumber, mapper);
        const auto before = snapshot();
        for (uint32_t address : {0x8000u, 0xA000u, 0xC001u, 0xE001u, 0xF000u, 0xFFFFu})
            cpuWrite(address, 0x13);
        EXPECT_EQ(snapshot(), before) << int{mapper};
    }
    ppu.showBackground = 1;
    mapperState.mmc3IrqCounter = 1;
    mapperState.mmc3IrqEnabled = 1;
    boardLineEnd();
    EXPECT_EQ(mapperState.mmc3IrqCounter, 1u);
    EXPECT_FALSE(cpu.irqPending);
}

}  // namespace
