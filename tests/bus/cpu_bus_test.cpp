// The CPU address space: plain memory, device dispatch, the OAM transfer and Game Genie reads.
#include <gtest/gtest.h>

#include "bus/cheats.h"
#include "ppu/ppu_state.h"
#include "support/cpu_harness.h"

namespace {

TEST(CpuBus, PlainMemoryRomAndWriteOnlyRegisters)
{
    loadProgram({{0x8000, {0x12, 0x34}}});
    // The 2 KB of RAM answer at 0x0000, 0x0800, 0x1000 and 0x1800.
    cpuWrite(0x0801, 0x11);
    cpuWrite(0x1FFF, 0x22);
    for (const uint32_t base : {0x0000u, 0x0800u, 0x1000u, 0x1800u})
        EXPECT_EQ(std::pair(cpuRead(base + 1), cpuRead(base + 0x7FF)), std::pair(uint8_t{0x11}, uint8_t{0x22})) << base;
    for (const uint32_t address : {0x4018u, 0x5000u, 0x6000u, 0x7FFFu}) {
        cpuWrite(address, 0xA5);
        EXPECT_EQ(cpuRead(address), 0xA5) << std::hex << address;
    }
    cpuWrite(0x10010, 0x5A);  // addresses past the top wrap to 16 bits
    EXPECT_EQ(cpuRead(0x0010), 0x5A);

    cpuWrite(0x8000, 0x99);  // ROM with mapper 0 ignores writes
    cpuWrite(0xFFFF, 0x99);
    EXPECT_EQ(cpuRead(0x8000), 0x12);
    EXPECT_EQ(cpuRead(0x18001), 0x34);
    EXPECT_EQ(cpuRead(0xFFFF), 0xA0);  // the IRQ vector's high byte

    for (uint32_t address = 0x4000; address <= 0x4013; ++address) {
        cpuWrite(address, 0xFF);
        EXPECT_EQ(cpuRead(address), 0x00) << "write-only APU register " << std::hex << address;
    }
}

TEST(OamTransfer, CopiesAPageFromOamAddressOnWrapping)
{
    startInRam({0x8D, 0x14, 0x40});  // STA 0x4014
    for (uint32_t i = 0; i < 256; ++i)
        poke(0x0200 + i, static_cast<uint8_t>(i ^ 0x5A));
    ppu.oamAddress = 0x10;
    cpu.a = 0x02;
    EXPECT_EQ(runInstructions(1), 4);  // as any absolute store: the copy is free
    for (uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(ppu.oam[(0x10 + i) & 0xFF], (i ^ 0x5A)) << i;
    EXPECT_EQ(ppu.oamAddress, 0x10);
}

TEST(GameGenie, CodesReplaceMatchingRomBytesForInstructionsToo)
{
    loadProgram({{0x8000, {0xA9, 0x11, 0xEA, 0x22, 0x33}}});  // LDA #0x11 ...
    const CheatEntry codes[] = {
        {0x8003, 0x97, 0x76},  // compare fails: the next entry for the address is tried
        {0x8003, 0x98, NoCompare}, {0x8003, 0x99, NoCompare}, {0x8004, 0x42, 0x33},
        {0x8002, 0x42, 0x77},  {0x8001, 0x42, 0x11},
    };
    for (const CheatEntry& code : codes)
        cheats.entries[cheats.cheatCount++] = code;
    EXPECT_EQ(cpuRead(0x8003), 0x98);
    EXPECT_EQ(cpuRead(0x8004), 0x42);
    EXPECT_EQ(cpuRead(0x8002), 0xEA);
    EXPECT_EQ(cpuRead(0x8000), 0xA9);
    runInstructions(1);
    EXPECT_EQ(cpu.a, 0x42u);
}

}  // namespace
