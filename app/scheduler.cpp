#include "app/scheduler.h"

#include "app/options.h"
#include "bus/mappers.h"
#include "cpu/interpreter.h"
#include "cpu/interrupts.h"
#include "ppu/renderer.h"

namespace {

// One run of `budget` cycles; the overshoot of its last instruction carries into the next run.
// Forced inline so that every run loop gets its own copy of the interpreter.
[[gnu::always_inline]] inline void run(int32_t budget)
{
    runCpuUntil(budget);
    cpu.cycleCounter -= budget;
    serviceHeldIrq();
}

void runVisibleLineSkipped() { run(VisiblePartCycles); }

void runVisibleLineByScanline()
{
    evaluateSprites();
    run(VisiblePartCycles);
    renderPixels(0, FrameWidth);
}

// The CPU advances one cycle before every third pixel, so register writes land mid-line.
void runVisibleLineByPixel()
{
    evaluateSprites();
    for (uint32_t x = 0; x < FrameWidth; ++x) {
        if (x % 3 == 0)
            run(PixelStepCycles);
        renderPixel(x);
    }
}

}  // namespace

bool isRenderedFrame() { return scheduler.frameCounter % options.frameSkip == 0; }

void runFrame()
{
    ppuStartFrame();
    mapperState.mmc3IrqCounter = mapperState.mmc3IrqReload;

    const bool rendered = isRenderedFrame();
    for (ppu.scanline = 0; ppu.scanline < VisibleLines; ++ppu.scanline) {
        if (!rendered)
            runVisibleLineSkipped();
        else if (options.scanlineMode)
            runVisibleLineByScanline();
        else
            runVisibleLineByPixel();
        clockMmc3Irq();
        run(HorizontalBlankCycles);
    }

    ppuStartVblank();
    for (ppu.scanline = VisibleLines; ppu.scanline <= LastLine; ++ppu.scanline)
        run(VblankLineCycles);
}
