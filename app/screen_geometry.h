// Where the picture goes: the window's size at a scale, and the full-screen picture's scale and place.
#pragma once

#include <algorithm>
#include <cstdint>

#include "ppu/frame_buffer.h"

constexpr int32_t MinScale = 1;
constexpr int32_t MaxScale = 6;
constexpr int32_t DefaultScale = 2;

// A screen of width x height pixels showing the frame with each pixel a scale x scale block whose
// top-left corner is at (left, top); what lies around it is black.
struct ScreenGeometry {
    int32_t width;
    int32_t height;
    int32_t scale;
    int32_t left;
    int32_t top;
    bool operator==(const ScreenGeometry&) const = default;
};

// The window at a scale: exactly the enlarged frame.
constexpr ScreenGeometry windowGeometry(int32_t scale)
{
    return {static_cast<int32_t>(FrameWidth) * scale, static_cast<int32_t>(FrameHeight) * scale, scale, 0, 0};
}

// The largest whole scale at which the frame fits a desktop; 1 on a desktop smaller than the frame.
constexpr int32_t fittingScale(int32_t desktopWidth, int32_t desktopHeight)
{
    return std::max(1, std::min(desktopWidth / static_cast<int32_t>(FrameWidth),
                                desktopHeight / static_cast<int32_t>(FrameHeight)));
}

// Full screen at the desktop's size, the picture at the fitting scale and centred. A desktop
// smaller than the frame gets a screen of the frame's size (the picture must fit the surface).
constexpr ScreenGeometry fullScreenGeometry(int32_t desktopWidth, int32_t desktopHeight)
{
    const int32_t scale = fittingScale(desktopWidth, desktopHeight);
    const int32_t width = std::max(desktopWidth, static_cast<int32_t>(FrameWidth) * scale);
    const int32_t height = std::max(desktopHeight, static_cast<int32_t>(FrameHeight) * scale);
    return {width, height, scale, (width - static_cast<int32_t>(FrameWidth) * scale) / 2,
            (height - static_cast<int32_t>(FrameHeight) * scale) / 2};
}
