// Background and sprite rendering into the FrameBuffer, and the PPU's frame and vblank work.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
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

// Columns where a sprite buffer may hold a pixel: bit x % 64 of word x / 64. evaluateSprites clears
// it with the line buffers and sets a bit with every sprite pixel it stores, so in every other
// column both sprite buffers are 0 and the background alone decides the pixel.
inline std::array<uint64_t, FrameWidth / 64> spriteColumns{};

// Bit i of a byte moved to bit 2i: SpreadBits[low] | SpreadBits[high] << 1 holds the 2-bit
// pattern values of a tile row, the leftmost column in bits 14-15.
inline constexpr std::array<uint16_t, 256> SpreadBits = [] {
    std::array<uint16_t, 256> table{};
    for (uint32_t b = 0; b < 256; ++b)
        for (uint32_t i = 0; i < 8; ++i)
            table[b] = static_cast<uint16_t>(table[b] | (((b >> i) & 1) << (2 * i)));
    return table;
}();

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

    // Colour of palette q, pattern value v at 4q + v; value 0 of every palette is the backdrop.
    std::array<uint8_t, 16> colours;
    for (uint32_t i = 0; i < colours.size(); ++i)
        colours[i] = ppu.memory[0x3F00 + (i % 4 != 0 ? i : 0)];

    // The background, which is also the whole pixel wherever no sprite lies.
    uint8_t* const row = &frameBuffer[line * FrameWidth];
    const uint32_t shown = ppu.showBackground ? 0xFF : 0;
    for (uint32_t x = first; x < end;) {
        const uint32_t vx = (x + left) & 0x1FF;
        const uint32_t base = nametableMap[(vx >> 8) | (lower << 1)];
        const uint32_t tx = vx & 0xFF;

        // Pattern bytes of the tile row; the high plane is 8 bytes on, inside the same 1 KB page.
        const uint32_t tile = ppu.memory[base + tileRow + (tx >> 3)];
        const uint32_t pa = patternRow + tile * 16;
        const uint8_t* planes = &cartridge.chrMemory[chrPageMap[pa >> 10] + (pa & 0x3FF)];
        uint32_t values = (SpreadBits[planes[0]] | (SpreadBits[planes[8]] << 1)) << (2 * (tx & 7));

        // Attribute quadrant: bit 1 of the shift from tx bit 4, bit 2 from ty bit 4.
        const uint32_t attribute = ppu.memory[base + attributeRow + (tx >> 5)];
        const uint8_t* palette = &colours[4 * ((attribute >> (((tx >> 3) & 2) | ((ty >> 2) & 4))) & 3)];

        for (const uint32_t tileEnd = std::min(end, x + 8 - (tx & 7)); x < tileEnd; ++x, values <<= 2) {
            const uint32_t colour = palette[(values >> 14) & 3];
            backgroundLine[x] = colour;
            row[x] = static_cast<uint8_t>(colour & shown);
        }
    }

    // Columns with sprite pixels, back to front: behind, opaque background, in front.
    if (!ppu.showSprites)
        return;
    for (uint32_t word = first / 64; word * 64 < end; ++word) {
        uint64_t columns = spriteColumns[word];
        if (first > word * 64)
            columns &= ~uint64_t{0} << (first - word * 64);
        if (end < word * 64 + 64)
            columns &= ~(~uint64_t{0} << (end - word * 64));
        for (; columns != 0; columns &= columns - 1) {
            const uint32_t x = word * 64 + static_cast<uint32_t>(std::countr_zero(columns));
            uint32_t pixel = spriteBehindLine[x];
            if (shown && backgroundLine[x] != 0)
                pixel = backgroundLine[x];
            if (spriteFrontLine[x] != 0)
                pixel = spriteFrontLine[x];
            row[x] = static_cast<uint8_t>(pixel);
        }
    }
}

// Draws column x of the current scanline.
[[gnu::always_inline]] inline void renderPixel(uint32_t x) { renderPixels(x, x + 1); }
