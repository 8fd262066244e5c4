// Background and sprite rendering into the FrameBuffer, and the PPU's frame and vblank work.
#pragma once

#include <array>
#include <cstdint>

#include "app/video.h"
#include "ppu/ppu_state.h"

// Start of every frame: sprite snapshot, sprite flags cleared.
void ppuStartFrame();
// Head of every visible line of a rendered frame: clears the line buffers, draws the line's sprites.
void evaluateSprites();
// Start of vertical blank: vblank flag, and the NMI when enabled.
void ppuStartVblank();

// Draws column x of the current scanline.
inline void renderPixel(uint32_t x)
{
    frameBuffer[ppu.scanline * 256 + x] = 0;
}
