// Background and sprite rendering into the FrameBuffer, and the PPU's frame and vblank work.
#pragma once

#include <algorithm>
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

// Pixel mode draws a line lazily while the CPU runs through it: columns before `drawn` are done,
// and the running instruction takes effect from column `cpuColumn` on. Before any CPU write that
// can change the picture, the columns the CPU has already passed are drawn (drawPassedColumns), so
// each column still shows the state at the moment the CPU reached it.
struct PixelLine {
    bool active;         // a pixel-mode line is being run
    uint32_t drawn;      // columns 0 to drawn - 1 are in the FrameBuffer
    uint32_t cpuColumn;  // the first column drawn after the running instruction
};

inline PixelLine pixelLine{};

// Draws the columns from `drawn` up to `cpuColumn`.
void drawPassedColumns();

// Start of every frame: sprite snapshot, sprite flags cleared.
void ppuStartFrame();
// Head of every visible line of a rendered frame: clears the line buffers, draws the line's sprites.
void evaluateSprites();
// Start of vertical blank: vblank flag, and the NMI when enabled.
void ppuStartVblank();

// Draws columns first to end - 1 of the current scanline from the state as it is now. Nothing
// is kept between calls: every call reads the registers, nametables, palette and page maps
// afresh, so a change made between two calls reaches the very next column drawn.
[[gnu::always_inline]] inline void renderPixels(uint32_t first, uint32_t end)
{
    const uint32_t line = ppu.scanline;
    const uint32_t select = ppu.nametableSelect;

    // Position in the 512x480 plane of the four nametable windows. The sum below is at most
    // 239 + 240 + 255, so one subtraction takes it modulo 480. The row is the same for the
    // whole line; the column advances tile by tile.
    uint32_t vy = line + (select >> 1) * FrameHeight + ppu.scrollY;
    if (vy >= 2 * FrameHeight)
        vy -= 2 * FrameHeight;
    const uint32_t lower = vy >= FrameHeight ? 1 : 0;
    const uint32_t ty = vy - lower * FrameHeight;
    const uint32_t tileRow = (ty >> 3) * 32;
    const uint32_t attributeRow = 0x3C0 + (ty >> 5) * 8;
    const uint32_t patternRow = ppu.backgroundPatternBase + (ty & 7);
    const uint32_t left = ((select & 1) << 8) + ppu.scrollX;

    // Background: one nametable, attribute and pattern fetch per tile, then its columns.
    for (uint32_t x = first; x < end;) {
        const uint32_t vx = (x + left) & 0x1FF;
        const uint32_t base = nametableMap[(vx >> 8) | (lower << 1)];
        const uint32_t tx = vx & 0xFF;

        // Pattern bytes of the tile row; the high plane is 8 bytes on, inside the same 1 KB page.
        const uint32_t tile = ppu.memory[base + tileRow + (tx >> 3)];
        const uint32_t pa = patternRow + tile * 16;
        const uint8_t* planes = &cartridge.chrMemory[chrPageMap[pa >> 10] + (pa & 0x3FF)];
        const uint32_t low = planes[0];
        const uint32_t high = planes[8];

        // Attribute quadrant: bit 1 of the shift from tx bit 4, bit 2 from ty bit 4. Colour 0
        // of every background palette is the backdrop at 0x3F00.
        const uint32_t attribute = ppu.memory[base + attributeRow + (tx >> 5)];
        const uint32_t palette = (attribute >> (((tx >> 3) & 2) | ((ty >> 2) & 4))) & 3;
        const uint8_t* colours = &ppu.memory[0x3F00 + (palette << 2)];
        const uint32_t backdrop = ppu.memory[0x3F00];

        const uint32_t tileEnd = std::min(end, x + 8 - (tx & 7));
        for (uint32_t bit = 7 - (tx & 7); x < tileEnd; ++x, --bit) {
            const uint32_t value = ((low >> bit) & 1) | (((high >> bit) & 1) << 1);
            backgroundLine[x] = value != 0 ? colours[value] : backdrop;
        }
    }

    // Layers, back to front: sprites behind, opaque background, sprites in front.
    const bool sprites = ppu.showSprites != 0;
    const bool background = ppu.showBackground != 0;
    for (uint32_t x = first; x < end; ++x) {
        uint32_t pixel = sprites ? spriteBehindLine[x] : 0;
        if (background && backgroundLine[x] != 0)
            pixel = backgroundLine[x];
        if (sprites && spriteFrontLine[x] != 0)
            pixel = spriteFrontLine[x];
        frameBuffer[line * FrameWidth + x] = static_cast<uint8_t>(pixel);
    }
}

// Draws column x of the current scanline.
[[gnu::always_inline]] inline void renderPixel(uint32_t x) { renderPixels(x, x + 1); }
