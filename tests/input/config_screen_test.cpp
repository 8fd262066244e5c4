// The key map file and the key-configuration screen as drawn into the FrameBuffer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "app/machine.h"
#include "app/video.h"
#include "input/config_screen.h"
#include "input/controller_picture.h"
#include "input/font.h"
#include "input/keymap.h"
#include "support/harness.h"

namespace {

std::vector<uint8_t> readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Return, space, Z, X, up, down, left, right.
constexpr KeyMap ExampleKeys = {0x0D, 0x20, 0x7A, 0x78, 0x111, 0x112, 0x114, 0x113};
const std::vector<uint8_t> ExampleBytes = {0x0D, 0x00, 0x20, 0x00, 0x7A, 0x00, 0x78, 0x00,
                                           0x11, 0x01, 0x12, 0x01, 0x14, 0x01, 0x13, 0x01};

TEST(KeyMapFile, WrittenAsSixteenLittleEndianBytes)
{
    resetMachine();
    const TempFile folder({}, "unused");
    const auto path = (folder.folder() / "keymap.cfg").string();
    keyMap = ExampleKeys;
    ASSERT_TRUE(saveKeyMap(path));
    EXPECT_EQ(readFile(path), ExampleBytes);

    keyMap = {};
    EXPECT_EQ(loadKeyMap(path), KeyMapLoad::Loaded);
    EXPECT_EQ(keyMap, ExampleKeys);
}

TEST(KeyMapFile, ALongerFileKeepsItsTail)
{
    std::vector<uint8_t> contents(20, 0xEE);
    const TempFile file(contents, "keymap.cfg");
    keyMap = ExampleKeys;
    ASSERT_TRUE(saveKeyMap(file.path()));
    std::vector<uint8_t> expected = ExampleBytes;
    expected.insert(expected.end(), 4, 0xEE);
    EXPECT_EQ(readFile(file.path()), expected);
}

TEST(KeyMapFile, AShortFileLeavesTheRestAtZero)
{
    const TempFile file({0x0D, 0x00, 0x20, 0x00, 0x7A}, "keymap.cfg");
    keyMap = ExampleKeys;
    EXPECT_EQ(loadKeyMap(file.path()), KeyMapLoad::Incomplete);
    EXPECT_EQ(keyMap, (KeyMap{0x0D, 0x20, 0x7A, 0, 0, 0, 0, 0}));
}

TEST(KeyMapFile, MissingAndUnwritable)
{
    EXPECT_EQ(loadKeyMap("/no/such/folder/keymap.cfg"), KeyMapLoad::Missing);
    EXPECT_FALSE(saveKeyMap("/no/such/folder/keymap.cfg"));
    const TempFile folder({}, "unused");
    EXPECT_FALSE(saveKeyMap(folder.folder().string())) << "a folder is not a file";
}

// The 8x8 block of FrameBuffer pixels of a text cell.
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
    std::vector<uint8_t> pixels;
    for (uint32_t i = 0; i < GlyphBytes; ++i)
        pixels.push_back(static_cast<uint8_t>(FontGlyphs[static_cast<uint8_t>(character) * GlyphBytes + i] + 64));
    return pixels;
}

TEST(DrawText, PlacesCellsAndWrapsAfterColumn31)
{
    frameBuffer.fill(7);
    drawText(30, 4, "ABC");
    EXPECT_EQ(cell(30, 4), glyph('A'));
    EXPECT_EQ(cell(31, 4), glyph('B'));
    EXPECT_EQ(cell(0, 5), glyph('C'));
    EXPECT_EQ(frameBuffer[4 * 8 * 256 + 29 * 8 + 7], 7) << "the cell before is untouched";
    EXPECT_EQ(frameBuffer[5 * 8 * 256 + 8], 7) << "the cell after is untouched";
    drawText(0, 6, " ");
    EXPECT_EQ(cell(0, 6), std::vector<uint8_t>(64, 64)) << "a space paints its cell black";
}

TEST(DrawText, TextBelowTheLastRowIsClipped)
{
    frameBuffer.fill(7);
    drawText(31, 29, "XY");  // Y would wrap to row 30
    EXPECT_EQ(cell(31, 29), glyph('X'));
    drawText(0, 30, "Z");
    drawText(-1, 0, "Q");
    EXPECT_EQ(std::count(frameBuffer.begin(), frameBuffer.end(), 7), 256 * 240 - 64);
}

TEST(ConfigScreen, TitlePromptsAndPicture)
{
    drawConfigScreen();
    for (uint32_t button = 0; button < 8; ++button)
        drawKeyPrompt(button);

    const std::string title = "Player 1 controller configure";
    for (size_t i = 0; i < title.size(); ++i)
        EXPECT_EQ(cell(static_cast<int>(i), 0), glyph(title[i])) << "title column " << i;
    for (int column = 0; column < 32; ++column)
        EXPECT_EQ(cell(column, 1), std::vector<uint8_t>(64, 64)) << "row 1 is blank";
    const std::string prompts[] = {"A", "B", "select", "start", "up", "down", "left", "right"};
    for (int row = 2; row <= 9; ++row) {
        const std::string prompt = "Press new key for " + prompts[row - 2];
        for (size_t i = 0; i < prompt.size(); ++i)
            ASSERT_EQ(cell(static_cast<int>(i), row), glyph(prompt[i])) << "row " << row << " column " << i;
        EXPECT_EQ(cell(static_cast<int>(prompt.size()), row), glyph(' '));
    }
    for (uint32_t y = 80; y < PictureTopRow; ++y)
        for (uint32_t x = 0; x < 256; ++x)
            ASSERT_EQ(frameBuffer[y * 256 + x], 64) << "cleared to black at row " << y;
    EXPECT_TRUE(std::equal(ControllerPicture.begin(), ControllerPicture.end(), frameBuffer.begin() + 141 * 256));
}

}  // namespace
