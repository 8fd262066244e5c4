// Background and sprite rendering into the FrameBuffer, and the PPU's frame and vblank work.
#pragma once

#include <array>
#include <cstdint>

#include "app/video.h"
#include "bus/cartridge.h"
#include "bus/page_maps.h"
#include "ppu/ppu_state.h"

// One scanline of palette bytes per screen column; 0 where nothing is drawn.
using LineBuffer = std::array<uint32_t, FrameWidth>;

inline LineBuffer spriteFrontLine{};   // sprite pixels drawn over the background
inline LineBuffer spriteBehindLine{};  // sprite pixels that lie behind the background
inline LineBuffer backgroundLine{};    // the background pixels of the line

// Start of every frame: sprite snapshot, sprite flags cleared.
void ppuStartFrame();
// Head of every visible line of a rendered frame: clears the line buffers, draws the line's sprites.
void evaluateSprites();
// Start of vertical blank: vblank flag, and the NMI when enabled.
void ppuStartVblank();

// Draws column x of the current scanline. Everything is read afresh for each pixel, so a
// register, nametable, palette or page-map change reaches the very next column computed.
[[gnu::always_inline]] inline void renderPixel(uint32_t x)
{
    const uint32_t line = ppu.scanline;
    const uint32_t select = ppu.nametableSelect;

    // Position in the 512x480 plane of the four nametable windows. The sum below is at most
    // 239 + 240 + 255, so one subtraction takes it modulo 480.
    const uint32_t vx = (x + ((select & 1) << 8) + ppu.scrollX) & 0x1FF;
    uint32_t vy = line + (select >> 1) * FrameHeight + ppu.scrollY;
    if (vy >= 2 * FrameHeight)
        vy -= 2 * FrameHeight;
    const uint32_t lower = vy >= FrameHeight ? 1 : 0;
    const uint32_t base = nametableMap[(vx >> 8) | (lower << 1)];
    const uint32_t tx = vx & 0xFF;
    const uint32_t ty = vy - lower * FrameHeight;

    // Pattern value of the pixel; the high plane is 8 bytes on, inside the same 1 KB page.
    const uint32_t tile = ppu.memory[base + (ty >> 3) * 32 + (tx >> 3)];
    const uint32_t pa = ppu.backgroundPatternBase + tile * 16 + (ty & 7);
    const uint8_t* planes = &cartridge.chrMemory[chrPageMap[pa >> 10] + (pa & 0x3FF)];
    const uint32_t bit = 7 - (tx & 7);
    const uint32_t value = ((planes[0] >> bit) & 1) | (((planes[8] >> bit) & 1) << 1);

    // Attribute quadrant: bit 1 of the shift from tx bit 4, bit 2 from ty bit 4.
    const uint32_t attribute = ppu.memory[base + 0x3C0 + (ty >> 5) * 8 + (tx >> 5)];
    const uint32_t shift = ((tx >> 3) & 2) | ((ty >> 2) & 4);
    const uint32_t palette = (attribute >> shift) & 3;

    // Colour 0 of every background palette is the backdrop at 0x3F00.
    const uint32_t colour = ppu.memory[0x3F00 + (value != 0 ? (palette << 2) | value : 0)];
    backgroundLine[x] = colour;

    uint32_t pixel = ppu.showSprites ? spriteBehindLine[x] : 0;
    if (ppu.showBackground && colour != 0)
        pixel = colour;
    if (ppu.showSprites && spriteFrontLine[x] != 0)
        pixel = spriteFrontLine[x];
    frameBuffer[line * FrameWidth + x] = static_cast<uint8_t>(pixel);
}
