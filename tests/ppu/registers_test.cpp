// The PPU registers as the CPU sees them, and the PPU's own address space behind the data port.
#include <gtest/gtest.h>

#include "bus/cpu_bus.h"
#include "cpu/cpu_state.h"
#include "ppu/ppu_state.h"
#include "ppu/renderer.h"
#include "support/harness.h"

namespace {

constexpr uint8_t VerticalMirroring = 0x01;
constexpr uint8_t FourScreen = 0x08;

// A fresh mapper-0 machine with CHR ROM (chrBanks 1) or CHR RAM (chrBanks 0).
void freshMachine(uint8_t chrBanks = 1, uint8_t flags6 = 0)
{
    InesImage image(1, chrBanks, flags6);
    image.setVectors(0x8000, 0x9000);
    ASSERT_EQ(loadImage(image), LoadResult::Loaded);
}

void setAddress(uint32_t address)
{
    cpuWrite(0x2006, static_cast<uint8_t>(address >> 8));
    cpuWrite(0x2006, static_cast<uint8_t>(address));
}

void writeAt(uint32_t address, uint8_t value)
{
    setAddress(address);
    cpuWrite(0x2007, value);
}

// The byte at `address` as a program reads it: one dummy read to fill the buffer, then the value.
uint8_t bufferedReadAt(uint32_t address)
{
    setAddress(address);
    cpuRead(0x2007);
    setAddress(address);
    return cpuRead(0x2007);
}

uint8_t paletteReadAt(uint32_t address)
{
    setAddress(address);
    return cpuRead(0x2007);
}

TEST(PpuRegisters, RepeatEveryEightBytes)
{
    freshMachine();
    cpuWrite(0x3FF8, 0x00);  // control: increment 1
    cpuWrite(0x3FFE, 0x21);  // 0x2006
    cpuWrite(0x200E, 0x05);
    cpuWrite(0x3FFF, 0x5A);  // data port
    EXPECT_EQ(ppu.memory[0x2105], 0x5A);
    ppu.vblankFlag = 1;
    EXPECT_EQ(cpuRead(0x200A), 0x80) << "0x200A is the status register";
}

TEST(PpuRegisters, ReadsReturnTheShadowExceptStatusOamAndData)
{
    freshMachine();
    EXPECT_EQ(cpuRead(0x2005), 0) << "nothing written yet";
    cpuWrite(0x2000, 0x90);
    EXPECT_EQ(cpuRead(0x2000), 0x90);
    cpuWrite(0x2001, 0x1E);
    EXPECT_EQ(cpuRead(0x2001), 0x1E);

    cpuWrite(0x2002, 0x12);
    EXPECT_EQ(cpuRead(0x2002), 0x12) << "low five bits of the last write to 0x2002";
    cpuWrite(0x2002, 0xFF);
    EXPECT_EQ(cpuRead(0x2002), 0x1F);

    ppu.vblankFlag = ppu.spriteZeroHit = ppu.spriteOverflow = 1;
    EXPECT_EQ(cpuRead(0x2002), 0xFF);
    EXPECT_EQ(cpuRead(0x2002), 0x7F) << "the read clears vblank only";
    EXPECT_EQ(ppu.spriteZeroHit, 1);
    EXPECT_EQ(ppu.spriteOverflow, 1);
}

TEST(PpuRegisters, StatusReadResetsTheSharedToggle)
{
    freshMachine();
    cpuWrite(0x2006, 0x21);
    cpuRead(0x2002);
    setAddress(0x3F00);
    EXPECT_EQ(ppu.vramAddress, 0x3F00u);

    cpuWrite(0x2005, 0x11);
    cpuRead(0x2002);
    cpuWrite(0x2005, 0x22);
    EXPECT_EQ(ppu.scrollX, 0x22u);
    EXPECT_EQ(ppu.scrollY, 0u);
    cpuWrite(0x2005, 0x33);
    EXPECT_EQ(ppu.scrollY, 0x33u);

    // The toggle is shared: a 0x2005 write followed by a 0x2006 write completes a pair.
    cpuWrite(0x2005, 0x44);
    cpuWrite(0x2006, 0x55);
    EXPECT_EQ(ppu.vramAddress & 0xFF, 0x55u);
    EXPECT_EQ(ppu.scrollX, 0x44u);
    EXPECT_EQ(ppu.scrollY, 0x33u) << "0x2006 never touches the scroll";
}

TEST(PpuRegisters, DataPortReadsOfNametablesGoThroughTheBuffer)
{
    freshMachine();
    cpuWrite(0x2000, 0x00);
    writeAt(0x2345, 0xAB);
    writeAt(0x2346, 0xCD);
    setAddress(0x2345);
    const uint8_t stale = ppu.readBuffer;
    EXPECT_EQ(cpuRead(0x2007), stale);
    EXPECT_EQ(cpuRead(0x2007), 0xAB);
    EXPECT_EQ(cpuRead(0x2007), 0xCD);
}

struct MirroringCase {
    uint8_t flags6;
    uint32_t written;
    std::vector<uint32_t> sameByte;
    std::vector<uint32_t> otherByte;
};

TEST(PpuRegisters, NametableWindowsFollowTheNametableMap)
{
    const MirroringCase cases[] = {
        {VerticalMirroring, 0x2805, {0x2005, 0x2805, 0x3005, 0x3805}, {0x2405, 0x2C05, 0x3405}},
        {0, 0x2805, {0x2C05, 0x3805, 0x3C05}, {0x2005, 0x2405}},
        {FourScreen, 0x2C05, {0x3C05}, {0x2005, 0x2405, 0x2805}},
    };
    for (const MirroringCase& c : cases) {
        SCOPED_TRACE(c.flags6);
        freshMachine(1, c.flags6);
        cpuWrite(0x2000, 0x00);
        writeAt(c.written, 0x77);
        for (uint32_t address : c.sameByte)
            EXPECT_EQ(bufferedReadAt(address), 0x77) << std::hex << address;
        for (uint32_t address : c.otherByte)
            EXPECT_EQ(bufferedReadAt(address), 0x00) << std::hex << address;
    }
}

TEST(PpuRegisters, PaletteReadsAreImmediateAndMirrorEveryFourthEntry)
{
    freshMachine();
    cpuWrite(0x2000, 0x00);
    writeAt(0x2000, 0x99);
    bufferedReadAt(0x2000);  // buffer holds 0x99
    writeAt(0x3F10, 0x0F);
    EXPECT_EQ(ppu.memory[0x3F00], 0x0F);
    EXPECT_EQ(ppu.memory[0x3F10], 0x0F);
    writeAt(0x3F04, 0x21);
    writeAt(0x3F1C, 0x22);
    writeAt(0x3F05, 0xC5);
    EXPECT_EQ(ppu.memory[0x3F04], 0x21) << "stored in its own entry";
    EXPECT_EQ(ppu.memory[0x3F1C], 0x22);
    EXPECT_EQ(ppu.memory[0x3F00], 0x0F) << "only 0x3F10 is mirrored on writes";

    EXPECT_EQ(paletteReadAt(0x3F04), 0x0F);
    EXPECT_EQ(paletteReadAt(0x3F1C), 0x0F);
    EXPECT_EQ(paletteReadAt(0x3F10), 0x0F);
    EXPECT_EQ(paletteReadAt(0x3F05), 0xC5) << "the whole byte is kept";
    EXPECT_EQ(paletteReadAt(0x3FE5), 0xC5) << "0x3F20-0x3FFF fold onto 0x3F00-0x3F1F";
    EXPECT_EQ(ppu.readBuffer, 0x99) << "palette reads leave the buffer alone";

    writeAt(0x3F3D, 0x3D);
    EXPECT_EQ(ppu.memory[0x3F1D], 0x3D);
}

TEST(PpuRegisters, ChrRomIsReadAtOnceAndNeverWritten)
{
    freshMachine(1);
    cpuWrite(0x2000, 0x00);
    cartridge.chrMemory[0x0010] = 0x5A;
    cartridge.chrMemory[0x1C10] = 0xA5;
    chrPageMap[7] = 0x0000;  // pages are followed: 0x1C10 now reads CHR offset 0x0010
    ppu.readBuffer = 0x33;
    EXPECT_EQ(paletteReadAt(0x0010), 0x5A);
    EXPECT_EQ(paletteReadAt(0x1C10), 0x5A);
    EXPECT_EQ(ppu.readBuffer, 0x33);

    writeAt(0x0010, 0xEE);
    EXPECT_EQ(cartridge.chrMemory[0x0010], 0x5A);
    EXPECT_EQ(ppu.memory[0x0010], 0xEE) << "the data-port copy is still written";
    EXPECT_EQ(paletteReadAt(0x0010), 0x5A);
}

TEST(PpuRegisters, ChrRamIsWrittenAndReadThroughTheBuffer)
{
    freshMachine(0);
    cpuWrite(0x2000, 0x00);
    writeAt(0x1234, 0x6B);
    EXPECT_EQ(cartridge.chrMemory[0x1234], 0x6B) << "what the renderer reads";
    setAddress(0x1234);
    EXPECT_EQ(cpuRead(0x2007), 0x00) << "one read behind";
    EXPECT_EQ(cpuRead(0x2007), 0x6B);
}

TEST(PpuRegisters, AddressIncrementsAndWraps)
{
    freshMachine();
    setAddress(0x2000);
    cpuWrite(0x2007, 0x01);
    cpuWrite(0x2007, 0x02);
    EXPECT_EQ(ppu.vramAddress, 0x2000u) << "increment 0 before the first control write";
    EXPECT_EQ(ppu.memory[0x2000], 0x02);
    cpuRead(0x2007);
    EXPECT_EQ(ppu.vramAddress, 0x2000u);

    cpuWrite(0x2000, 0x00);
    writeAt(0x3FFF, 0x00);
    EXPECT_EQ(ppu.vramAddress, 0x0000u);
    cpuWrite(0x2000, 0x04);
    writeAt(0x2003, 0x44);
    cpuWrite(0x2007, 0x45);
    EXPECT_EQ(ppu.memory[0x2023], 0x45) << "increment 32 steps one tile row down";
    setAddress(0x3FF0);
    cpuRead(0x2007);
    EXPECT_EQ(ppu.vramAddress, 0x0010u);
}

TEST(PpuRegisters, OamAddressWrapsOnWritesAndStaysOnReads)
{
    freshMachine();
    cpuWrite(0x2003, 0xFF);
    cpuWrite(0x2004, 0x42);
    EXPECT_EQ(ppu.oam[255], 0x42u);
    EXPECT_EQ(ppu.oamAddress, 0);
    cpuWrite(0x2004, 0x43);
    EXPECT_EQ(ppu.oam[0], 0x43u);
    EXPECT_EQ(cpuRead(0x2004), 0x00) << "entry 1";
    cpuWrite(0x2003, 0x00);
    EXPECT_EQ(cpuRead(0x2004), 0x43);
    EXPECT_EQ(cpuRead(0x2004), 0x43);
    EXPECT_EQ(ppu.oamAddress, 0);
}

TEST(PpuRegisters, DataPortReadsOfTheFdAndFeRowsSetTheMmc2Latch)
{
    const std::pair<uint32_t, uint8_t> reads[] = {
        {0x1FE8, 0xFE}, {0x0FD0, 0xFD}, {0x0FEF, 0xFE}, {0x1FDF, 0xFD}, {0x0FF0, 0xFD}, {0x0FCF, 0xFD},
    };
    freshMachine(0);  // CHR RAM: the latch is set on the buffered path as well
    cpuWrite(0x2000, 0x00);
    for (const auto& [address, latch] : reads) {
        setAddress(address);
        cpuRead(0x2007);
        EXPECT_EQ(mapperState.mmc2Latch, latch) << std::hex << address;
    }
    freshMachine(1);
    cpuWrite(0x2000, 0x00);
    setAddress(0x0FD0);
    cpuRead(0x2007);
    EXPECT_EQ(mapperState.mmc2Latch, 0xFD);
    writeAt(0x1FE8, 0x00);
    EXPECT_EQ(mapperState.mmc2Latch, 0xFD) << "writes never move the latch";
}

TEST(PpuVblank, SetsTheFlagAndRaisesTheNmiOnlyWhenEnabled)
{
    freshMachine();
    cpu.pc = 0x8123;
    ppuStartVblank();
    EXPECT_EQ(ppu.vblankFlag, 1);
    EXPECT_EQ(cpu.pc, 0x8123u);
    cpuWrite(0x2000, 0x80);
    EXPECT_EQ(cpu.pc, 0x8123u) << "enabling NMIs in vertical blank raises none";
    ppuStartVblank();
    EXPECT_EQ(cpu.pc, 0x9000u);
}

}  // namespace
