// The frame scheduler where the golden runs do not look: the MMC3 counter in skipped frames, a
// frame counter past 2^31, and the PAL and Dendy consoles' frames. (Budgets, frame skip, the NMI
// point and mid-frame address writes change the recorded frames and samples of the golden runs.)
#include <gtest/gtest.h>

#include "apu/apu_state.h"
#include "apu/channels.h"
#include "cart/boards.h"
#include "console/console.h"
#include "cpu/cpu_state.h"
#include "ppu/ppu_state.h"
#include "console/scheduler.h"
#include "cpu/opcode_table.h"
#include "support/cpu_harness.h"
#include "support/harness.h"
#include "support/rom_runner.h"

namespace {

TEST(Scheduler, SkippedFramesClockTheMmc3CounterAndAYearsRunCountsOnPast2To31Frames)
{
    InesImage image(2, 1, 0x40);  // an MMC3 program that shows both layers and spins: $2001 = $18; JMP $8005
    image.put(0x8000, {0xA9, 0x18, 0x8D, 0x01, 0x20, 0x4C, 0x05, 0x80});
    image.setVectors(0x8000, 0x8005);
    for (const int32_t frameSkip : {1, 2}) {
        ASSERT_EQ(loadImage(image), LoadResult::Loaded);
        initOpcodeTable();
        mapperState.mmc3IrqReload = 255;
        runFrames(2, 0, {.frameSkip = frameSkip});
        // Line 0 (rendering just turned on) reloads 255 and 239 lines leave 16; the second frame's
        // pre-render line 15, and its 240 lines reach 0, reload and count down 224 more.
        EXPECT_EQ(mapperState.mmc3IrqCounter, 31u) << "frame skip " << frameSkip;
    }

    scheduler.frameCounter = 2147483647;
    runFrames(1, 0, {.frameSkip = 3});
    EXPECT_TRUE(scheduler.frameCounter > 2147483647 && !isRenderedFrame({.frameSkip = 3}))
        << "2^31 is not a multiple of 3";
}

// The consoles' frames: 263 lines of 114 cycles after the picture on NTSC; 312 on PAL (107 cycles)
// and Dendy (114), whose frames make 882 samples; PAL's sample channel rates and its red and green
// emphasis bits the other way round; a state brings its console along.
TEST(Scheduler, EachConsoleRunsItsFrame)
{
    const std::tuple<Region, uint32_t, uint32_t, uint32_t, uint8_t, uint16_t> consoles[] = {
        {Region::Ntsc, 263, 29982, 735, 1, 54}, {Region::Pal, 312, 33144, 882, 2, 50}, {Region::Dendy, 312, 35568, 882, 1, 54}};
    for (const auto& [region, lines, cycles, samples, redEmphasis, fastestRate] : consoles) {
        ASSERT_TRUE(loadRomFile(builtRom("scene")));
        chooseRegion(region);
        setSoundEmulated(true);
        runFrames(2, 0, {.scanlineMode = true});
        const uint32_t before = cpu.totalCycles - static_cast<uint32_t>(cpu.cycleCounter);
        runFrames(1, 0, {.scanlineMode = true});
        EXPECT_EQ(std::tuple(ppu.scanline, cpu.totalCycles - static_cast<uint32_t>(cpu.cycleCounter) - before,
                             frameSamples().size()),
                  std::tuple(lines, cycles, size_t{samples}))
            << static_cast<int>(region);
        cpuWrite(0x2001, 0x20);  // red emphasis
        cpuWrite(0x4010, 0x0F);  // the sample channel's fastest rate, for 17 bytes
        cpuWrite(0x4013, 0x01);
        cpuWrite(0x4015, 0x10);
        apuTick();
        EXPECT_EQ(std::pair(ppu.emphasis, apu.sample.period), std::pair(redEmphasis, fastestRate)) << static_cast<int>(region);
    }
    const std::vector<uint8_t> pal = saveState();
    chooseRegion(Region::Ntsc);
    ASSERT_EQ(loadState(pal), StateLoad::Loaded);
    EXPECT_EQ(std::pair(currentRegion(), framesPerSecond()), std::pair(Region::Dendy, 50.0));
}

}  // namespace
