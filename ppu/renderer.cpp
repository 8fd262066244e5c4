#include "ppu/renderer.h"

#include "cpu/interrupts.h"

namespace {

constexpr uint32_t SpriteCount = 64;
constexpr uint32_t SpritesPerLine = 8;
constexpr uint32_t SpritePaletteStart = 0x3F10;

// The sprites that may cover each evaluated line (scanline - 1): bit s of the first table is set
// when the line is one of rows 0-7 of sprite s (from its Y), of the second when it is one of rows
// 8-15, which only 8x16 sprites have. ppuStartFrame builds them together with oamCopy, the only
// write of oamCopy; each line still makes the exact height test.
std::array<uint64_t, FrameHeight> spritesOnUpperRows{};
std::array<uint64_t, FrameHeight> spritesOnLowerRows{};

// Bit 7 - c of a byte moved to bit c: a plane byte as a column mask, leftmost column in bit 0.
constexpr std::array<uint8_t, 256> ColumnBits = [] {
    std::array<uint8_t, 256> table{};
    for (uint32_t b = 0; b < 256; ++b)
        for (uint32_t c = 0; c < 8; ++c)
            table[b] = static_cast<uint8_t>(table[b] | (((b >> (7 - c)) & 1) << c));
    return table;
}();

// Bit c of a byte moved to bit 0 of byte c: the plane bits of a mirrored tile row.
constexpr std::array<uint64_t, 256> MirroredPlaneColumns = [] {
    std::array<uint64_t, 256> table{};
    for (uint32_t b = 0; b < 256; ++b)
        for (uint32_t c = 0; c < 8; ++c)
            table[b] |= uint64_t{(b >> c) & 1} << (8 * c);
    return table;
}();

// Draws one 8-pixel row of a sprite into the line buffer it belongs to, all eight columns at once:
// the opaque columns on screen take the row's colours, the others keep what the buffer holds.
// Returns true when an opaque pixel landed on screen at or right of the clip column.
bool drawSpriteRow(uint32_t patternAddress, uint32_t left, uint32_t attributes, uint32_t clip)
{
    const uint8_t* planes = &cartridge.chrMemory[chrPageMap[patternAddress >> 10] + (patternAddress & 0x3FF)];
    const bool hflip = (attributes & 0x40) != 0;

    // The row's columns that show: from the clip column on and left of the screen's right edge.
    const uint32_t from = left < clip ? clip - left : 0;
    const uint32_t to = std::min<uint32_t>(8, FrameWidth - left);
    const uint32_t shownBits = from < to ? ((1u << to) - 1) & ~((1u << from) - 1) : 0;
    const uint32_t opaqueBits = (hflip ? planes[0] | planes[8] : ColumnBits[planes[0] | planes[8]]) & shownBits;
    if (opaqueBits == 0)
        return false;

    // The colours as in renderPixels, with colour 0 (transparent) as the base: where a column is
    // opaque its byte is exactly the sprite palette's colour of its value.
    const auto& columns = hflip ? MirroredPlaneColumns : PlaneColumns;
    const uint64_t low = columns[planes[0]];
    const uint64_t high = columns[planes[8]];
    const uint8_t* colour = &ppu.memory[SpritePaletteStart + 4 * (attributes & 3)];
    const uint64_t colours = low * colour[1] + high * colour[2] + (low & high) * (colour[3] - colour[2] - colour[1]);
    const uint64_t opaque = (MirroredPlaneColumns[opaqueBits]) * 0xFF;

    LineBuffer& target = (attributes & 0x20) ? spriteBehindLine : spriteFrontLine;
    uint64_t held;
    std::memcpy(&held, &target[left], 8);
    held = (held & ~opaque) | (colours & opaque);
    std::memcpy(&target[left], &held, 8);

    const uint32_t shift = left % 64;
    spriteColumns[left / 64] |= uint64_t{opaqueBits} << shift;
    if (shift > 56)
        spriteColumns[left / 64 + 1] |= uint64_t{opaqueBits} >> (64 - shift);
    return true;
}

}  // namespace

void ppuStartFrame()
{
    ppu.oamCopy = ppu.oam;
    spritesOnUpperRows.fill(0);
    spritesOnLowerRows.fill(0);
    for (uint32_t s = 0; s < SpriteCount; ++s)
        for (uint32_t row = 0; row < 16; ++row)
            if (const uint32_t line = ppu.oamCopy[4 * s] + row; line < FrameHeight)
                (row < 8 ? spritesOnUpperRows : spritesOnLowerRows)[line] |= uint64_t{1} << s;
    ppu.spriteZeroHit = 0;
    ppu.spriteOverflow = 0;
    ppu.splitPending = 0;  // a write on the last visible line moves nothing
}

void evaluateSprites()
{
    // Only the columns marked in spriteColumns can hold a sprite pixel: clear their 64-column groups.
    for (uint32_t word = 0; word < spriteColumns.size(); ++word) {
        if (spriteColumns[word] != 0) {
            std::memset(&spriteFrontLine[word * 64], 0, 64);
            std::memset(&spriteBehindLine[word * 64], 0, 64);
            spriteColumns[word] = 0;
        }
    }

    // A sprite with OAM Y shows its first row on scanline Y + 1; nothing is drawn on line 0.
    if (ppu.scanline == 0)
        return;
    const uint32_t evaluated = ppu.scanline - 1;
    const uint32_t clip = ppu.spritesLeftColumn ? 0 : 8;
    const bool tall = ppu.spriteHeight == 16;
    const uint32_t height = tall ? 16 : 8;

    uint32_t count = 0;
    // From 63 down to 0: where opaque pixels overlap, the lower-numbered sprite is written last and wins.
    for (uint64_t near = spritesOnUpperRows[evaluated] | (tall ? spritesOnLowerRows[evaluated] : 0); near != 0;) {
        const auto s = static_cast<uint32_t>(63 - std::countl_zero(near));
        near ^= uint64_t{1} << s;
        // Row of the sprite on the evaluated line; above the sprite the difference wraps past
        // its height. Of the two 8-row halves of a tall sprite at most one covers the line.
        const uint32_t spriteRow = evaluated - ppu.oamCopy[4 * s];
        if (spriteRow >= height)
            continue;
        // Every covering half counts, drawn or not; the ninth ends the line's evaluation.
        if (++count > SpritesPerLine) {
            ppu.spriteOverflow = 1;
            return;
        }

        uint32_t tile = ppu.oamCopy[4 * s + 1];
        const uint32_t attributes = ppu.oamCopy[4 * s + 2];
        const uint32_t left = ppu.oamCopy[4 * s + 3];
        const bool vflip = (attributes & 0x80) != 0;
        const uint32_t half = spriteRow / 8;
        uint32_t patternBase = ppu.spritePatternBase;
        if (tall) {
            // Bit 0 of a tall sprite's tile picks its pattern table; the top half shows tile
            // T AND 0xFE, or the one after it when flipped.
            patternBase = (tile & 1) ? 0x1000 : 0;
            tile = (tile & 0xFE) + (vflip ? 1 - half : half);
        }
        const uint32_t row = vflip ? 7 - spriteRow % 8 : spriteRow % 8;
        const bool drawn = drawSpriteRow(patternBase + tile * 16 + row, left, attributes, clip);
        if (drawn && s == 0)
            ppu.spriteZeroHit = 1;
    }
}

void drawPassedColumns()
{
    // An instruction that starts with cycleCounter at k runs in step k - 1 (step 0 when k < 1).
    const uint32_t column = PixelsPerStep * static_cast<uint32_t>(std::max(pixelLine.stepStart - 1, 0));
    if (column > pixelLine.drawn) {
        renderPixels(pixelLine.drawn, column);
        pixelLine.drawn = column;
    }
}

void ppuStartVblank()
{
    ppu.vblankFlag = 1;
    if (ppu.nmiEnable)
        cpuNmi();
}
