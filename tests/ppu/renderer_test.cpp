// The renderer: small scenes built here, drawn through the real sprite evaluation and pixel
// functions, and checked pixel by pixel in the FrameBuffer.
#include <gtest/gtest.h>

#include "bus/cpu_bus.h"
#include "ppu/renderer.h"
#include "support/harness.h"

namespace {

constexpr uint8_t Backdrop = 0x80;

// Colour bytes of the scene: background palette q, value v is 0x80 + 4q + v, sprite palette
// p is 0xA0 + 4p + v. The unused entries 0x3F04/08/0C hold bytes that must never show.
constexpr uint8_t backgroundColour(uint32_t q, uint32_t v) { return static_cast<uint8_t>(0x80 + 4 * q + v); }
constexpr uint8_t spriteColour(uint32_t p, uint32_t v) { return static_cast<uint8_t>(0xA0 + 4 * p + v); }

// Pattern values of one 8-pixel row, column 0 first.
using Row = std::array<uint8_t, 8>;
constexpr Row Solid1 = {1, 1, 1, 1, 1, 1, 1, 1};
constexpr Row Solid2 = {2, 2, 2, 2, 2, 2, 2, 2};
constexpr Row Mixed = {3, 3, 1, 1, 2, 2, 0, 0};

class Renderer : public ::testing::Test {
protected:
    // Mapper 0, CHR ROM with every pattern clear, four separate nametable windows, an empty
    // nametable (tile 0 is blank), sprites off screen, both layers shown in all columns.
    void SetUp() override
    {
        ASSERT_EQ(loadImage(InesImage(1, 1, 0x08)), LoadResult::Loaded);
        std::fill_n(cartridge.chrMemory.begin(), 0x2000, uint8_t{0});
        for (uint32_t i = 0; i < 16; ++i) {
            ppu.memory[0x3F00 + i] = backgroundColour(i / 4, i % 4);
            ppu.memory[0x3F10 + i] = spriteColour(i / 4, i % 4);
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
    static void fillWindow(uint32_t window, uint8_t tile)
    {
        std::fill_n(ppu.memory.begin() + 0x2000 + window * 0x400, 960, tile);
    }
    static void setSprite(uint32_t n, uint32_t y, uint32_t tile, uint32_t attributes, uint32_t x)
    {
        ppu.oam[4 * n] = y;
        ppu.oam[4 * n + 1] = tile;
        ppu.oam[4 * n + 2] = attributes;
        ppu.oam[4 * n + 3] = x;
    }
    static void setAddress(uint32_t address)
    {
        cpuWrite(0x2006, static_cast<uint8_t>(address >> 8));
        cpuWrite(0x2006, static_cast<uint8_t>(address));
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
    static uint8_t pixel(uint32_t x, uint32_t y) { return frameBuffer[y * FrameWidth + x]; }
};

TEST_F(Renderer, BackgroundPatternBitsAttributeQuadrantsAndBackdrop)
{
    setTile(0, 1, Mixed);
    fillWindow(0, 1);
    ppu.memory[0x23C0] = 0b11'10'01'00;  // quadrants: top left 0, top right 1, bottom left 2, bottom right 3
    ppu.memory[0x23C9] = 0b00'00'00'11;  // the block at tile column 4, tile row 4, top left
    const struct {
        uint32_t x, y;
        uint8_t colour;
    } expected[] = {
        {0, 0, backgroundColour(0, 3)},   {2, 0, backgroundColour(0, 1)},   {4, 7, backgroundColour(0, 2)},
        {6, 0, Backdrop},                 {16, 0, backgroundColour(1, 3)},  {0, 16, backgroundColour(2, 3)},
        {17, 31, backgroundColour(3, 3)}, {22, 20, Backdrop},               {14, 16, Backdrop},
        {32, 32, backgroundColour(3, 3)}, {48, 32, backgroundColour(0, 3)}, {255, 239, Backdrop},
    };
    renderFrame();
    for (const auto& e : expected)
        EXPECT_EQ(pixel(e.x, e.y), e.colour) << e.x << "," << e.y;
    EXPECT_EQ(backgroundLine[0], backgroundColour(0, 3)) << "the last line's background";
}

TEST_F(Renderer, BackgroundIsDrawnInTheLeftColumnsWhateverTheMaskSays)
{
    setTile(0, 1, Solid1);
    fillWindow(0, 1);
    cpuWrite(0x2001, 0x18);  // both layers, neither left column bit
    renderLine(5);
    EXPECT_EQ(pixel(0, 5), backgroundColour(0, 1));
    EXPECT_EQ(pixel(7, 5), backgroundColour(0, 1));
}

TEST_F(Renderer, ScrollingReachesIntoTheOtherWindows)
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
    renderLine(0);
    EXPECT_EQ(pixel(0, 0), backgroundColour(0, 1)) << "column 8 of window 0";
    EXPECT_EQ(pixel(8, 0), Backdrop);
    EXPECT_EQ(pixel(247, 0), Backdrop);
    EXPECT_EQ(pixel(248, 0), backgroundColour(0, 2)) << "column 0 of window 1";

    scroll(0, 240);
    renderLine(0);
    EXPECT_EQ(pixel(8, 0), backgroundColour(0, 2)) << "scrollY 240 shows window 2 from its top";
    scroll(0, 250);
    renderLine(0);
    renderLine(1);
    EXPECT_EQ(pixel(0, 0), backgroundColour(0, 1)) << "scrollY 250: row 10 of window 2";
    EXPECT_EQ(pixel(0, 1), Backdrop);

    cpuWrite(0x2000, 0x02);  // window 2 at the top left: the picture wraps back to window 0
    renderLine(0);
    EXPECT_EQ(pixel(0, 0), Backdrop);
    EXPECT_EQ(pixel(16, 0), backgroundColour(0, 1)) << "row 10 of window 0";

    cpuWrite(0x2000, 0x03);  // window 3 at the top left: to the right lies window 2
    putTile(2, 0, 0, 2);
    scroll(16, 0);
    renderLine(0);
    EXPECT_EQ(pixel(239, 0), Backdrop);
    EXPECT_EQ(pixel(240, 0), backgroundColour(0, 2));
}

TEST_F(Renderer, MirroredWindowsShowTheSameNametable)
{
    applyMirroring(Mirroring::Horizontal);  // windows 0 and 1 share 0x2000
    setTile(0, 1, Solid1);
    putTile(0, 0, 0, 1);
    scroll(0, 0);
    cpuWrite(0x2000, 0x01);
    renderLine(0);
    EXPECT_EQ(pixel(0, 0), backgroundColour(0, 1));
}

TEST_F(Renderer, LayersAndTheirSwitches)
{
    setTile(0, 1, Solid1);
    setTile(0, 2, Solid2);
    putTile(0, 1, 1, 1);  // opaque background under columns 8-15 of line 10
    setSprite(1, 9, 2, 0x01, 4);   // front, palette 1, columns 4-11
    setSprite(2, 9, 2, 0x22, 20);  // behind, palette 2, columns 20-27
    setSprite(3, 9, 2, 0x23, 12);  // behind, palette 3, columns 12-19: covered where the background is opaque

    renderFrame();
    EXPECT_EQ(pixel(4, 10), spriteColour(1, 2));
    EXPECT_EQ(pixel(8, 10), spriteColour(1, 2)) << "front sprite over opaque background";
    EXPECT_EQ(pixel(12, 10), backgroundColour(0, 1)) << "behind sprite under opaque background";
    EXPECT_EQ(pixel(16, 10), Backdrop) << "value 0 over a non-zero backdrop still covers it";
    EXPECT_EQ(pixel(20, 10), Backdrop);

    ppu.memory[0x3F00] = 0;
    renderFrame();
    EXPECT_EQ(pixel(16, 10), spriteColour(3, 2)) << "shows where the background's byte is 0";
    EXPECT_EQ(pixel(20, 10), spriteColour(2, 2));
    EXPECT_EQ(pixel(12, 10), backgroundColour(0, 1));

    ppu.memory[0x3F16] = 0;  // sprite palette 1, value 2
    renderFrame();
    EXPECT_EQ(pixel(8, 10), backgroundColour(0, 1)) << "a sprite byte of 0 is not shown";

    cpuWrite(0x2001, 0x16);  // sprites only
    renderFrame();
    EXPECT_EQ(pixel(12, 10), spriteColour(3, 2));
    EXPECT_EQ(pixel(8, 10), 0);
    EXPECT_EQ(pixel(30, 10), 0);

    cpuWrite(0x2001, 0x0A);  // background only
    ppu.memory[0x3F00] = Backdrop;
    renderFrame();
    EXPECT_EQ(pixel(20, 10), Backdrop);
    EXPECT_EQ(pixel(4, 10), Backdrop);

    cpuWrite(0x2001, 0x00);
    renderFrame();
    EXPECT_EQ(std::count(frameBuffer.begin(), frameBuffer.end(), 0), static_cast<long>(frameBuffer.size()));
}

TEST_F(Renderer, LowerNumberedSpriteWinsWhereOpaquePixelsOverlap)
{
    setTile(0, 1, Solid1);
    setRow(0, 2, 0, {0, 0, 0, 0, 2, 2, 2, 2});
    setSprite(5, 20, 1, 0x00, 100);
    setSprite(3, 20, 2, 0x01, 100);
    setSprite(4, 20, 1, 0x02, 100);
    renderFrame();
    EXPECT_EQ(pixel(100, 21), spriteColour(2, 1)) << "sprite 3 is transparent here, sprite 4 shows";
    EXPECT_EQ(pixel(104, 21), spriteColour(1, 2));
}

TEST_F(Renderer, SpriteRowsLinesAndFlips)
{
    setRow(0, 1, 0, {1, 0, 0, 0, 0, 0, 0, 2});
    setRow(0, 1, 7, {3, 0, 0, 0, 0, 0, 0, 0});
    setSprite(0, 0, 1, 0x00, 10);    // lines 1-8
    setSprite(1, 238, 1, 0x00, 40);  // only its first row, on line 239
    setSprite(2, 239, 1, 0x00, 60);  // never drawn
    setSprite(3, 100, 1, 0x40, 80);  // horizontal flip
    setSprite(4, 100, 1, 0x80, 90);  // vertical flip
    renderFrame();

    EXPECT_EQ(pixel(10, 0), Backdrop);
    EXPECT_EQ(pixel(10, 1), spriteColour(0, 1));
    EXPECT_EQ(pixel(17, 1), spriteColour(0, 2));
    EXPECT_EQ(pixel(10, 8), spriteColour(0, 3));
    EXPECT_EQ(pixel(10, 9), Backdrop);
    EXPECT_EQ(pixel(40, 239), spriteColour(0, 1));
    for (uint32_t y = 0; y < FrameHeight; ++y)
        EXPECT_EQ(pixel(60, y), Backdrop) << y;
    EXPECT_EQ(pixel(80, 101), spriteColour(0, 2)) << "bit 0 in column X";
    EXPECT_EQ(pixel(87, 101), spriteColour(0, 1)) << "bit 7 in column X + 7";
    EXPECT_EQ(pixel(87, 108), spriteColour(0, 3));
    EXPECT_EQ(pixel(90, 101), spriteColour(0, 3)) << "row 7 on top";
    EXPECT_EQ(pixel(97, 108), spriteColour(0, 2));
}

TEST_F(Renderer, TallSpritesTakeBothTilesFromTheSpritePatternTable)
{
    setRow(0x1000, 0x24, 0, Solid1);
    setRow(0x1000, 0x25, 0, Solid2);
    setTile(0x0000, 0x24, Mixed);  // decoys in the other table
    setTile(0x0000, 0x25, Mixed);
    setTile(0x1000, 0x26, Mixed);
    cpuWrite(0x2000, 0x28);  // 8x16, sprites from 0x1000
    setSprite(0, 9, 0x25, 0x00, 0x10);
    setSprite(1, 9, 0x25, 0x80, 0x30);
    renderFrame();

    EXPECT_EQ(pixel(0x10, 10), spriteColour(0, 1)) << "top half: tile 0x24";
    EXPECT_EQ(pixel(0x10, 11), Backdrop);
    EXPECT_EQ(pixel(0x10, 18), spriteColour(0, 2)) << "bottom half: tile 0x25";
    EXPECT_EQ(pixel(0x10, 26), Backdrop);
    EXPECT_EQ(pixel(0x30, 10), Backdrop);
    EXPECT_EQ(pixel(0x30, 17), spriteColour(0, 2)) << "flipped: tile 0x25 upside down on top";
    EXPECT_EQ(pixel(0x30, 25), spriteColour(0, 1)) << "then tile 0x24 upside down";
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
    EXPECT_EQ(pixel(8, 71), spriteColour(0, 1));
    renderLine(50);
    EXPECT_EQ(ppu.spriteOverflow, 1);
    EXPECT_EQ(ppu.spriteZeroHit, 0) << "sprite 0 was never drawn";
    EXPECT_EQ(pixel(8, 50), Backdrop);
    for (uint32_t n = 1; n <= 8; ++n)
        EXPECT_EQ(pixel(16 * n + 8, 50), spriteColour(0, 1)) << n;

    setSprite(9, 49, 0, 0x00, 8);  // a transparent ninth now pushes sprite 1 out as well
    ppuStartFrame();
    EXPECT_EQ(ppu.spriteOverflow, 0) << "cleared at frame start";
    renderLine(50);
    EXPECT_EQ(pixel(24, 50), Backdrop);
    EXPECT_EQ(pixel(40, 50), spriteColour(0, 1));
}

TEST_F(Renderer, SpriteZeroHitIsDecidedAtTheHeadOfTheLine)
{
    setRow(0, 1, 3, {0, 0, 0, 0, 0, 0, 0, 1});
    setSprite(0, 59, 1, 0x20, 100);  // opaque only in row 3: line 63, column 107
    cpuWrite(0x2001, 0x00);
    ppuStartFrame();
    for (uint32_t line = 0; line < 63; ++line)
        renderLine(line);
    EXPECT_EQ(ppu.spriteZeroHit, 0);
    ppu.scanline = 63;
    evaluateSprites();
    EXPECT_EQ(ppu.spriteZeroHit, 1) << "behind, transparent background, rendering off";
    EXPECT_EQ(cpuRead(0x2002) & 0x40, 0x40);
    EXPECT_EQ(cpuRead(0x2002) & 0x40, 0x40);
    ppuStartFrame();
    EXPECT_EQ(ppu.spriteZeroHit, 0);
}

TEST_F(Renderer, LeftColumnClipsSpritesAndTheirHits)
{
    setTile(0, 1, Solid1);
    setSprite(0, 30, 1, 0x00, 0);  // wholly inside columns 0-7
    setSprite(1, 40, 1, 0x00, 4);
    cpuWrite(0x2001, 0x1A);        // sprites not shown in columns 0-7
    renderFrame();
    EXPECT_EQ(ppu.spriteZeroHit, 0);
    EXPECT_EQ(pixel(0, 31), Backdrop);
    EXPECT_EQ(pixel(7, 41), Backdrop);
    EXPECT_EQ(pixel(8, 41), spriteColour(0, 1));

    cpuWrite(0x2001, 0x1E);
    renderFrame();
    EXPECT_EQ(ppu.spriteZeroHit, 1);
    EXPECT_EQ(pixel(0, 31), spriteColour(0, 1));
    EXPECT_EQ(pixel(4, 41), spriteColour(0, 1));
}

TEST_F(Renderer, SpritesAtTheRightEdgeAreCutOff)
{
    setTile(0, 1, Solid1);
    setRow(0, 2, 0, {0, 1, 0, 0, 0, 0, 0, 0});
    setSprite(0, 100, 2, 0x00, 255);  // its only opaque pixel lies at column 256
    setSprite(1, 50, 1, 0x00, 252);
    renderFrame();
    EXPECT_EQ(ppu.spriteZeroHit, 0);
    for (uint32_t x = 252; x < 256; ++x)
        EXPECT_EQ(pixel(x, 51), spriteColour(0, 1)) << x;
    EXPECT_EQ(pixel(0, 51), Backdrop);
    EXPECT_EQ(pixel(0, 52), Backdrop);
}

TEST_F(Renderer, ChangesReachTheNextPixelComputed)
{
    setTile(0, 1, Mixed);
    fillWindow(0, 1);
    setSprite(0, 9, 1, 0x00, 200);
    ppuStartFrame();
    ppu.scanline = 10;
    evaluateSprites();
    for (uint32_t x = 0; x < 100; ++x)
        renderPixel(x);
    scroll(2, 0);               // columns move by two pixels from here
    ppu.memory[0x3F03] = 0x33;  // a background palette byte
    ppu.memory[0x3F13] = 0x34;  // sprite colours were taken at the head of the line
    setAddress(0x2400);         // the data-port address never moves the picture
    for (uint32_t x = 100; x < 256; ++x)
        renderPixel(x);

    EXPECT_EQ(pixel(96, 10), backgroundColour(0, 3));
    EXPECT_EQ(pixel(98, 10), backgroundColour(0, 1));
    EXPECT_EQ(pixel(100, 10), Backdrop) << "column 102 of the window";
    EXPECT_EQ(pixel(102, 10), 0x33);
    EXPECT_EQ(pixel(104, 10), backgroundColour(0, 1));
    EXPECT_EQ(pixel(200, 10), spriteColour(0, 3));
}

TEST_F(Renderer, ChrRamWrittenThroughTheDataPortIsRendered)
{
    ASSERT_EQ(loadImage(InesImage(1, 0)), LoadResult::Loaded);
    ppu.memory[0x3F01] = 0x21;
    cpuWrite(0x2000, 0x10);  // background from 0x1000, increment 1
    cpuWrite(0x2001, 0x08);
    setAddress(0x1234);      // tile 0x23, row 4, low plane
    cpuWrite(0x2007, 0x80);
    setAddress(0x2000);
    cpuWrite(0x2007, 0x23);
    scroll(0, 0);
    renderLine(4);
    EXPECT_EQ(pixel(0, 4), 0x21);
    EXPECT_EQ(pixel(1, 4), 0x00);
}

}  // namespace
