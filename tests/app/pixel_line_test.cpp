// Pixel mode draws each line lazily in one CPU run; it must give the pictures of the plain
// schedule: a one-cycle run before every third column and that column drawn right after it.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "app/scheduler.h"
#include "app/video.h"
#include "bus/mappers.h"
#include "cpu/interpreter.h"
#include "cpu/interrupts.h"
#include "cpu/opcode_table.h"
#include "ppu/renderer.h"
#include "support/harness.h"

namespace {

void run(int32_t budget)
{
    runCpuUntil(budget);
    cpu.cycleCounter -= budget;
    serviceHeldIrq();
}

// One rendered pixel-mode frame, step by step, column by column.
void plainPixelFrame()
{
    ppuStartFrame();
    mapperState.mmc3IrqCounter = mapperState.mmc3IrqReload;
    for (ppu.scanline = 0; ppu.scanline < VisibleLines; ++ppu.scanline) {
        evaluateSprites();
        for (uint32_t x = 0; x < FrameWidth; ++x) {
            if (x % 3 == 0)
                run(1);
            renderPixel(x);
        }
        clockMmc3Irq();
        run(HorizontalBlankCycles);
    }
    ppuStartVblank();
    for (ppu.scanline = VisibleLines; ppu.scanline <= LastLine; ++ppu.scanline)
        run(VblankLineCycles);
}

struct FrameRecord {
    FrameBuffer picture;
    uint32_t totalCycles;
    int32_t cycleCounter;
    uint32_t pc;
};

// Loads midline_writes.nes and records `frames` frames made by `runOneFrame`.
template <typename RunOneFrame>
std::vector<FrameRecord> recordFrames(int frames, RunOneFrame runOneFrame)
{
    std::ifstream file(builtRom("midline_writes"), std::ios::binary);
    EXPECT_TRUE(file) << "midline_writes.nes was not built";
    const std::vector<uint8_t> image{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_EQ(loadImageBytes(image), LoadResult::Loaded);
    initOpcodeTable();
    std::vector<FrameRecord> records;
    for (int n = 0; n < frames; ++n) {
        runOneFrame();
        records.push_back({frameBuffer, cpu.totalCycles, cpu.cycleCounter, cpu.pc});
    }
    return records;
}

TEST(PixelLine, WritesAtAnyColumnGiveThePicturesOfThePlainSchedule)
{
    constexpr int Frames = 90;
    const auto expected = recordFrames(Frames, plainPixelFrame);
    const auto actual = recordFrames(Frames, runFrame);
    ASSERT_EQ(actual.size(), expected.size());
    for (int n = 0; n < Frames; ++n) {
        ASSERT_EQ(actual[n].totalCycles, expected[n].totalCycles) << "frame " << n;
        ASSERT_EQ(actual[n].cycleCounter, expected[n].cycleCounter) << "frame " << n;
        ASSERT_EQ(actual[n].pc, expected[n].pc) << "frame " << n;
        for (uint32_t i = 0; i < actual[n].picture.size(); ++i)
            ASSERT_EQ(actual[n].picture[i], expected[n].picture[i])
                << "frame " << n << ", line " << i / FrameWidth << ", column " << i % FrameWidth;
    }
    EXPECT_FALSE(pixelLine.active) << "no line is open between frames";
}

}  // namespace
