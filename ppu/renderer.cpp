#include "ppu/renderer.h"

#include "app/scheduler.h"
#include "cpu/interrupts.h"

namespace {

constexpr uint32_t SpriteCount = 64;
constexpr uint32_t SpritesPerLine = 8;
constexpr uint32_t SpritePaletteStart = 0x3F10;

// The sprites that may cover each evaluated line (scanline - 1): bit s is set when the line lies
// within 16 rows below sprite s's Y. ppuStartFrame builds it together with oamCopy, the only
// write of oamCopy; each line still makes the exact height test, as the height may change
// during the frame.
std::array<uint64_t, FrameHeight> spritesNearLine{};

// Draws one 8-pixel row of a sprite into the line buffer it belongs to. Returns true when an
// opaque pixel landed on screen at or right of the clip column.
bool drawSpriteRow(uint32_t patternAddress, uint32_t left, uint32_t attributes, uint32_t clip)
{
    const uint8_t* planes = &cartridge.chrMemory[chrPageMap[patternAddress >> 10] + (patternAddress & 0x3FF)];
    const uint32_t lo = planes[0];
    const uint32_t hi = planes[8];
    const uint32_t paletteBase = SpritePaletteStart + 4 * (attributes & 3);
    const bool hflip = (attributes & 0x40) != 0;
    LineBuffer& target = (attributes & 0x20) ? spriteBehindLine : spriteFrontLine;

    // Only the opaque columns: bit b of the planes is column 7 - b of the row.
    bool drawn = false;
    for (uint32_t opaque = lo | hi; opaque != 0; opaque &= opaque - 1) {
        const auto bit = static_cast<uint32_t>(std::countr_zero(opaque));
        const uint32_t value = ((lo >> bit) & 1) | (((hi >> bit) & 1) << 1);
        const uint32_t x = left + (hflip ? bit : 7 - bit);
        if (x >= FrameWidth || x < clip)
            continue;
        target[x] = ppu.memory[paletteBase + value];
        spriteColumns[x / 64] |= uint64_t{1} << (x % 64);
        drawn = true;
    }
    return drawn;
}

}  // namespace

void ppuStartFrame()
{
    ppu.oamCopy = ppu.oam;
    spritesNearLine.fill(0);
    for (uint32_t s = 0; s < SpriteCount; ++s)
        for (uint32_t row = 0; row < 16; ++row)
            if (const uint32_t line = ppu.oamCopy[4 * s] + row; line < spritesNearLine.size())
                spritesNearLine[line] |= uint64_t{1} << s;
    ppu.spriteZeroHit = 0;
    ppu.spriteOverflow = 0;
    ppu.splitPending = 0;  // a write on the last visible line moves nothing
}

void evaluateSprites()
{
    // Outside spriteColumns both sprite buffers are 0 already.
    for (uint32_t word = 0; word < spriteColumns.size(); ++word) {
        for (uint64_t columns = spriteColumns[word]; columns != 0; columns &= columns - 1) {
            const uint32_t x = word * 64 + static_cast<uint32_t>(std::countr_zero(columns));
            spriteFrontLine[x] = 0;
            spriteBehindLine[x] = 0;
        }
    }
    spriteColumns.fill(0);

    // A sprite with OAM Y shows its first row on scanline Y + 1; nothing is drawn on line 0.
    if (ppu.scanline == 0)
        return;
    const uint32_t evaluated = ppu.scanline - 1;
    const uint32_t clip = ppu.spritesLeftColumn ? 0 : 8;
    const bool tall = ppu.spriteHeight == 16;
    const uint32_t height = tall ? 16 : 8;

    uint32_t count = 0;
    // From 63 down to 0: where opaque pixels overlap, the lower-numbered sprite is written last and wins.
    for (uint64_t near = spritesNearLine[evaluated]; near != 0;) {
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
