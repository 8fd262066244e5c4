// Background and sprite rendering into the FrameBuffer, and the PPU's frame and vblank work.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "ppu/frame_buffer.h"
#include "ppu/ppu_state.h"

// One scanline of palette bytes per screen column; 0 where nothing is drawn. Eight more bytes
// take what a sprite row starting at columns 249-255 writes past the right edge, unseen.
using LineBuffer = std::array<uint8_t, FrameWidth + 8>;

inline LineBuffer spriteFrontLine{};   // sprite pixels drawn over the background
inline LineBuffer spriteBehindLine{};  // sprite pixels that lie behind the background

// Columns where a sprite buffer may hold a pixel: bit x % 64 of word x / 64. evaluateSprites sets a
// bit with every sprite pixel it stores, so in every other column both sprite buffers are 0 and
// the background alone decides the pixel; at the next line it clears the groups of 64 columns
// whose word is not 0, and the words.
inline std::array<uint64_t, FrameWidth / 64> spriteColumns{};

// Bit 7 - c of a byte moved to bit 0 of byte c: the plane bits of a tile row, one byte per
// column, the leftmost column in byte 0.
inline constexpr std::array<uint64_t, 256> PlaneColumns = [] {
    std::array<uint64_t, 256> table{};
    for (uint32_t b = 0; b < 256; ++b)
        for (uint32_t c = 0; c < 8; ++c)
            table[b] |= uint64_t{(b >> (7 - c)) & 1} << (8 * c);
    return table;
}();

// Pixel mode: the columns the PPU draws during one CPU cycle.
constexpr uint32_t PixelsPerStep = 3;

// Pixel mode draws a line lazily while the CPU runs through it: columns before `drawn` are done,
// and the running instruction takes effect from the column of the step in which it started.
// Before any CPU write that can change the picture, the columns the CPU has already passed are
// drawn (drawPassedColumns), so each column still shows the state at the moment the CPU reached it.
struct PixelLine {
    bool active;        // a pixel-mode line is being run
    uint32_t drawn;     // columns 0 to drawn - 1 are in the FrameBuffer
    int32_t stepStart;  // cycleCounter as the running instruction started; its column follows from it
};

inline PixelLine pixelLine{};

// Draws the columns from `drawn` up to the running instruction's column.
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
    // 239 + 240 + 479, so two subtractions take it modulo 480. The row is the same for the
    // whole line; the column advances tile by tile.
    uint32_t vy = line + (select >> 1) * FrameHeight + ppu.scrollY;
    if (vy >= 2 * FrameHeight)
        vy -= 2 * FrameHeight;
    if (vy >= 2 * FrameHeight)
        vy -= 2 * FrameHeight;
    const uint32_t lower = vy >= FrameHeight ? 1 : 0;
    const uint32_t ty = vy - lower * FrameHeight;
    const uint32_t patternRow = ppu.backgroundPatternBase + (ty & 7);
    const uint32_t left = ((select & 1) << 8) + ppu.scrollX;
    // The line's tile row and attribute row in the left and the right window of the plane.
    const std::array<const uint8_t*, 2> tiles = {&ppu.memory[nametableMap[lower << 1] + (ty >> 3) * 32],
                                                 &ppu.memory[nametableMap[(lower << 1) | 1] + (ty >> 3) * 32]};
    const std::array<const uint8_t*, 2> attributes = {&ppu.memory[nametableMap[lower << 1] + 0x3C0 + (ty >> 5) * 8],
                                                      &ppu.memory[nametableMap[(lower << 1) | 1] + 0x3C0 + (ty >> 5) * 8]};
    const uint32_t attributeShift = (ty >> 2) & 4;

    // The eight colours of a tile row come from its two plane masks (PlaneColumns: each byte 0 or
    // 1) as backdrop x Ones + low x d1 + high x d2 + (low AND high) x d3, with d1 = c1 - c0,
    // d2 = c2 - c0, d3 = c3 - c2 - c1 + c0 of the palette's colours c0-c3 (c0 the backdrop). Each
    // byte of the sum is then exactly the colour of its value; the wrapping of the differences
    // cancels out across the bytes. The differences of the four palettes, once per call:
    const uint64_t backdrop = ppu.memory[0x3F00];
    std::array<std::array<uint64_t, 3>, 4> terms;
    for (uint32_t p = 0; p < 4; ++p) {
        const uint8_t* colour = &ppu.memory[0x3F00 + 4 * p];
        terms[p] = {colour[1] - backdrop, colour[2] - backdrop, colour[3] - colour[2] - colour[1] + backdrop};
    }
    constexpr uint64_t Ones = 0x0101010101010101;

    uint8_t* const row = &frameBuffer[line * FrameWidth];
    const uint64_t shown = ppu.showBackground ? ~uint64_t{0} : 0;
    static_assert(std::endian::native == std::endian::little, "the 8-byte store puts byte 0 first");
    // The colours of the tile under plane column vx (0-511), one byte per column.
    const auto tileColours = [&](uint32_t vx) {
        const uint32_t window = vx >> 8;
        const uint32_t tx = vx & 0xFF;

        // Pattern bytes of the tile row; the high plane is 8 bytes on, inside the same 1 KB page.
        const uint32_t pa = patternRow + tiles[window][tx >> 3] * 16u;
        const uint8_t* planes = &cartridge.chrMemory[chrPageMap[pa >> 10] + (pa & 0x3FF)];
        const uint64_t low = PlaneColumns[planes[0]];
        const uint64_t high = PlaneColumns[planes[8]];

        // Attribute quadrant: bit 1 of the shift from tx bit 4, bit 2 from ty bit 4.
        const auto& term = terms[(attributes[window][tx >> 5] >> (((tx >> 3) & 2) | attributeShift)) & 3];
        return (Ones * backdrop + low * term[0] + high * term[1] + (low & high) * term[2]) & shown;
    };
    // Columns x to stop - 1 from a tile's colours, starting at its column `fine`.
    uint32_t x = first;
    const auto drawPart = [&](uint64_t colours, uint32_t fine, uint32_t stop) {
        for (; x < stop; ++x, ++fine)
            row[x] = static_cast<uint8_t>(colours >> (8 * fine));
    };

    // A cut first tile, whole tiles with one 8-byte store each (the common case), a cut last tile.
    if (const uint32_t fine = (x + left) & 7; fine != 0 && x < end)
        drawPart(tileColours((x + left) & 0x1FF), fine, std::min(x + 8 - fine, end));
    for (; x + 8 <= end; x += 8) {
        const uint64_t colours = tileColours((x + left) & 0x1FF);
        std::memcpy(&row[x], &colours, 8);
    }
    if (x < end)
        drawPart(tileColours((x + left) & 0x1FF), 0, end);

    // Columns with sprite pixels, back to front: behind, opaque background (a colour byte other
    // than 0 in the row just drawn; 0 throughout when the background is hidden), in front.
    if (!ppu.showSprites)
        return;
    for (uint32_t word = first / 64; word * 64 < end; ++word) {
        uint64_t columns = spriteColumns[word];
        if (first > word * 64)
            columns &= ~uint64_t{0} << (first - word * 64);
        if (end < word * 64 + 64)
            columns &= ~(~uint64_t{0} << (end - word * 64));
        for (; columns != 0; columns &= columns - 1) {
            const uint32_t column = word * 64 + static_cast<uint32_t>(std::countr_zero(columns));
            uint32_t pixel = spriteBehindLine[column];
            if (row[column] != 0)
                pixel = row[column];
            if (spriteFrontLine[column] != 0)
                pixel = spriteFrontLine[column];
            row[column] = static_cast<uint8_t>(pixel);
        }
    }
}

// Draws column x of the current scanline.
[[gnu::always_inline]] inline void renderPixel(uint32_t x) { renderPixels(x, x + 1); }
