// The key map: key events, the file, and the key-configuration screen as drawn into the FrameBuffer.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/config_screen.h"
#include "app/controller_picture.h"
#include "app/font.h"
#include "app/keymap.h"
#include "app/run.h"
#include "console/machine.h"
#include "ppu/frame_buffer.h"
#include "support/harness.h"

namespace {

constexpr uint32_t KeySpace = 0x20, KeyLeft = 0x114, KeyRight = 0x113;

TEST(KeyMap, KeyEventsPressTheButtonsOfTheirKey)
{
    resetHostState();
    keyMap = {KeySpace, 0x78, 0x12F, KeySpace, 0x111, 0x112, KeyLeft, KeyRight};
    applyKeyEvent(KeySpace, true);
    applyKeyEvent(0x61, true);  // unmapped keys change nothing
    EXPECT_EQ(keyButtons, (ButtonState{1, 0, 0, 1, 0, 0, 0, 0})) << "a key on two buttons presses both";
    applyKeyEvent(0x61, false);
    applyKeyEvent(KeySpace, false);
    EXPECT_EQ(keyButtons, (ButtonState{}));

    keyMap = {KeySpace, 0, 0, 0, 0, 0, 0, 0};  // as a short keymap.cfg leaves it
    applyKeyEvent(0, true);  // a key SDL cannot name
    EXPECT_EQ(keyButtons, (ButtonState{})) << "an entry of 0 is no key";
}

// Return, space, Z, X, up, down, left, right.
constexpr KeyMap ExampleKeys = {0x0D, 0x20, 0x7A, 0x78, 0x111, 0x112, 0x114, 0x113};
const std::vector<uint8_t> ExampleBytes = {0x0D, 0x00, 0x20, 0x00, 0x7A, 0x00, 0x78, 0x00,
                                           0x11, 0x01, 0x12, 0x01, 0x14, 0x01, 0x13, 0x01};

TEST(KeyMapFile, SixteenLittleEndianBytesAndALongerFileKeepsItsTail)
{
    const TempFile file(std::vector<uint8_t>(20, 0xEE), "keymap.cfg");
    keyMap = ExampleKeys;
    ASSERT_TRUE(saveKeyMap(file.path()));  // (written at once, as tests/app/file_io_test.cpp checks)
    std::vector<uint8_t> expected = ExampleBytes;
    expected.insert(expected.end(), 4, 0xEE);
    EXPECT_EQ(fileBytes(file.path()), expected);
    keyMap = {};
    EXPECT_EQ(loadKeyMap(file.path()), KeyMapLoad::Loaded);
    EXPECT_EQ(keyMap, ExampleKeys);
}

TEST(KeyMapFile, ShortMissingAndUnwritable)
{
    const TempFile file({0x0D, 0x00, 0x20, 0x00, 0x7A}, "keymap.cfg");
    EXPECT_EQ(loadKeyMap(file.path()), KeyMapLoad::Incomplete);
    EXPECT_EQ(keyMap, (KeyMap{0x0D, 0x20, 0x7A, 0, 0, 0, 0, 0})) << "a short file leaves the rest at zero";
    EXPECT_EQ(loadKeyMap("/no/such/folder/keymap.cfg"), KeyMapLoad::Missing);
    EXPECT_FALSE(saveKeyMap("/no/such/folder/keymap.cfg"));
}

// The 8x8 block of FrameBuffer pixels of a text cell, and what the cell shows with `character`.
std::vector<uint8_t> cell(int column, int row)
{
    std::vector<uint8_t> pixels;
    for (int gy = 0; gy < 8; ++gy)
        for (int gx = 0; gx < 8; ++gx)
            pixels.push_back(frameBuffer[(row * 8 + gy) * 256 + column * 8 + gx]);
    return pixels;
}

std::vector<uint8_t> glyph(char character)
{
    const uint8_t* font = glyphOf(character);
    std::vector<uint8_t> pixels(font, font + GlyphBytes);
    for (uint8_t& pixel : pixels)
        pixel += 64;
    return pixels;
}

TEST(DrawText, PlacesCellsWrapsAfterColumn31AndClipsBelowTheLastRow)
{
    frameBuffer.fill(7);
    drawText(30, 4, "ABC");
    EXPECT_EQ(cell(30, 4), glyph('A'));
    EXPECT_EQ(cell(31, 4), glyph('B'));
    EXPECT_EQ(cell(0, 5), glyph('C'));
    drawText(31, 29, "XY");  // Y would wrap to row 30
    drawText(0, 30, "Z");
    drawText(-1, 0, "Q");
    EXPECT_EQ(cell(31, 29), glyph('X'));
    EXPECT_EQ(std::count(frameBuffer.begin(), frameBuffer.end(), 7), 256 * 240 - 4 * 64) << "nothing else is drawn";
    drawText(0, 6, " ");
    EXPECT_EQ(cell(0, 6), std::vector<uint8_t>(64, 64)) << "a space paints its cell black";
}

TEST(ConfigScreen, TitlePromptsAndPicture)
{
    drawConfigScreen();
    for (uint32_t button = 0; button < 8; ++button)
        drawKeyPrompt(button);
    const std::string rows[] = {"Player 1 controller configure", "", "Press new key for A", "Press new key for B",
                                "Press new key for select", "Press new key for start", "Press new key for up",
                                "Press new key for down", "Press new key for left", "Press new key for right"};
    for (int row = 0; row < 10; ++row)
        for (int column = 0; column < 32; ++column)
            EXPECT_EQ(cell(column, row), glyph(column < static_cast<int>(rows[row].size()) ? rows[row][column] : ' '))
                << "row " << row << " column " << column;
    EXPECT_TRUE(std::all_of(frameBuffer.begin() + 80 * 256, frameBuffer.begin() + PictureTopRow * 256,
                            [](uint8_t pixel) { return pixel == 64; })) << "black down to the picture";
    EXPECT_TRUE(std::equal(ControllerPicture.begin(), ControllerPicture.end(), frameBuffer.begin() + 141 * 256));
}

}  // namespace
