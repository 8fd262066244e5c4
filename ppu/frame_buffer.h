// The picture: one palette index per pixel, as the PPU draws it.
#pragma once

#include <array>
#include <cstdint>

constexpr uint32_t FrameWidth = 256;
constexpr uint32_t FrameHeight = 240;

using FrameBuffer = std::array<uint8_t, FrameWidth * FrameHeight>;  // row-major palette indices
inline FrameBuffer frameBuffer{};

// The colour emphasis of each row (0x2001 bits 5-7 as bits 0-2: red, green, blue) as it was drawn.
using LineEmphasis = std::array<uint8_t, FrameHeight>;
inline LineEmphasis lineEmphasis{};
