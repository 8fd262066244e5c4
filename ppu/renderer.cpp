#include "ppu/renderer.h"

#include "cpu/cpu_state.h"
#include "cpu/interrupts.h"

namespace {

constexpr uint32_t SpriteCount = 64;
constexpr uint32_t SpritesPerLine = 8;
constexpr uint32_t SpritePaletteStart = 0x3F10;
constexpr uint32_t LastHitColumn = 254;  // the console's hit never happens in column 255

// The sprites that may cover each evaluated line (scanline - 1): bit s of the first table is set
// when the line is one of rows 0-7 of sprite s (from its Y), of the second when it is one of rows
// 8-15, which only 8x16 sprites have. ppuStartFrame builds them together with oamCopy, the only
// write of oamCopy.
std::array<uint64_t, FrameHeight> spritesOnUpperRows{};
std::array<uint64_t, FrameHeight> spritesOnLowerRows{};

// Bit 7 - c of a byte moved to bit c: a plane byte as a column mask, leftmost column in bit 0.
constexpr std::array<uint8_t, 256> ColumnMask = [] {
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

// A sprite's row on the evaluated line, as it was fetched.
struct SpriteRow {
    uint32_t sprite;
    uint8_t low, high;  // plane bytes
};

// The pattern address of the row of sprite s that covers the evaluated line.
uint32_t spritePatternAddress(uint32_t s, uint32_t evaluated)
{
    const uint32_t spriteRow = evaluated - ppu.oamCopy[4 * s];  // 0-15
    uint32_t tile = ppu.oamCopy[4 * s + 1];
    const bool vflip = (ppu.oamCopy[4 * s + 2] & 0x80) != 0;
    uint32_t patternBase = ppu.spritePatternBase;
    if (ppu.spriteHeight == 16) {
        // Bit 0 of a tall sprite's tile picks its pattern table; the top half shows tile
        // T AND 0xFE, or the one after it when flipped.
        const uint32_t half = spriteRow / 8;
        patternBase = (tile & 1) ? 0x1000 : 0;
        tile = (tile & 0xFE) + (vflip ? 1 - half : half);
    }
    const uint32_t row = vflip ? 7 - spriteRow % 8 : spriteRow % 8;
    return patternBase + tile * 16 + row;
}

// The opaque columns of a sprite row as bits, bit c for column X + c.
uint32_t opaqueBits(const SpriteRow& row)
{
    const bool hflip = (ppu.oamCopy[4 * row.sprite + 2] & 0x40) != 0;
    return hflip ? row.low | row.high : ColumnMask[row.low | row.high];
}

// Sets (on) or clears the columns `bits` << left of a column mask.
[[gnu::always_inline]] inline void markColumns(ColumnBits& words, uint32_t left, uint32_t bits, bool on)
{
    const uint32_t shift = left % 64;
    const uint64_t here = uint64_t{bits} << shift;
    words[left / 64] = on ? words[left / 64] | here : words[left / 64] & ~here;
    if (shift > 56) {
        if (const uint64_t next = uint64_t{bits} >> (64 - shift); next != 0)
            words[left / 64 + 1] = on ? words[left / 64 + 1] | next : words[left / 64 + 1] & ~next;
    }
}

// Draws one 8-pixel row of a sprite into the sprite line, all eight columns at once: its opaque
// columns on screen at or right of the clip column take its colours and its priority, the others
// keep what the line holds. Rows are drawn from the last sprite to the first, so the
// lowest-numbered sprite's pixel is the one left in each column.
void drawSpriteRow(const SpriteRow& sprite, uint32_t clip)
{
    const uint32_t left = ppu.oamCopy[4 * sprite.sprite + 3];
    const uint32_t attributes = ppu.oamCopy[4 * sprite.sprite + 2];
    const uint32_t from = left < clip ? clip - left : 0;
    const uint32_t to = std::min<uint32_t>(8, FrameWidth - left);
    const uint32_t shownBits = from < to ? ((1u << to) - 1) & ~((1u << from) - 1) : 0;
    const uint32_t bits = opaqueBits(sprite) & shownBits;
    if (bits == 0)
        return;

    // The colours as in renderPixels, with colour 0 as the base: where a column is opaque its
    // byte is exactly the sprite palette's colour of its value.
    const auto& columns = (attributes & 0x40) ? MirroredPlaneColumns : PlaneColumns;
    const uint64_t low = columns[sprite.low];
    const uint64_t high = columns[sprite.high];
    const uint8_t* colour = &ppu.memory[SpritePaletteStart + 4 * (attributes & 3)];
    const uint64_t colours = low * colour[1] + high * colour[2] + (low & high) * (colour[3] - colour[2] - colour[1]);
    const uint64_t opaque = MirroredPlaneColumns[bits] * 0xFF;
    uint64_t held;
    std::memcpy(&held, &spriteLine[left], 8);
    held = (held & ~opaque) | (colours & opaque);
    std::memcpy(&spriteLine[left], &held, 8);
    markColumns(spriteColumns, left, bits, true);
    markColumns(spriteBehindColumns, left, bits, (attributes & 0x20) != 0);
}

// The opaque background columns x to x + 7 of the current line as bits (bit c for column x + c),
// as renderPixels would draw them now.
uint32_t backgroundOpaqueBits(uint32_t x)
{
    const BackgroundRow background = backgroundRow();
    uint32_t bits = 0;
    for (uint32_t c = 0; c < 8 && x + c < FrameWidth; ++c)
        bits |= uint32_t{patternOpaque(background, (x + c + background.left) & 0x1FF)} << c;
    return bits;
}

// The column where sprite 0's row meets an opaque background pixel, both layers shown and
// neither clipped there; NoHitColumn when there is none.
uint32_t spriteZeroHitColumnOf(const SpriteRow& zero)
{
    if (!ppu.showBackground || !ppu.showSprites || ppu.spriteZeroHit)
        return NoHitColumn;
    const uint32_t left = ppu.oamCopy[3];
    const uint32_t clip = ppu.spritesLeftColumn && ppu.backgroundLeftColumn ? 0 : 8;
    uint32_t hits = opaqueBits(zero);
    if (hits != 0)
        hits &= backgroundOpaqueBits(left);
    for (; hits != 0; hits &= hits - 1) {
        const uint32_t column = left + static_cast<uint32_t>(std::countr_zero(hits));
        if (column >= clip && column <= LastHitColumn)
            return column;
    }
    return NoHitColumn;
}

}  // namespace

void renderBoardPixels(uint32_t first, uint32_t end) { renderPixelsOf<true>(first, end); }

void ppuStartFrame()
{
    ppu.oamCopy = ppu.oam;
    spritesOnUpperRows.fill(0);
    spritesOnLowerRows.fill(0);
    for (uint32_t s = 0; s < SpriteCount; ++s)
        for (uint32_t row = 0; row < 16; ++row)
            if (const uint32_t line = ppu.oamCopy[4 * s] + row; line < FrameHeight)
                (row < 8 ? spritesOnUpperRows : spritesOnLowerRows)[line] |= uint64_t{1} << s;
    ppu.splitPending = 0;  // a write on the last visible line moves nothing
}

void evaluateSprites(bool drawn)
{
    spriteColumns.fill(0);
    spriteBehindColumns.fill(0);
    spriteZeroHitColumn = NoHitColumn;

    // A sprite with OAM Y shows its first row on scanline Y + 1; nothing is drawn on line 0. With
    // rendering off the PPU looks at no sprite.
    if (ppu.scanline == 0 || !(ppu.showBackground || ppu.showSprites))
        return;
    const uint32_t evaluated = ppu.scanline - 1;
    uint64_t near = spritesOnUpperRows[evaluated] | (ppu.spriteHeight == 16 ? spritesOnLowerRows[evaluated] : 0);
    if (near == 0)
        return;

    // The first eight sprites in OAM order are kept; a ninth sets the overflow flag (the console's
    // faulty search for it, which reads the wrong byte of later sprites, is not reproduced).
    uint64_t beyondEighth = near;
    for (uint32_t k = 0; k < SpritesPerLine && beyondEighth != 0; ++k)
        beyondEighth &= beyondEighth - 1;
    if (beyondEighth != 0)
        ppu.spriteOverflow = 1;
    if (near & 1) {
        const uint8_t* planes = patternPlanes(spritePatternAddress(0, evaluated));
        spriteZeroHitColumn = spriteZeroHitColumnOf({0, planes[0], planes[8]});
    }
    if (!drawn)
        return;

    // The kept rows are fetched in OAM order (a board may watch the fetches), then drawn.
    std::array<SpriteRow, SpritesPerLine> kept;
    uint32_t count = 0;
    for (; near != 0 && count < SpritesPerLine; near &= near - 1) {
        const auto s = static_cast<uint32_t>(std::countr_zero(near));
        const uint32_t address = spritePatternAddress(s, evaluated);
        const uint8_t* planes = patternPlanes(address);
        kept[count++] = {s, planes[0], planes[8]};
        if (chrFetchWatcher != nullptr) [[unlikely]]
            chrFetchWatcher(address + 8);
    }
    const uint32_t clip = ppu.spritesLeftColumn ? 0 : 8;
    for (uint32_t i = count; i-- > 0;)
        drawSpriteRow(kept[i], clip);
}

void seeSpriteZeroHit()
{
    if (spriteZeroHitColumn == NoHitColumn)
        return;
    // The read's column: that of the CPU cycle in which it happens (the instruction's last).
    const uint32_t column = PixelsPerStep * static_cast<uint32_t>(std::max(cpu.cycleCounter - 1, 0));
    if (column >= spriteZeroHitColumn) {
        ppu.spriteZeroHit = 1;
        spriteZeroHitColumn = NoHitColumn;
    }
}

void ppuLineEnd()
{
    if (spriteZeroHitColumn != NoHitColumn) {
        ppu.spriteZeroHit = 1;
        spriteZeroHitColumn = NoHitColumn;
    }
    if (ppu.showBackground || ppu.showSprites)
        ppu.oamAddress = 0;
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

void ppuStartPrerenderLine()
{
    ppu.vblankFlag = 0;
    ppu.spriteZeroHit = 0;
    ppu.spriteOverflow = 0;
}
