// The frame scheduler: one emulated frame of 263 lines with the CPU, PPU and mapper interleaved.
#pragma once

#include <cstdint>

// CPU cycle budgets of the parts of a frame.
constexpr int32_t VisiblePartCycles = 85;
// Pixel mode: a one-cycle step before every third column (PixelsPerStep), 86 per visible line.
constexpr int32_t PixelLineCycles = 86;
constexpr uint32_t VisibleLines = 240;

// The consoles: NTSC (60 frames a second), PAL and Dendy (50).
enum class Region : uint8_t { Ntsc, Pal, Dendy };

// A console's frame: the horizontal blank of a visible line, the lines after the picture, the line
// whose start raises the vertical blank (NMI), the last line (the pre-render line), and the CPU
// cycles of each line after the picture. The visible part of a line is the same on every console.
//   NTSC: 263 lines, vertical blank from line 240, 114 cycles a line.
//   PAL: 312 lines, one idle line after the picture, vertical blank from line 241 for 70 lines;
//     the CPU runs at 15/16 of NTSC's speed against the picture, 107 cycles a line (106.875),
//     taken from the horizontal blank.
//   Dendy: 312 lines, 51 idle lines after the picture, vertical blank from line 291; NTSC's
//     CPU-to-picture speed.
struct FrameLayout {
    int32_t horizontalBlank;
    uint32_t vblankLine;
    uint32_t lastLine;
    int32_t lineCycles;
    double framesPerSecond;
};
constexpr FrameLayout NtscLayout{29, 240, 262, 114, 60};
constexpr FrameLayout PalLayout{21, 241, 311, 107, 50};
constexpr FrameLayout DendyLayout{29, 291, 311, 114, 50};
constexpr const FrameLayout& layoutOf(Region region)
{
    return region == Region::Pal ? PalLayout : region == Region::Dendy ? DendyLayout : NtscLayout;
}

// A frame's CPU cycles with visible parts of `visiblePart` cycles: on NTSC 29,982 with 85
// (scanline mode, or a skipped frame), 30,222 with 86 (a frame drawn pixel by pixel).
constexpr uint32_t frameCycles(const FrameLayout& layout, int32_t visiblePart)
{
    return VisibleLines * static_cast<uint32_t>(visiblePart + layout.horizontalBlank) +
           (layout.lastLine + 1 - VisibleLines) * static_cast<uint32_t>(layout.lineCycles);
}
static_assert(frameCycles(NtscLayout, VisiblePartCycles) == 29982 && frameCycles(NtscLayout, PixelLineCycles) == 30222);
static_assert(frameCycles(PalLayout, PixelLineCycles) == 33384);  // the console: 33,247.5

struct SchedulerState {
    int64_t frameCounter;  // frames run so far; frame skip tests it (64-bit: years of frames)
    Region region;
};

inline SchedulerState scheduler{};

class StateIo;
// The console the scheduler runs: its frame layout, and the sound unit's timing.
void setRegion(Region region);

// The scheduler's counters in a save state, in order.
void schedulerStateFields(StateIo& io, SchedulerState& state);

// How a frame is run; the front end's choice, not part of the machine.
struct FrameSettings {
    int32_t frameSkip = 1;      // one frame in every frameSkip is drawn (1 or more)
    bool scanlineMode = false;  // each line drawn at once instead of column by column
};

// True when the frame about to run is drawn (frameCounter modulo frameSkip is 0).
bool isRenderedFrame(const FrameSettings& settings);

// Runs one emulated frame: frame start, 240 visible lines, then the lines after the picture
// (vertical blank, and the pre-render line last) as the region's layout has them.
// The caller presents the picture, takes an event, paces and then counts the frame.
void runFrame(const FrameSettings& settings);
