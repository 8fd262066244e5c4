// The PPU registers where the recorded frames of the golden runs do not look. (Reading back the last
// write, the vblank flag and the toggle, the increments and wraps, OAM's address, the palette's
// 0x3F10 mirror and its 6 bits change the recorded frames; CHR RAM and banked CHR through the data
// port show in the board ROMs of tests/cart.)
#include <gtest/gtest.h>

#include "bus/cpu_bus.h"
#include "ppu/ppu_state.h"
#include "support/harness.h"

namespace {

// The first data-port read at `address`.
uint8_t readAt(uint32_t address)
{
    cpuWrite(0x2006, static_cast<uint8_t>(address >> 8));
    cpuWrite(0x2006, static_cast<uint8_t>(address));
    return cpuRead(0x2007);
}

TEST(PpuRegisters, MirrorsStatusBitsAndTheDataPortsBuffer)
{
    ASSERT_EQ(loadImage(InesImage(1, 1)), LoadResult::Loaded);
    cpuWrite(0x3FFE, 0x3F);  // 0x2006 and 0x2007 through their mirrors
    cpuWrite(0x200E, 0x10);
    cpuWrite(0x3FFF, 0x0F);  // the backdrop, through 0x3F10
    cpuWrite(0x3FF7, 0x21);  // 0x3F11
    cpuWrite(0x2002, 0xF2);
    ppu.vblankFlag = ppu.spriteZeroHit = ppu.spriteOverflow = 1;
    EXPECT_EQ(cpuRead(0x200A), 0xF2) << "flags and the low five bits of the last write to 0x2002";

    cartridge.chrMemory[0x0010] = 0x5A;  // CHR ROM: through the pages and the buffer
    chrPageMap[7] = 0x0000;              // 0x1C10 now reads CHR offset 0x0010
    ppu.readBuffer = 0x33;
    EXPECT_EQ(readAt(0x1C10), 0x33) << "the throw-away read";
    for (const uint32_t address : {0x3F04u, 0x3F1Cu, 0x3FE8u})
        EXPECT_EQ(readAt(address), 0x0F) << std::hex << address << ": every fourth entry reads the backdrop";
    EXPECT_EQ(readAt(0x3F11), 0x21);
    EXPECT_EQ(readAt(0x2000), 0x5A) << "palette reads leave the buffer alone";
}

}  // namespace
