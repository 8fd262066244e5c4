// The frame scheduler: one emulated frame of 263 lines with the CPU, PPU and mapper interleaved.
#pragma once

#include <cstdint>

// CPU cycle budgets of the parts of a frame.
constexpr int32_t VisiblePartCycles = 85;
// Pixel mode: a one-cycle step before every third column (PixelsPerStep), 86 per visible line.
constexpr int32_t PixelLineCycles = 86;
constexpr int32_t HorizontalBlankCycles = 29;
constexpr int32_t VblankLineCycles = 114;
constexpr uint32_t VisibleLines = 240;
constexpr uint32_t LastLine = 262;

// A frame's CPU cycles with visible parts of `visiblePart` cycles: 29,982 with 85 (scanline mode, or
// a skipped frame), 30,222 with 86 (a frame drawn pixel by pixel).
constexpr uint32_t frameCycles(int32_t visiblePart)
{
    return VisibleLines * static_cast<uint32_t>(visiblePart + HorizontalBlankCycles) +
           (LastLine + 1 - VisibleLines) * static_cast<uint32_t>(VblankLineCycles);
}
static_assert(frameCycles(VisiblePartCycles) == 29982 && frameCycles(PixelLineCycles) == 30222);

struct SchedulerState {
    int64_t frameCounter;  // frames run so far; frame skip tests it (64-bit: years of frames)
};

inline SchedulerState scheduler{};

class StateIo;
// The scheduler's counters in a save state, in order.
void schedulerStateFields(StateIo& io, SchedulerState& state);

// How a frame is run; the front end's choice, not part of the machine.
struct FrameSettings {
    int32_t frameSkip = 1;      // one frame in every frameSkip is drawn (1 or more)
    bool scanlineMode = false;  // each line drawn at once instead of column by column
};

// True when the frame about to run is drawn (frameCounter modulo frameSkip is 0).
bool isRenderedFrame(const FrameSettings& settings);

// Runs one emulated frame: frame start, 240 visible lines, vertical blank and its 23 lines (the last
// of them the pre-render line).
// The caller presents the picture, takes an event, paces and then counts the frame.
void runFrame(const FrameSettings& settings);
