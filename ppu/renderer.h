// Background and sprite rendering into the FrameBuffer, and the PPU's frame, line and vblank work.
#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "ppu/frame_buffer.h"
#include "ppu/ppu_state.h"

// One scanline of bytes per screen column. Eight more bytes take what a sprite row starting at
// columns 249-255 writes past the right edge, unseen.
using LineBuffer = std::array<uint8_t, FrameWidth + 8>;
// One bit per screen column: bit x % 64 of word x / 64.
using ColumnBits = std::array<uint64_t, FrameWidth / 64>;

// The line's sprite pixels, drawn by evaluateSprites: the columns that hold an opaque sprite pixel,
// and for each of them the colour of the frontmost one there (the lowest-numbered sprite) and
// whether that sprite lies behind the background. spriteLine is valid only in the marked columns,
// so every other column is the background's alone.
inline ColumnBits spriteColumns{};
inline ColumnBits spriteBehindColumns{};
inline LineBuffer spriteLine{};

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

// The column of the sprite-0 hit that evaluateSprites found on the line being run, until it shows in
// the status register: when the CPU reaches that column (seeSpriteZeroHit) or the line ends.
constexpr uint32_t NoHitColumn = UINT32_MAX;
inline uint32_t spriteZeroHitColumn = NoHitColumn;

// Draws the columns from `drawn` up to the running instruction's column.
void drawPassedColumns();

// Start of every frame: the sprite snapshot.
void ppuStartFrame();
// Head of every visible line, drawn or skipped: the sprites on the line (the first eight in OAM
// order; a ninth sets the overflow flag) and where sprite 0 hits the background. In a drawn frame
// (`drawn`) their rows also go into the sprite line buffers.
void evaluateSprites(bool drawn = true);
// A status read: a sprite-0 hit on this line shows once the CPU has reached its column.
void seeSpriteZeroHit();
// End of every visible line's visible part: the line's sprite-0 hit shows, and with rendering on the
// sprite fetch leaves OAMADDR at 0.
void ppuLineEnd();
// Start of vertical blank: vblank flag, and the NMI when enabled.
void ppuStartVblank();
// Start of the pre-render line (the frame's last): the vblank, sprite-0 and overflow flags clear.
void ppuStartPrerenderLine();

// Where the current line's background comes from, in the 512x480 plane of the four nametable
// windows: its tile and attribute rows in the plane's left and right windows, and the row's
// pattern offset. The row is the same for the whole line; the column advances tile by tile.
struct BackgroundRow {
    const ChrPageMap* pages;  // the background's pattern pages (backgroundChrPages)
    std::array<const uint8_t*, 2> tiles;
    std::array<const uint8_t*, 2> attributes;
    uint32_t patternRow;      // pattern table base + fine Y
    uint32_t left;            // plane column of screen column 0
    uint32_t attributeShift;  // 4 on the lower half of an attribute cell
    uint32_t tileRowOffset;   // the row's first tile in its nametable: 32 x (row / 8)

    // The pattern address of the tile row under plane column vx (0-511).
    uint32_t patternAddress(uint32_t vx) const { return patternRow + tiles[vx >> 8][(vx & 0xFF) >> 3] * 16u; }
};

[[gnu::always_inline]] inline BackgroundRow backgroundRow()
{
    const uint32_t select = ppu.nametableSelect;
    // The sum below is at most 239 + 240 + 479, so two subtractions take it modulo 480.
    uint32_t vy = ppu.scanline + (select >> 1) * FrameHeight + ppu.scrollY;
    if (vy >= 2 * FrameHeight)
        vy -= 2 * FrameHeight;
    if (vy >= 2 * FrameHeight)
        vy -= 2 * FrameHeight;
    const uint32_t lower = vy >= FrameHeight ? 1 : 0;
    const uint32_t ty = vy - lower * FrameHeight;
    const uint32_t leftWindow = nametableMap[lower << 1];
    const uint32_t rightWindow = nametableMap[(lower << 1) | 1];
    return {backgroundChrPages,
            {&ppu.memory[leftWindow + (ty >> 3) * 32], &ppu.memory[rightWindow + (ty >> 3) * 32]},
            {&ppu.memory[leftWindow + 0x3C0 + (ty >> 5) * 8], &ppu.memory[rightWindow + 0x3C0 + (ty >> 5) * 8]},
            ppu.backgroundPatternBase + (ty & 7),
            ((select & 1) << 8) + ppu.scrollX,
            (ty >> 2) & 4,
            (ty >> 3) * 32};
}

// The two plane bytes of the pattern row at `address` through `pages`; the high plane is 8 bytes
// on, in the same 1 KB page.
[[gnu::always_inline]] inline const uint8_t* patternPlanes(uint32_t address, const ChrPageMap& pages = chrPageMap)
{
    return &cartridge.chrMemory[pages[address >> 10] + (address & 0x3FF)];
}

// True when the background pixel of plane column vx has a pattern value other than 0.
[[gnu::always_inline]] inline bool patternOpaque(const BackgroundRow& background, uint32_t vx)
{
    const uint8_t* planes = patternPlanes(background.patternAddress(vx), *background.pages);
    return (((planes[0] | planes[8]) >> (7 - (vx & 7))) & 1) != 0;
}

// renderPixels for a board that shapes the tiles (boardShapesTiles); out of line.
void renderBoardPixels(uint32_t first, uint32_t end);

// Draws columns first to end - 1 of the current scanline from the state as it is now. Nothing
// is kept between calls: every call reads the registers, nametables, palette and page maps
// afresh, so a change made between two calls reaches the very next column drawn. `ByBoard`: the
// board sees each tile row fetched, or draws it.
template <bool ByBoard>
[[gnu::always_inline]] inline void renderPixelsOf(uint32_t first, uint32_t end)
{
    const uint32_t line = ppu.scanline;
    const BackgroundRow background = backgroundRow();

    // The eight colours of a tile row come from its two plane masks (PlaneColumns: each byte 0 or
    // 1) as backdrop x Ones + low x d1 + high x d2 + (low AND high) x d3, with d1 = c1 - c0,
    // d2 = c2 - c0, d3 = c3 - c2 - c1 + c0 of the palette's colours c0-c3 (c0 the backdrop). Each
    // byte of the sum is then exactly the colour of its value; the wrapping of the differences
    // cancels out across the bytes. The differences of the four palettes, once per call:
    const uint8_t backdrop = ppu.memory[0x3F00];
    std::array<std::array<uint64_t, 3>, 4> terms;
    for (uint32_t p = 0; p < 4; ++p) {
        const uint8_t* colour = &ppu.memory[0x3F00 + 4 * p];
        terms[p] = {uint64_t{colour[1]} - backdrop, uint64_t{colour[2]} - backdrop,
                    uint64_t{colour[3]} - colour[2] - colour[1] + backdrop};
    }
    const uint64_t backdropColumns = 0x0101010101010101 * uint64_t{backdrop};

    uint8_t* const row = &frameBuffer[line * FrameWidth];
    lineEmphasis[line] = ppu.emphasis;
    static_assert(std::endian::native == std::endian::little, "the 8-byte store puts byte 0 first");
    // The colours of the tile under plane column vx (0-511), one byte per column.
    const auto tileColours = [&](uint32_t vx) __attribute__((always_inline)) {
        // patternAddress(vx), with the window and column kept for the attribute below: the
        // compiler then shares them (2% of a frame's instructions).
        const uint32_t window = vx >> 8;
        const uint32_t tx = vx & 0xFF;
        const uint32_t pa = background.patternRow + background.tiles[window][tx >> 3] * 16u;
        const uint8_t* planes = patternPlanes(pa, *background.pages);
        // Attribute quadrant: bit 1 of the shift from tx bit 4, bit 2 from ty bit 4.
        const uint32_t shift = ((tx >> 3) & 2) | background.attributeShift;
        uint32_t palette = (background.attributes[window][tx >> 5] >> shift) & 3;
        if constexpr (ByBoard) {
            if (chrFetchWatcher != nullptr)
                chrFetchWatcher(pa + 8);  // the switch it may make shows from the next tile on
            if (boardTile != nullptr) {
                const uint32_t lineTile = ((vx - (background.left & ~7u)) & 0x1FF) >> 3;
                if (const BoardTile tile = boardTile(pa, background.tileRowOffset + (tx >> 3), lineTile); tile.planes != nullptr) {
                    planes = tile.planes;
                    palette = tile.palette;
                }
            }
        }
        const uint64_t low = PlaneColumns[planes[0]];
        const uint64_t high = PlaneColumns[planes[8]];
        const auto& term = terms[palette];
        return backdropColumns + low * term[0] + high * term[1] + (low & high) * term[2];
    };
    // Columns x to stop - 1 from a tile's colours, starting at its column `fine`.
    uint32_t x = first;
    const auto drawPart = [&](uint64_t colours, uint32_t fine, uint32_t stop) {
        for (; x < stop; ++x, ++fine)
            row[x] = static_cast<uint8_t>(colours >> (8 * fine));
    };

    // The background hidden, or its left column clipped: the backdrop, transparent.
    const uint32_t shownFrom = !ppu.showBackground ? FrameWidth : ppu.backgroundLeftColumn ? 0 : 8;
    if (x < shownFrom && x < end) {
        const uint32_t stop = std::min(end, shownFrom);
        std::memset(&row[x], backdrop, stop - x);
        x = stop;
    }
    // A cut first tile, whole tiles with one 8-byte store each (the common case), a cut last tile.
    const uint32_t left = background.left;
    if (const uint32_t fine = (x + left) & 7; fine != 0 && x < end)
        drawPart(tileColours((x + left) & 0x1FF), fine, std::min(x + 8 - fine, end));
    for (; x + 8 <= end; x += 8) {
        const uint64_t colours = tileColours((x + left) & 0x1FF);
        std::memcpy(&row[x], &colours, 8);
    }
    if (x < end)
        drawPart(tileColours((x + left) & 0x1FF), 0, end);

    // Columns with a sprite pixel: it shows unless its sprite lies behind an opaque background
    // pixel. A background pixel in another colour than the backdrop is opaque; one in the
    // backdrop's colour is looked up (its pattern value may be 0 or not).
    if (ppu.showSprites) {
        for (uint32_t word = first / 64; word * 64 < end; ++word) {
            uint64_t columns = spriteColumns[word];
            if (first > word * 64)
                columns &= ~uint64_t{0} << (first - word * 64);
            if (end < word * 64 + 64)
                columns &= ~(~uint64_t{0} << (end - word * 64));
            for (; columns != 0; columns &= columns - 1) {
                const auto bit = static_cast<uint32_t>(std::countr_zero(columns));
                const uint32_t column = word * 64 + bit;
                const bool behind = ((spriteBehindColumns[word] >> bit) & 1) != 0;
                if (!behind || column < shownFrom ||
                    (row[column] == backdrop && !patternOpaque(background, (column + left) & 0x1FF)))
                    row[column] = spriteLine[column];
            }
        }
    }
    if (ppu.greyscale) [[unlikely]] {
        for (uint32_t column = first; column < end; ++column)
            row[column] &= 0x30;  // the grey column of the colour chart
    }
}

[[gnu::always_inline]] inline void renderPixels(uint32_t first, uint32_t end)
{
    if (boardShapesTiles) [[unlikely]]
        renderBoardPixels(first, end);
    else
        renderPixelsOf<false>(first, end);
}

// Draws column x of the current scanline.
[[gnu::always_inline]] inline void renderPixel(uint32_t x) { renderPixels(x, x + 1); }
