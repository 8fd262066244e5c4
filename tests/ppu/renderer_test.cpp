// The renderer: small scenes built here, drawn through the real sprite evaluation and pixel
// functions, and checked pixel by pixel in the FrameBuffer: the layers' priority, the sprite
// overflow and the sprite-0 hit. Patterns, attributes, scrolling across the nametable windows,
// flips, tall sprites, sprite order, the clipped left columns and the layers switched on and off
// (scattered_writes' mask writes) show in the recorded frames of the golden runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>

#include "bus/cpu_bus.h"
#include "ppu/renderer.h"
#include "support/harness.h"

namespace {

// Colour bytes of the scene: background palette q, value v is 0x80 + 4q + v (0x80 is the
// backdrop), sprite palette p is 0xA0 + 4p + v. The unused entries 0x3F04/08/0C hold bytes
// that must never show.
constexpr uint8_t Backdrop = 0x80;
constexpr uint8_t background(uint32_t q, uint32_t v) { return static_cast<uint8_t>(0x80 + 4 * q + v); }
constexpr uint8_t sprite(uint32_t p, uint32_t v) { return static_cast<uint8_t>(0xA0 + 4 * p + v); }

// Pattern values of one 8-pixel row, column 0 first.
using Row = std::array<uint8_t, 8>;
constexpr Row Solid1 = {1, 1, 1, 1, 1, 1, 1, 1};
constexpr Row Solid2 = {2, 2, 2, 2, 2, 2, 2, 2};

struct Pixel {
    uint32_t x, y;
    uint8_t colour;
};

class Renderer : public ::testing::Test {
protected:
    // Mapper 0, CHR ROM with every pattern clear, four separate nametable windows, an empty
    // nametable (tile 0 is blank), sprites off screen, both layers shown in all columns.
    void SetUp() override
    {
        ASSERT_EQ(loadImage(InesImage(1, 1, 0x08)), LoadResult::Loaded);
        std::fill_n(cartridge.chrMemory.begin(), 0x2000, uint8_t{0});
        for (uint32_t i = 0; i < 16; ++i) {
            ppu.memory[0x3F00 + i] = background(i / 4, i % 4);
            ppu.memory[0x3F10 + i] = sprite(i / 4, i % 4);
        }
        ppu.oam.fill(0xF0);
        cpuWrite(0x2000, 0x00);
        cpuWrite(0x2001, 0x1E);
    }

    static void setRow(uint32_t table, uint32_t tile, uint32_t row, const Row& values)
    {
        const uint32_t address = table + tile * 16 + row;
        for (uint32_t c = 0; c < 8; ++c) {
            cartridge.chrMemory[address] |= static_cast<uint8_t>((values[c] & 1) << (7 - c));
            cartridge.chrMemory[address + 8] |= static_cast<uint8_t>((values[c] >> 1) << (7 - c));
        }
    }
    static void setTile(uint32_t table, uint32_t tile, const Row& values)
    {
        for (uint32_t row = 0; row < 8; ++row)
            setRow(table, tile, row, values);
    }
    // Tile `tile` at tile column `column`, tile row `row` of nametable window `window`.
    static void putTile(uint32_t window, uint32_t column, uint32_t row, uint8_t tile)
    {
        ppu.memory[0x2000 + window * 0x400 + row * 32 + column] = tile;
    }
    static void setSprite(uint32_t n, uint32_t y, uint32_t tile, uint32_t attributes, uint32_t x)
    {
        const uint32_t entry[] = {y, tile, attributes, x};
        std::copy(std::begin(entry), std::end(entry), ppu.oam.begin() + 4 * n);
    }
    static void renderLine(uint32_t line)
    {
        ppu.scanline = line;
        evaluateSprites();
        for (uint32_t x = 0; x < FrameWidth; ++x)
            renderPixel(x);
    }
    static void renderFrame()
    {
        ppuStartFrame();
        for (uint32_t line = 0; line < FrameHeight; ++line)
            renderLine(line);
    }
    static void expectPixels(std::initializer_list<Pixel> pixels)
    {
        for (const Pixel& p : pixels)
            EXPECT_EQ(frameBuffer[p.y * FrameWidth + p.x], p.colour) << p.x << "," << p.y;
    }
};

TEST_F(Renderer, LayersAndTheirPriority)
{
    setTile(0, 1, Solid1);
    setTile(0, 2, Solid2);
    putTile(0, 1, 1, 1);           // opaque background under columns 8-15 of line 10
    setSprite(1, 9, 2, 0x01, 4);   // front, palette 1, columns 4-11
    setSprite(2, 9, 2, 0x22, 20);  // behind, palette 2, columns 20-27
    setSprite(3, 9, 2, 0x23, 12);  // behind, palette 3, columns 12-19: covered where the background is opaque

    // A front sprite covers opaque background, a behind sprite does not, and a transparent
    // background pixel over a non-zero backdrop still covers a behind sprite.
    renderFrame();
    expectPixels({{4, 10, sprite(1, 2)}, {8, 10, sprite(1, 2)}, {12, 10, background(0, 1)}, {16, 10, Backdrop},
                  {20, 10, Backdrop}});
    ppu.memory[0x3F00] = 0;  // behind sprites show where the background's byte is 0
    renderFrame();
    expectPixels({{16, 10, sprite(3, 2)}, {20, 10, sprite(2, 2)}, {12, 10, background(0, 1)}});
    ppu.memory[0x3F16] = 0;  // a sprite byte of 0 is not shown
    renderFrame();
    expectPixels({{8, 10, background(0, 1)}});
}

TEST_F(Renderer, NinthSpriteOnALineOverflowsAndIsNotDrawn)
{
    setTile(0, 1, Solid1);
    for (uint32_t n = 0; n <= 8; ++n)
        setSprite(n, 49, 1, 0x00, 16 * n + 8);
    setSprite(9, 70, 1, 0x00, 8);  // eight on a line is no overflow
    for (uint32_t n = 10; n < 17; ++n)
        setSprite(n, 70, 0, 0x00, 8);  // blank tiles count as well

    ppuStartFrame();
    renderLine(71);
    EXPECT_EQ(ppu.spriteOverflow, 0);
    expectPixels({{8, 71, sprite(0, 1)}});
    renderLine(50);
    EXPECT_EQ(ppu.spriteOverflow, 1);
    EXPECT_EQ(ppu.spriteZeroHit, 0) << "sprite 0 was never drawn";
    expectPixels({{8, 50, Backdrop}, {24, 50, sprite(0, 1)}, {136, 50, sprite(0, 1)}});

    setSprite(9, 49, 0, 0x00, 8);  // a transparent ninth now pushes sprite 1 out as well
    ppuStartFrame();
    EXPECT_EQ(ppu.spriteOverflow, 0) << "cleared at frame start";
    renderLine(50);
    expectPixels({{24, 50, Backdrop}, {40, 50, sprite(0, 1)}});
}

TEST_F(Renderer, SpriteZeroHitNeedsAnOpaquePixelOnScreenRightOfTheClip)
{
    setRow(0, 1, 3, {0, 0, 0, 0, 0, 0, 0, 1});  // tile 1: opaque only in row 3, column 7
    const std::tuple<uint32_t, uint8_t, bool> cases[] = {  // sprite column, mask, hit
        {0, 0x1A, false},    // column 7 lies in the clipped columns
        {249, 0x1E, false},  // column 256 lies off screen
        {0, 0x1E, true},
        {100, 0x00, true},   // behind a transparent background, rendering off
    };
    for (const auto& [x, mask, hit] : cases) {
        setSprite(0, 59, 1, 0x20, x);
        cpuWrite(0x2001, mask);
        ppuStartFrame();
        for (uint32_t line = 0; line < 63; ++line)
            renderLine(line);
        EXPECT_EQ(ppu.spriteZeroHit, 0) << x;
        ppu.scanline = 63;
        evaluateSprites();  // decided at the head of the line
        EXPECT_EQ(ppu.spriteZeroHit, hit) << x << " " << int{mask};
    }
    EXPECT_EQ(cpuRead(0x2002) & 0x40, 0x40) << "reads leave the hit alone";
    EXPECT_EQ(cpuRead(0x2002) & 0x40, 0x40);
    ppuStartFrame();
    EXPECT_EQ(ppu.spriteZeroHit, 0);
}

}  // namespace
