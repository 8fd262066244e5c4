// The shortcuts of the frame loop must not show: pixel mode draws each line lazily in one CPU run,
// and the APU is looked at only when something is due. A program that writes the PPU, mapper and
// APU registers at scattered moments must give the frames and samples of the plain schedule: a
// one-cycle run before every third column, that column drawn right after it, and the whole APU
// tick after every instruction.
#include <gtest/gtest.h>

#include <vector>

#include "app/options.h"
#include "app/scheduler.h"
#include "app/video.h"
#include "apu/mixer.h"
#include "apu/sound_stream.h"
#include "bus/mappers.h"
#include "cpu/interpreter.h"
#include "cpu/interrupts.h"
#include "ppu/registers.h"
#include "ppu/renderer.h"
#include "support/cpu_harness.h"
#include "support/harness.h"

namespace {

// A run in which the APU looks at its channels after every instruction.
void run(int32_t budget)
{
    runCpuUntil(budget, wakeApu, [] {});
    cpu.cycleCounter -= budget;
    serviceHeldIrq();
}

// One rendered frame, step by step and column by column.
void plainFrame()
{
    ppuStartFrame();
    mapperState.mmc3IrqCounter = mapperState.mmc3IrqReload;
    beginSoundFrame(frameCycles(options.scanlineMode ? VisiblePartCycles : PixelLineCycles), cpu.cycleCounter);
    for (ppu.scanline = 0; ppu.scanline < VisibleLines; ++ppu.scanline) {
        if (ppu.splitPending)
            applySplit();
        evaluateSprites();
        if (options.scanlineMode) {
            run(VisiblePartCycles);
            for (uint32_t x = 0; x < FrameWidth; ++x)
                renderPixel(x);
        } else {
            for (uint32_t x = 0; x < FrameWidth; ++x) {
                if (x % 3 == 0)
                    run(1);
                renderPixel(x);
            }
        }
        clockMmc3Irq();
        run(HorizontalBlankCycles);
    }
    ppuStartVblank();
    for (ppu.scanline = VisibleLines; ppu.scanline <= LastLine; ++ppu.scanline)
        run(VblankLineCycles);
    endSoundFrame();
}

struct FrameRecord {
    FrameBuffer picture;
    std::vector<int16_t> samples;
    uint32_t totalCycles;
    int32_t cycleCounter;
    uint32_t pc;
};

// Loads scattered_writes.nes with sound on and records `frames` frames made by `runOneFrame`.
template <typename RunOneFrame>
std::vector<FrameRecord> recordFrames(bool scanlineMode, RunOneFrame runOneFrame)
{
    constexpr int Frames = 60;
    EXPECT_TRUE(loadRomFile(builtRom("scattered_writes")));
    options.scanlineMode = scanlineMode;
    apuRunning = true;

    std::vector<FrameRecord> records;
    for (int n = 0; n < Frames; ++n) {
        runOneFrame();
        records.push_back({frameBuffer,
                           {soundFrame.samples.begin(), soundFrame.samples.begin() + soundFrame.count},
                           cpu.totalCycles, cpu.cycleCounter, cpu.pc});
    }
    return records;
}

class FastPaths : public ::testing::TestWithParam<bool> {};

TEST_P(FastPaths, GiveTheFramesAndSamplesOfThePlainSchedule)
{
    const auto expected = recordFrames(GetParam(), plainFrame);
    const auto actual = recordFrames(GetParam(), runFrame);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t n = 0; n < actual.size(); ++n) {
        ASSERT_EQ(actual[n].totalCycles, expected[n].totalCycles) << "frame " << n;
        ASSERT_EQ(actual[n].cycleCounter, expected[n].cycleCounter) << "frame " << n;
        ASSERT_EQ(actual[n].pc, expected[n].pc) << "frame " << n;
        ASSERT_EQ(actual[n].samples, expected[n].samples) << "frame " << n;
        for (uint32_t i = 0; i < actual[n].picture.size(); ++i)
            ASSERT_EQ(actual[n].picture[i], expected[n].picture[i])
                << "frame " << n << ", line " << i / FrameWidth << ", column " << i % FrameWidth;
    }
    EXPECT_FALSE(pixelLine.active) << "no line is open between frames";
}

INSTANTIATE_TEST_SUITE_P(Modes, FastPaths, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "ScanlineMode" : "PixelMode"; });

}  // namespace
