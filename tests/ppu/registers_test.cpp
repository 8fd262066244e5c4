// The PPU registers as the CPU sees them, and the PPU's own address space behind the data port.
// (Vertical blank and its NMI, enabled or not, show in every recorded run of the golden runs.)
#include <gtest/gtest.h>
#include <vector>

#include "bus/cpu_bus.h"
#include "ppu/ppu_state.h"
#include "support/harness.h"

namespace {

// A fresh mapper-0 machine with CHR ROM (chrBanks 1) or CHR RAM (chrBanks 0), increment 1.
void freshMachine(uint8_t chrBanks = 1)
{
    ASSERT_EQ(loadImage(InesImage(1, chrBanks)), LoadResult::Loaded);
    cpuWrite(0x2000, 0x00);
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

// The first data-port read at `address`.
uint8_t readAt(uint32_t address)
{
    setAddress(address);
    return cpuRead(0x2007);
}

TEST(PpuRegisters, RepeatEveryEightBytesReadBackTheLastWriteAndShareOneToggle)
{
    freshMachine();
    EXPECT_EQ(cpuRead(0x2005), 0) << "nothing written yet";
    cpuWrite(0x3FFE, 0x21);  // 0x2006
    cpuWrite(0x200E, 0x05);
    cpuWrite(0x3FFF, 0x5A);  // data port
    EXPECT_EQ(ppu.memory[0x2105], 0x5A);
    cpuWrite(0x3FF8, 0x90);
    EXPECT_EQ(ppu.nmiEnable, 1);
    EXPECT_EQ(cpuRead(0x2000), 0x90);
    cpuWrite(0x2002, 0xF2);
    ppu.vblankFlag = ppu.spriteZeroHit = ppu.spriteOverflow = 1;
    EXPECT_EQ(cpuRead(0x200A), 0xF2) << "flags and the low five bits of the last write to 0x2002";
    EXPECT_EQ(cpuRead(0x2002), 0x72) << "the read clears vblank only";

    cpuWrite(0x2005, 0x22);  // (the reset of the toggle by a 0x2002 read shows in the golden runs)
    cpuWrite(0x2005, 0x33);
    cpuWrite(0x2005, 0x44);
    cpuWrite(0x2006, 0x55);  // completes the pair begun by 0x2005
    EXPECT_EQ(ppu.vramAddress & 0xFF, 0x55u);
    EXPECT_EQ(ppu.scrollX, 0x44u);
    EXPECT_EQ(ppu.scrollY, 0x33u) << "with rendering off 0x2006 does not touch the scroll";
}

TEST(PpuRegisters, ReadsBelowThePaletteGoThroughTheBuffer)
{
    freshMachine(0);  // CHR RAM: written, and read through the buffer
    writeAt(0x2345, 0xAB);
    writeAt(0x2346, 0xCD);
    writeAt(0x1234, 0x6B);
    EXPECT_EQ(cartridge.chrMemory[0x1234], 0x6B) << "what the renderer reads";
    const uint8_t stale = ppu.readBuffer;
    EXPECT_EQ(readAt(0x2345), stale);
    EXPECT_EQ(cpuRead(0x2007), 0xAB);
    EXPECT_EQ(cpuRead(0x2007), 0xCD);
    EXPECT_EQ(readAt(0x1234), 0x00) << "one read behind";
    EXPECT_EQ(cpuRead(0x2007), 0x6B);

    freshMachine(1);  // CHR ROM: read through the pages and the buffer (never written: the golden runs)
    cartridge.chrMemory[0x0010] = 0x5A;
    chrPageMap[7] = 0x0000;  // 0x1C10 now reads CHR offset 0x0010
    ppu.readBuffer = 0x33;
    EXPECT_EQ(readAt(0x1C10), 0x33) << "the throw-away read";
    EXPECT_EQ(cpuRead(0x2007), 0x5A);
}

TEST(PpuRegisters, PaletteReadsAreImmediateAndMirrorEveryFourthEntry)
{
    freshMachine();
    writeAt(0x2000, 0x99);
    readAt(0x2000);
    readAt(0x2000);  // the buffer holds 0x99
    writeAt(0x3F10, 0x0F);
    writeAt(0x3F04, 0x21);
    writeAt(0x3F1C, 0x22);
    writeAt(0x3F25, 0xC5);  // 0x3F20-0x3FFF fold onto 0x3F00-0x3F1F
    EXPECT_EQ(ppu.memory[0x3F00], 0x0F) << "0x3F10 is written to 0x3F00 as well";
    EXPECT_EQ(ppu.memory[0x3F04], 0x21) << "stored in its own entry";
    EXPECT_EQ(ppu.memory[0x3F1C], 0x22);
    for (const uint32_t address : {0x3F04u, 0x3F1Cu, 0x3F10u, 0x3FE8u})
        EXPECT_EQ(readAt(address), 0x0F) << std::hex << address << " reads the backdrop";
    EXPECT_EQ(readAt(0x3FE5), 0x05) << "an entry holds 6 bits";
    EXPECT_EQ(ppu.readBuffer, 0x99) << "palette reads leave the buffer alone";
}

TEST(PpuRegisters, AddressesIncrementAndWrap)
{
    ASSERT_EQ(loadImage(InesImage(1, 1)), LoadResult::Loaded);
    writeAt(0x2000, 0x01);  // before any control write: a step of 1, as after writing 0
    cpuWrite(0x2007, 0x02);
    readAt(0x2000);  // the read buffer's byte
    EXPECT_EQ(cpuRead(0x2007), 0x01);
    EXPECT_EQ(cpuRead(0x2007), 0x02) << "the row reads back byte after byte";
    cpuWrite(0x2000, 0x00);
    writeAt(0x3FFF, 0x00);
    EXPECT_EQ(ppu.vramAddress, 0x0000u);
    cpuWrite(0x2000, 0x04);
    readAt(0x3FF0);
    EXPECT_EQ(ppu.vramAddress, 0x0010u) << "increment 32 wraps as well";

    cpuWrite(0x2003, 0xFF);  // the OAM address wraps on writes and stays on reads
    cpuWrite(0x2004, 0x42);
    cpuWrite(0x2004, 0x43);
    EXPECT_EQ(ppu.oam[255], 0x42u);
    EXPECT_EQ(cpuRead(0x2004), 0x00) << "entry 1";
    cpuWrite(0x2003, 0x00);
    EXPECT_EQ(cpuRead(0x2004), 0x43);
    EXPECT_EQ(cpuRead(0x2004), 0x43);
}

}  // namespace
