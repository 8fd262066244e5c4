#include "console/scheduler.h"

#include "apu/apu_state.h"
#include "apu/sound_stream.h"
#include "cart/boards.h"
#include "cpu/interpreter.h"
#include "cpu/interrupts.h"
#include "ppu/registers.h"
#include "ppu/renderer.h"
#include "state/state_io.h"

namespace {

// One run of `budget` cycles; the overshoot of its last instruction carries into the next run.
// Forced inline, so that each run loop (skipped visible part, scanline visible part, horizontal
// blank, vertical-blank line, and the pixel-mode line below) has its own expansion of the
// interpreter and no call is made per instruction.
[[gnu::always_inline]] inline void run(int32_t budget)
{
    runCpuUntil(budget);
    cpu.cycleCounter -= budget;
    serviceHeldIrq();
}

void runVisibleLineSkipped()
{
    evaluateSprites(false);  // the sprite flags, with nothing drawn
    run(VisiblePartCycles);
}

void runVisibleLineByScanline()
{
    evaluateSprites();
    run(VisiblePartCycles);
    renderPixels(0, FrameWidth);
}

// Pixel mode: one CPU cycle before every third column, 86 one-cycle runs. An instruction that
// starts with cycleCounter at k runs in step k - 1 (step 0 when k < 1), before column 3(k - 1),
// and the runs end with the first instruction that would start after step 85. So the line is one
// run of 86 cycles in which each instruction's column is known; the columns are drawn lazily,
// and a write that can change the picture first draws the columns before it (see PixelLine).
void runVisibleLineByPixel()
{
    evaluateSprites();
    pixelLine = {true, 0, 0};
    const auto noteStep = [] { pixelLine.stepStart = cpu.cycleCounter; };
    // A held IRQ is entered at a step's end; only a counter still at 1 or less stays in the step.
    const auto endOfStep = [] {
        if (cpu.irqPending && cpu.cycleCounter > 1) [[unlikely]]
            serviceHeldIrq();
    };
    runCpuUntil(PixelLineCycles, noteStep, endOfStep);
    cpu.cycleCounter -= PixelLineCycles;
    pixelLine.active = false;
    renderPixels(pixelLine.drawn, FrameWidth);
}

// A vertical-blank line. An NMI that an instruction raises (the NMI enabled while the vblank flag
// is set) is entered right after that instruction.
void runVblankLine(int32_t cycles)
{
    const auto enterHeldNmi = [] {
        if (cpu.irqPending & NmiHeld) [[unlikely]]
            serviceHeldIrq();
    };
    runCpuUntil(cycles, [] {}, enterHeldNmi);
    cpu.cycleCounter -= cycles;
    serviceHeldIrq();
}

}  // namespace

static_assert(PixelLineCycles * PixelsPerStep >= FrameWidth, "a pixel-mode line's steps cover every column");

bool isRenderedFrame(const FrameSettings& settings) { return scheduler.frameCounter % settings.frameSkip == 0; }

void runFrame(const FrameSettings& settings)
{
    forgetCodeWindow();
    ppuStartFrame();
    boardFrameStart();

    const FrameLayout& layout = layoutOf(scheduler.region);
    const bool rendered = isRenderedFrame(settings);
    const int32_t visiblePart = rendered && !settings.scanlineMode ? PixelLineCycles : VisiblePartCycles;
    beginSoundFrame(frameCycles(layout, visiblePart), cpu.cycleCounter);
    for (ppu.scanline = 0; ppu.scanline < VisibleLines; ++ppu.scanline) {
        if (ppu.splitPending)
            applySplit();
        if (!rendered)
            runVisibleLineSkipped();
        else if (settings.scanlineMode)
            runVisibleLineByScanline();
        else
            runVisibleLineByPixel();
        ppuLineEnd();
        boardLineEnd();
        run(layout.horizontalBlank);
    }

    for (ppu.scanline = VisibleLines; ppu.scanline <= layout.lastLine; ++ppu.scanline) {
        if (ppu.scanline == layout.vblankLine)
            ppuStartVblank();
        if (ppu.scanline == layout.lastLine)
            ppuStartPrerenderLine();
        runVblankLine(layout.lineCycles);
    }
    endSoundFrame();
}

void setRegion(Region region)
{
    scheduler.region = region;
    apuTiming = region == Region::Pal ? PalApuTiming : region == Region::Dendy ? DendyApuTiming : NtscApuTiming;
    redGreenEmphasisSwapped = region == Region::Pal;
}

void schedulerStateFields(StateIo& io, SchedulerState& state)
{
    io.field(state.frameCounter, 0, INT32_MAX);
    uint8_t region = static_cast<uint8_t>(state.region);
    if (io.since(6))
        io.field(region, 0, static_cast<uint8_t>(Region::Dendy));
    state.region = static_cast<Region>(region);
}
static_assert(fieldCount<SchedulerState>() == 2, "a SchedulerState field is missing from schedulerStateFields");
