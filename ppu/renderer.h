// Background and sprite rendering into the FrameBuffer, and the PPU's frame and vblank work.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

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

// Bit 7 - c of a byte moved to bit 0 of byte c: the plane bits of a tile row, one byte per
// column, the leftmost column in byte 0.
inline constexpr std::array<uint64_t, 256> PlaneColumns = [] {
    std::array<uint64_t, 256> table{};
    for (uint32_t b = 0; b < 256; ++b)
        for (uint32_t c = 0; c < 8; ++c)
            table[b] |= uint64_t{(b >> (7 - c)) & 1} << (8 * c);
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
    // 239 + 240 + 479, so two subtractions take it modulo 480. The row is the same for the
    // whole line; the column advances tile by tile.
    uint32_t vy = line + (select >> 1) * FrameHeight + ppu.scrollY;
    if (vy >= 2 * FrameHeight)
        vy -= 2 * FrameHeight;
    if (vy >= 2 * FrameHeight)
        vy -= 2 * FrameHeight;
    const uint32_t lower = vy >= FrameHeight ? 1 : 0;
    const uint32_t ty = vy - lower * FrameHeight;
    const uint32_t tileRow = (ty >> 3) * 32;
    const uint32_t attributeRow = 0x3C0 + (ty >> 5) * 8;
    const uint32_t patternRow = ppu.backgroundPatternBase + (ty & 7);
    const uint32_t left = ((select & 1) << 8) + ppu.scrollX;

    const uint64_t backdrop = ppu.memory[0x3F00];
    uint8_t* const row = &frameBuffer[line * FrameWidth];
    const uint64_t shown = ppu.showBackground ? ~uint64_t{0} : 0;

    // Stores the colour bytes of `count` columns from x on (lowest byte first): the background,
    // which is also the whole pixel wherever no sprite lies. A whole tile goes into the
    // FrameBuffer with one 8-byte store.
    static_assert(std::endian::native == std::endian::little, "the 8-byte store puts byte 0 first");
    uint32_t x = first;
    const auto drawColumns = [&](uint64_t colours, uint32_t count) {
        std::array<uint8_t, 8> bytes;
        std::memcpy(bytes.data(), &colours, 8);
        for (uint32_t i = 0; i < count; ++i)
            backgroundLine[x + i] = bytes[i];
        const uint64_t pixels = colours & shown;
        if (count == 8)
            std::memcpy(&row[x], &pixels, 8);
        else
            for (uint32_t i = 0; i < count; ++i)
                row[x + i] = static_cast<uint8_t>(pixels >> (8 * i));
        x += count;
    };

    while (x < end) {
        const uint32_t vx = (x + left) & 0x1FF;
        const uint32_t base = nametableMap[(vx >> 8) | (lower << 1)];
        const uint32_t tx = vx & 0xFF;

        // Pattern bytes of the tile row; the high plane is 8 bytes on, inside the same 1 KB page.
        const uint32_t tile = ppu.memory[base + tileRow + (tx >> 3)];
        const uint32_t pa = patternRow + tile * 16;
        const uint8_t* planes = &cartridge.chrMemory[chrPageMap[pa >> 10] + (pa & 0x3FF)];
        const uint64_t low = PlaneColumns[planes[0]];
        const uint64_t high = PlaneColumns[planes[8]];

        // Attribute quadrant: bit 1 of the shift from tx bit 4, bit 2 from ty bit 4. Value 0 of
        // every palette shows the backdrop.
        const uint32_t attribute = ppu.memory[base + attributeRow + (tx >> 5)];
        const uint8_t* palette = &ppu.memory[0x3F00 + 4 * ((attribute >> (((tx >> 3) & 2) | ((ty >> 2) & 4))) & 3)];

        // The eight colours at once: each byte of a value's column mask is 0 or 1, so multiplying
        // it by a colour byte puts that colour into exactly those columns.
        constexpr uint64_t Ones = 0x0101010101010101;
        const uint64_t colours = (Ones & ~(low | high)) * backdrop + (low & ~high) * palette[1] +
                                 (high & ~low) * palette[2] + (low & high) * palette[3];

        // A whole tile (the common case) as eight constant columns; the first or last tile of the
        // run may be cut.
        const uint32_t fine = tx & 7;
        if (fine == 0 && end - x >= 8)
            drawColumns(colours, 8);
        else
            drawColumns(colours >> (8 * fine), std::min(8 - fine, end - x));
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
            const uint32_t column = word * 64 + static_cast<uint32_t>(std::countr_zero(columns));
            uint32_t pixel = spriteBehindLine[column];
            if (shown && backgroundLine[column] != 0)
                pixel = backgroundLine[column];
            if (spriteFrontLine[column] != 0)
                pixel = spriteFrontLine[column];
            row[column] = static_cast<uint8_t>(pixel);
        }
    }
}

// Draws column x of the current scanline.
[[gnu::always_inline]] inline void renderPixel(uint32_t x) { renderPixels(x, x + 1); }
