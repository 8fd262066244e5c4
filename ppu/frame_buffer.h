// The picture: one palette index per pixel, as the PPU draws it.
#pragma once

#include <array>
#include <cstdint>

constexpr uint32_t FrameWidth = 256;
constexpr uint32_t FrameHeight = 240;

using FrameBuffer = std::array<uint8_t, FrameWidth * FrameHeight>;  // row-major palette indices
inline FrameBuffer frameBuffer{};
