// Mapper registers, driven through cpuWrite and checked through what the CPU and PPU then see.
#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "bus/cpu_bus.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cpu/cpu_state.h"
#include "cpu/interrupts.h"
#include "ppu/ppu_state.h"
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

// ---------------------------------------------------------------- MMC1

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

// ---------------------------------------------------------------- UxROM

// ---------------------------------------------------------------- the simple boards

TEST(SimpleBoards, PrgAndChrBanksAndNametables)
{
    struct Case {
        uint8_t mapper;
        uint8_t flags6;                                    // the mirroring bits
        std::vector<std::pair<uint32_t, uint8_t>> writes;  // from power-on
        Windows prg;                                       // the 8 KB bank marks at 0x8000-0xE000
        std::array<uint32_t, 2> chr;                       // the 1 KB CHR pages at 0x0000 and 0x1000
        NametableMap nametables;
    };
    // 128 KB PRG; 128 KB CHR ROM, or the board's CHR RAM (13, 28, 30). The ROM byte under a write
    // is 0xFF but at the start of an 8 KB window (its bank mark): a board with bus conflicts ANDs a
    // write to 0x8000 with 1.
    const Case cases[] = {
        {2, 0, {{0xC123, 0x03}, {0x7FFF, 0x01}}, {7, 8, 15, 16}, {0, 4}, Horizontal},    // UxROM; not 0x7FFF
        {2, 0, {{0x8001, 0x09}}, {3, 4, 15, 16}, {0, 4}, Horizontal},                    // bank 9 of 8 wraps
        {4, 0, {{0x8000, 0}, {0x8001, 5}}, {1, 2, 15, 16}, {4, 4}, Horizontal},          // MMC3 R0 ignores bit 0
        {3, 0, {{0x8001, 0x02}}, {1, 2, 15, 16}, {16, 20}, Horizontal},                  // CNROM
        {3, 0, {{0x8000, 0x03}}, {1, 2, 15, 16}, {8, 12}, Horizontal},                   // ...its bus conflict
        {66, 0, {{0x8000, 0x21}}, {9, 10, 11, 12}, {8, 12}, Horizontal},                 // GxROM
        {11, 0, {{0xFFFF, 0x31}}, {5, 6, 7, 8}, {24, 28}, Horizontal},                   // Color Dreams
        {34, 0, {{0x8000, 0x03}}, {13, 14, 15, 16}, {0, 4}, Horizontal},                 // BNROM
        {71, 0, {{0xC000, 0x02}, {0x9000, 0x10}, {0x8000, 0x13}}, {5, 6, 15, 16}, {0, 4}, UpperScreen},
        {9, 0, {{0xAFFF, 0x05}, {0xF000, 0x00}}, {6, 14, 15, 16}, {0, 0}, Vertical},    // MMC2
        {10, 0, {{0xA000, 0x03}, {0xC000, 0x05}}, {7, 8, 15, 16}, {20, 0}, Horizontal},  // MMC4
        {13, 0, {{0x8001, 0x02}}, {1, 2, 3, 4}, {0, 8}, Horizontal},                     // CPROM (CHR RAM)
        {180, 0, {{0x8000, 0x03}}, {1, 2, 3, 4}, {0, 4}, Horizontal},                    // UNROM (AND)
        {232, 0, {{0x8001, 0x08}, {0xC001, 0x02}}, {13, 14, 15, 16}, {0, 4}, Horizontal},  // Quattro
        {78, 0, {{0x8001, 0x2A}}, {5, 6, 15, 16}, {16, 20}, UpperScreen},                // 78.1
        {78, 8, {{0x8001, 0x2A}}, {5, 6, 15, 16}, {16, 20}, Vertical},                   // 78.3
        {79, 0, {{0x4100, 0x0A}, {0x4200, 0x01}}, {5, 6, 7, 8}, {16, 20}, Horizontal},   // NINA: 0x42xx not
        {87, 0, {{0x6000, 0x01}}, {1, 2, 15, 16}, {16, 20}, Horizontal},                 // J87: bits swapped
        {140, 0, {{0x7FFF, 0x23}}, {9, 10, 11, 12}, {24, 28}, Horizontal},               // JF-11/14
        {184, 0, {{0x6000, 0x12}}, {1, 2, 15, 16}, {8, 20}, Horizontal},                 // Sunsoft-1
        {30, 8, {{0x8001, 0xE3}}, {7, 8, 15, 16}, {24, 28}, UpperScreen},                // UNROM 512
        {30, 2, {{0x9555, 0xAA}, {0xC001, 0x02}}, {5, 6, 15, 16}, {0, 4}, Horizontal},   // ...flashable
        {185, 0, {{0x8001, 0x21}}, {1, 2, 15, 16}, {0, 4}, Horizontal},                  // CHR on
        {185, 0, {{0x8001, 0x13}}, {1, 2, 15, 16}, {1023, 1023}, Horizontal},            // ...off: 0xFF
        // TxSROM: bit 7 of R0/R1 picks the nametables in CHR mode 0, of R2-R5 in mode 1.
        {118, 0, {{0x8000, 0}, {0x8001, 0x80}}, {1, 2, 15, 16}, {0, 4}, {0x2400, 0x2400, 0x2000, 0x2000}},
        {118, 0, {{0x8000, 0x85}, {0x8001, 0x80}}, {1, 2, 15, 16}, {4, 0}, {0x2000, 0x2000, 0x2000, 0x2400}},
        // Namco 108: R6 = 3, R0 = 5 (a 2 KB bank), R2 = 7; 88 takes R2 from the upper 64 KB; 154
        // one-screen from bit 6; 95 the upper nametables from R0 bit 5.
        {206, 0, {{0x8000, 6}, {0x8001, 3}, {0x8000, 0}, {0x8001, 5}, {0x8000, 2}, {0x8001, 7}}, {4, 2, 15, 16},
         {4, 7}, Horizontal},
        {88, 0, {{0x8000, 2}, {0x8001, 7}}, {1, 2, 15, 16}, {0, 71}, Horizontal},
        {154, 0, {{0x8001, 0x40}}, {1, 2, 15, 16}, {0, 64}, UpperScreen},
        {95, 0, {{0x8000, 0}, {0x8001, 0x25}}, {1, 2, 15, 16}, {36, 0}, {0x2400, 0x2400, 0x2000, 0x2000}},
        // Action 53: mode 0x1F (fixed last half, 64 KB games, horizontal), outer bank 1, inner 2,
        // CHR bank 3; in one-screen mode bit 4 of an inner write picks the screen.
        {28, 0, {{0x5000, 0x80}, {0x8000, 0x1F}, {0x5000, 0x81}, {0x8000, 1}, {0x5000, 1}, {0x8000, 2},
                 {0x5000, 0}, {0x8000, 3}}, {5, 6, 7, 8}, {24, 28}, Horizontal},
        {28, 0, {{0x5001, 0x01}, {0x8000, 0x10}}, {13, 14, 15, 16}, {0, 4}, UpperScreen},
    };
    for (const Case& c : cases) {
        const bool chrRam = c.mapper == 13 || c.mapper == 28 || c.mapper == 30;
        loadMapper(c.mapper, 8, chrRam ? 0 : 16, c.flags6);
        for (const auto& [address, value] : c.writes) {
            if (address >= 0x8000 && (address & 0x1FFF) != 0)
                cartridge.prgRom[prgPageMap[(address - 0x8000) >> 10] + (address & 0x3FF)] = 0xFF;
            cpuWrite(address, value);
        }
        const std::array<uint32_t, 2> chr = {chrPageMap[0] / 1024, chrPageMap[4] / 1024};
        EXPECT_EQ(std::tuple(prgWindows(), chr, nametableMap), std::tuple(c.prg, c.chr, c.nametables)) << int{c.mapper};
    }
}

// ---------------------------------------------------------------- MMC3
// (The CHR inversion bit and the scanline counter, its reload, enable, acknowledge and the layers
// that clock it, change the recorded frames of the golden runs' MMC3 ROMs: mmc3_irq and
// scattered_writes.)

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

// ---------------------------------------------------------------- AxROM

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

// ---------------------------------------------------------------- MMC2

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

// ---------------------------------------------------------------- PRG RAM control

// A NES 2.0 image of the mapper, 128 KB PRG, 32 KB CHR ROM (none when chrBanks is 0), with the
// PRG RAM of header byte 10.
void loadWithRam(uint8_t mapper, uint8_t ramByte, uint8_t chrBanks = 4)
{
    InesImage image(8, chrBanks, static_cast<uint8_t>(mapper << 4), static_cast<uint8_t>((mapper & 0xF0) | 0x08));
    image.header[10] = ramByte;
    ASSERT_EQ(loadImage(image), LoadResult::Loaded);
}

TEST(PrgRamControl, Mmc1BanksAndSwitchesItOffMmc3AndMmc6ProtectIt)
{
    // SXROM: 32 KB banked by bits 2-3 of CHR register 0; each bank keeps its own byte.
    loadWithRam(1, 0x09);
    for (uint8_t bank = 0; bank < 4; ++bank) {
        writeMmc1(0xA000, static_cast<uint8_t>(bank << 2));
        cpuWrite(0x6000, static_cast<uint8_t>(0x10 + bank));
    }
    for (uint8_t bank = 0; bank < 4; ++bank) {
        writeMmc1(0xA000, static_cast<uint8_t>(bank << 2));
        EXPECT_EQ(cpuRead(0x6000), 0x10 + bank) << int{bank};
    }
    writeMmc1(0xE000, 0x10);  // off: open bus, writes dropped
    cpuWrite(0x6000, 0x99);
    EXPECT_EQ(cpuRead(0x6000), 0x60);
    writeMmc1(0xE000, 0x00);
    EXPECT_EQ(cpuRead(0x6000), 0x13);
    // SNROM (8 KB CHR RAM): bit 4 of CHR register 0 switches the RAM off.
    loadWithRam(1, 0x70, 0);
    cpuWrite(0x6000, 0x42);
    writeMmc1(0xA000, 0x10);
    EXPECT_EQ(cpuRead(0x6000), 0x60);
    // MMC3 of a NES 2.0 header: 0xA001 bit 7 on, bit 6 read-only; an iNES MMC3 leaves its RAM open.
    loadWithRam(4, 0x70);
    cpuWrite(0x6000, 5);
    cpuWrite(0xA001, 0xC0);
    cpuWrite(0x6000, 9);
    EXPECT_EQ(cpuRead(0x6000), 5);
    cpuWrite(0xA001, 0x00);
    EXPECT_EQ(cpuRead(0x6000), 0x60);
    loadMapper(4, 8, 4);
    cpuWrite(0xA001, 0x00);
    cpuWrite(0x6000, 7);
    EXPECT_EQ(cpuRead(0x6000), 7);
    // MMC6: 1 KB at 0x7000-0x7FFF in two halves, each with read (bits 5, 7) and write (4, 6)
    // enables behind 0x8000 bit 5; a half not enabled reads 0 while the other is.
    InesImage mmc6(8, 4, 0x40, 0x08);
    mmc6.header[8] = 0x10;
    mmc6.header[10] = 0x40;
    ASSERT_EQ(loadImage(mmc6), LoadResult::Loaded);
    cpuWrite(0x8000, 0x20);
    cpuWrite(0xA001, 0x30);
    cpuWrite(0x7000, 0x11);
    cpuWrite(0x7200, 0x22);  // the upper half may not be written
    EXPECT_EQ(std::tuple(cpuRead(0x7000), cpuRead(0x7C00), cpuRead(0x7200), cpuRead(0x6000)),
              std::tuple(uint8_t{0x11}, uint8_t{0x11}, uint8_t{0}, uint8_t{0x60}));
    cpuWrite(0xA001, 0xF0);
    cpuWrite(0x7200, 0x22);
    EXPECT_EQ(cpuRead(0x7E00), 0x22);
    cpuWrite(0x8000, 0x00);  // RAM off: 0xA001 cleared and ignored
    cpuWrite(0xA001, 0xF0);
    EXPECT_EQ(cpuRead(0x7000), 0x70);
}

// TQROM: 64 KB of CHR ROM and 8 KB of CHR RAM; bit 6 of a bank value picks the RAM, and only the
// RAM takes the data port's writes.
TEST(ChrRamBesideRom, TqromWritesLandOnlyInItsRamPages)
{
    loadMapper(119, 8, 8);
    cpuWrite(0x8000, 2);
    cpuWrite(0x8001, 0x43);  // 0x1000: RAM page 3
    cpuWrite(0x8000, 3);
    cpuWrite(0x8001, 0x05);  // 0x1400: ROM page 5
    const auto at = [](uint32_t address) {
        cpuWrite(0x2006, static_cast<uint8_t>(address >> 8));
        cpuWrite(0x2006, static_cast<uint8_t>(address));
    };
    for (const uint32_t address : {0x1000u, 0x1400u}) {
        at(address);
        cpuWrite(0x2007, 0xA5);
    }
    for (const auto& [address, value] : {std::pair(0x1000u, 0xA5), std::pair(0x1400u, 5)}) {
        at(address);
        cpuRead(0x2007);  // the buffer's old byte
        EXPECT_EQ(cpuRead(0x2007), value) << std::hex << address;
    }
    EXPECT_EQ(chrPageMap[4], 64u * 1024 + 3 * 1024);
}

// ---------------------------------------------------------------- mappers without registers

TEST(RegisterlessMappers, IgnoreEveryWriteAndNeverClockTheMmc3Counter)
{
    for (uint8_t mapper : {0, 5, 255}) {
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
