// The picture of the console's standard controller shown by the key-configuration screen.
#pragma once

#include <array>
#include <cstdint>

constexpr uint32_t PictureWidth = 256;
constexpr uint32_t PictureHeight = 99;
constexpr uint32_t PictureTopRow = 141;  // the FrameBuffer row of the picture's first row

// Row-major console colour numbers (SystemPalette indices 0-61), copied into FrameBuffer unchanged.
using Picture = std::array<uint8_t, PictureWidth * PictureHeight>;
extern const Picture ControllerPicture;
