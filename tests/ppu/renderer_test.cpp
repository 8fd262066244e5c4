// The renderer: small scenes built here, drawn through the real sprite evaluation and pixel
// functions, and checked pixel by pixel in the FrameBuffer.
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
constexpr Row Mixed = {3, 3, 1, 1, 2, 2, 0, 0};

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
    static void scroll(uint8_t x, uint8_t y)
    {
        cpuRead(0x2002);
        cpuWrite(0x2005, x);
        cpuWrite(0x2005, y);
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

TEST_F(Renderer, BackgroundPatternBitsAttributeQuadrantsAndBackdrop)
{
    setTile(0, 1, Mixed);
    std::fill_n(ppu.memory.begin() + 0x2000, 960, uint8_t{1});
    ppu.memory[0x23C0] = 0b11'10'01'00;  // quadrants: top left 0, top right 1, bottom left 2, bottom right 3
    ppu.memory[0x23C9] = 0b00'00'00'11;  // the block at tile column 4, tile row 4, top left
    renderFrame();
    // (tests/roms/scene.s shows every quadrant and pattern value on the whole screen; here the
    // attribute byte of another block.)
    expectPixels({{0, 0, background(0, 3)}, {32, 32, background(3, 3)}, {48, 32, background(0, 3)}});

    setTile(0x1000, 1, Solid2);
    cpuWrite(0x2000, 0x10);  // patterns from 0x1000
    cpuWrite(0x2001, 0x18);  // neither left-column bit: the background is drawn there all the same
    renderLine(5);
    expectPixels({{0, 5, background(0, 2)}, {6, 5, background(0, 2)}});
}

TEST_F(Renderer, ScrollingReachesIntoTheOtherWindowsThroughTheNametableMap)
{
    setTile(0, 1, Solid1);
    setTile(0, 2, Solid2);
    setRow(0, 3, 2, Solid1);  // only row 2 of tile 3 is opaque
    putTile(0, 1, 0, 1);      // window 0, tile column 1
    putTile(1, 0, 0, 2);      // window 1, tile column 0
    putTile(2, 1, 0, 2);      // window 2, tile column 1
    putTile(2, 0, 1, 3);      // window 2, tile row 1
    putTile(0, 2, 1, 3);      // window 0, tile row 1, tile column 2

    scroll(8, 0);
    renderLine(0);  // column 8 of window 0 on the left, column 0 of window 1 from 248 on
    expectPixels({{0, 0, background(0, 1)}, {8, 0, Backdrop}, {247, 0, Backdrop}, {248, 0, background(0, 2)}});
    scroll(0, 240);  // window 2 from its top
    renderLine(0);
    expectPixels({{8, 0, background(0, 2)}});
    scroll(0, 250);  // row 10 of window 2
    renderLine(0);
    renderLine(1);
    expectPixels({{0, 0, background(0, 1)}, {0, 1, Backdrop}});
    cpuWrite(0x2000, 0x02);  // window 2 at the top left: the picture wraps back to window 0
    renderLine(0);
    expectPixels({{0, 0, Backdrop}, {16, 0, background(0, 1)}});
    cpuWrite(0x2000, 0x03);  // window 3 at the top left: to the right lies window 2
    putTile(2, 0, 0, 2);
    scroll(16, 0);
    renderLine(0);
    expectPixels({{239, 0, Backdrop}, {240, 0, background(0, 2)}});

    applyMirroring(Mirroring::Horizontal);  // window 1 now shows window 0's nametable
    cpuWrite(0x2000, 0x01);
    scroll(0, 0);
    renderLine(0);
    expectPixels({{8, 0, background(0, 1)}});
}

TEST_F(Renderer, LayersAndTheirSwitches)
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

    cpuWrite(0x2001, 0x16);  // sprites only
    renderFrame();
    expectPixels({{12, 10, sprite(3, 2)}, {8, 10, 0}, {30, 10, 0}});
    cpuWrite(0x2001, 0x0A);  // background only
    ppu.memory[0x3F00] = Backdrop;
    renderFrame();
    expectPixels({{20, 10, Backdrop}, {4, 10, Backdrop}});
    cpuWrite(0x2001, 0x00);
    renderFrame();
    EXPECT_EQ(std::count(frameBuffer.begin(), frameBuffer.end(), 0), static_cast<long>(frameBuffer.size()));
}

TEST_F(Renderer, SpriteRowsLinesFlipsOverlapsAndTheRightEdge)
{
    setRow(0, 1, 0, {1, 0, 0, 0, 0, 0, 0, 2});
    setRow(0, 1, 7, {3, 0, 0, 0, 0, 0, 0, 0});
    setRow(0, 2, 0, Solid1);
    setRow(0, 3, 0, {0, 0, 0, 0, 2, 2, 2, 2});
    setSprite(0, 0, 1, 0x00, 10);    // lines 1-8
    setSprite(1, 238, 1, 0x00, 40);  // only its first row, on line 239
    setSprite(2, 239, 1, 0x00, 60);  // never drawn
    setSprite(3, 100, 1, 0x40, 80);  // horizontal flip
    setSprite(4, 100, 1, 0x80, 90);  // vertical flip
    setSprite(7, 20, 2, 0x00, 100);  // overlapping: where opaque pixels meet, the lowest number wins
    setSprite(5, 20, 3, 0x01, 100);
    setSprite(6, 20, 2, 0x02, 100);
    setSprite(8, 50, 2, 0x00, 252);  // cut off at the right edge
    renderFrame();

    expectPixels({{10, 0, Backdrop}, {10, 1, sprite(0, 1)}, {17, 1, sprite(0, 2)}, {10, 8, sprite(0, 3)},
                  {10, 9, Backdrop}, {40, 239, sprite(0, 1)}});
    for (uint32_t y = 0; y < FrameHeight; ++y)
        expectPixels({{60, y, Backdrop}});
    // Flips: bit 0 in column X, bit 7 in column X + 7; row 7 on top.
    expectPixels({{80, 101, sprite(0, 2)}, {87, 101, sprite(0, 1)}, {87, 108, sprite(0, 3)},
                  {90, 101, sprite(0, 3)}, {97, 108, sprite(0, 2)}});
    // Sprite 5 is transparent in columns 100-103, so sprite 6 shows there.
    expectPixels({{100, 21, sprite(2, 1)}, {104, 21, sprite(1, 2)}});
    expectPixels({{252, 51, sprite(0, 1)}, {255, 51, sprite(0, 1)}, {0, 51, Backdrop}, {0, 52, Backdrop}});
}

TEST_F(Renderer, TallSpritesTakeTheirPatternTableFromTileBitZero)
{
    setRow(0x1000, 0x24, 0, Solid1);
    setRow(0x1000, 0x25, 0, Solid2);
    setRow(0x0000, 0x42, 0, Solid2);
    setRow(0x0000, 0x43, 0, Solid1);
    for (const uint32_t decoy : {0x0024u, 0x0025u, 0x1026u, 0x1042u, 0x1043u})
        setTile(decoy & 0x1000, decoy & 0xFF, Mixed);
    setSprite(0, 9, 0x25, 0x00, 0x10);
    setSprite(1, 9, 0x25, 0x80, 0x30);
    setSprite(2, 9, 0x42, 0x00, 0x50);
    // Tile 0x24 on top, 0x25 below; flipped, 0x25 upside down on top of 0x24 upside down. The
    // sprite-table bit of 0x2000 is ignored either way.
    for (const uint8_t control : {0x20, 0x28}) {
        cpuWrite(0x2000, control);
        renderFrame();
        expectPixels({{0x10, 10, sprite(0, 1)}, {0x10, 11, Backdrop}, {0x10, 18, sprite(0, 2)}, {0x10, 26, Backdrop},
                      {0x30, 10, Backdrop}, {0x30, 17, sprite(0, 2)}, {0x30, 25, sprite(0, 1)},
                      {0x50, 10, sprite(0, 2)}, {0x50, 18, sprite(0, 1)}});
    }
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
    const struct {
        uint32_t x;
        uint8_t mask;
        bool hit;
    } cases[] = {
        {0, 0x1A, false},    // column 7 lies in the clipped columns
        {249, 0x1E, false},  // column 256 lies off screen
        {0, 0x1E, true},
        {100, 0x00, true},   // behind a transparent background, rendering off
    };
    for (const auto& c : cases) {
        setSprite(0, 59, 1, 0x20, c.x);
        cpuWrite(0x2001, c.mask);
        ppuStartFrame();
        for (uint32_t line = 0; line < 63; ++line)
            renderLine(line);
        EXPECT_EQ(ppu.spriteZeroHit, 0) << c.x;
        ppu.scanline = 63;
        evaluateSprites();  // decided at the head of the line
        EXPECT_EQ(ppu.spriteZeroHit, c.hit) << c.x << " " << int{c.mask};
    }
    EXPECT_EQ(cpuRead(0x2002) & 0x40, 0x40) << "reads leave the hit alone";
    EXPECT_EQ(cpuRead(0x2002) & 0x40, 0x40);
    ppuStartFrame();
    EXPECT_EQ(ppu.spriteZeroHit, 0);

    setTile(0, 2, Solid1);
    setSprite(1, 40, 2, 0x00, 4);
    cpuWrite(0x2001, 0x1A);
    renderFrame();
    expectPixels({{7, 41, Backdrop}, {8, 41, sprite(0, 1)}});
    cpuWrite(0x2001, 0x1E);
    renderFrame();
    expectPixels({{4, 41, sprite(0, 1)}});
}

}  // namespace
