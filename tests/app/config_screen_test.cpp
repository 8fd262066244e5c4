// The key map: key events, the file, and the key-configuration screen as drawn into the FrameBuffer.
// Gamepads in the core: gamepad.cfg, the default mapping and the inputs the configuration screen
// takes. (Controller 2's port is read in tests/input; pads driving both controllers in tests/app/sdl.)
// The screen font: data checks that catch a shifted, transposed or broken table (the controller
// picture is compared whole on the configuration screen).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <sstream>
#include <set>
#include <vector>

#include "app/config_screen.h"
#include "app/controller_picture.h"
#include "app/font.h"
#include "app/gamepad.h"
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

TEST(KeyMapFile, SixteenLittleEndianBytesALongerFileKeepsItsTailAShortOneLeavesZeros)
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

    const TempFile shortFile({0x0D, 0x00, 0x20, 0x00, 0x7A}, "keymap.cfg");
    EXPECT_EQ(loadKeyMap(shortFile.path()), KeyMapLoad::Incomplete);
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

bool ink(char c, uint32_t gx, uint32_t gy) { return glyphOf(c)[gy * GlyphSize + gx] != 0; }

// The rows that hold ink, as a mask of bits.
uint32_t inkRows(char c)
{
    uint32_t rows = 0;
    for (uint32_t gy = 0; gy < GlyphSize; ++gy)
        for (uint32_t gx = 0; gx < GlyphSize; ++gx)
            rows |= ink(c, gx, gy) << gy;
    return rows;
}

// (That every pixel is ink or blank is checked as the font is built, at compile time.)
TEST(Font, GlyphsAreDistinctAndTheRightWayRound)
{
    for (const uint32_t code : {0, 9, 10, 13, 31, 32, 127, 200, 255})
        EXPECT_EQ(glyph(static_cast<char>(code)), std::vector<uint8_t>(GlyphBytes, 64)) << "code " << code << " shows as a space";
    std::set<std::vector<uint8_t>> shapes;
    for (uint32_t code = 33; code <= 126; ++code) {
        const std::vector<uint8_t> pixels = glyph(static_cast<char>(code));
        EXPECT_GT(std::count(pixels.begin(), pixels.end(), 65), 2) << "'" << static_cast<char>(code) << "'";
        shapes.insert(pixels);
    }
    EXPECT_EQ(shapes.size(), 94u) << "printable characters are distinct";

    // '-' is one row in the middle, '_' the bottom row, and '/' leans to the right.
    EXPECT_EQ(std::popcount(inkRows('-')), 1);
    EXPECT_TRUE(inkRows('-') & 0x3C);
    EXPECT_EQ(inkRows('_') & 0x81, 0x80u);
    EXPECT_TRUE(ink('/', 6, 0) || ink('/', 7, 0));
    EXPECT_FALSE(ink('/', 0, 0) || ink('/', 7, 7));
}

constexpr PadInput button(uint8_t n) { return {PadInputKind::Button, n, 0}; }
constexpr PadInput hat(uint8_t n, uint8_t bit) { return {PadInputKind::Hat, n, static_cast<int8_t>(bit)}; }
constexpr PadInput axis(uint8_t n, int8_t direction) { return {PadInputKind::Axis, n, direction}; }

TEST(GamepadConfig, LinesAndFaultyLines)
{
    const std::string text =
        "# chosen on the screen\n"
        "a button 2\n"
        "  up   hat 0 up\r\n"
        "up axis 1 -\n"
        "\n"
        "left axis 3 +\n"
        "start button 32\n"        // line 7: beyond the followed buttons
        "select hat 0 north\n"
        "jump button 1\n"          // no such controller button
        "left axis 0 -\n"          // the second input of left is fine
        "left button 5\n"          // a third one is not, and left falls back entirely
        "B button 3\n";            // any case
    std::ostringstream report;
    const GamepadMap map = parseGamepadConfig(text, "gamepad.cfg", report);
    EXPECT_EQ(map[ButtonA], (PadBinding{button(2)}));
    EXPECT_EQ(map[ButtonUp], (PadBinding{hat(0, HatUp), axis(1, -1)}));
    EXPECT_EQ(map[ButtonB], (PadBinding{button(3)}));
    for (const uint32_t fallback : {ButtonSelect, ButtonStart, ButtonDown, ButtonLeft, ButtonRight})
        EXPECT_EQ(map[fallback], PadBinding{}) << ButtonNames[fallback] << " takes the default";
    const std::string lines = report.str();
    for (const char* expected : {"gamepad.cfg, line 7: \"start button 32\" is not understood",
                                 "line 8: \"select hat 0 north\" is not understood", ": select keeps the default mapping.",
                                 "line 9: \"jump button 1\"", "line 11: \"left button 5\" is not understood (a button takes at most two lines): left keeps"})
        EXPECT_NE(lines.find(expected), std::string::npos) << expected << "\nin:\n" << lines;
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 4) << lines;

    // What the screen writes reads back the same, and the default fills what the file leaves out.
    GamepadMap chosen{};
    chosen[ButtonA] = {button(2)};
    chosen[ButtonLeft] = {axis(0, -1)};
    chosen[ButtonRight] = {hat(1, HatRight)};
    const TempFile file({}, "gamepad.cfg");
    ASSERT_TRUE(saveGamepadConfig(file.path(), chosen));
    std::ostringstream quiet;
    loadGamepadConfig(file.path(), quiet);
    EXPECT_EQ(quiet.str(), "");
    EXPECT_EQ(gamepadConfig, chosen);
    const GamepadMap resolved = resolveGamepadMap(gamepadConfig, 4);  // (the whole default: tests/app/sdl)
    EXPECT_EQ(resolved[ButtonDown], (PadBinding{hat(0, HatDown), axis(1, 1)}));
    EXPECT_EQ(resolved[ButtonRight], chosen[ButtonRight]);
    loadGamepadConfig((file.folder() / "missing.cfg").string(), quiet);
    EXPECT_EQ(gamepadConfig, GamepadMap{}) << "no file: the default everywhere, silently";
    EXPECT_EQ(quiet.str(), "");
}

TEST(GamepadConfig, ScreenTakesOnlyFreshPresses)
{
    resetMachine();
    connectGamepad(0, 10);
    // The event, and the input the screen takes from it.
    const std::pair<PadEvent, std::optional<PadInput>> cases[] = {
        {{PadInputKind::Button, 4, 1}, button(4)},
        {{PadInputKind::Button, 4, 0}, {}},
        {{PadInputKind::Axis, 2, -20000}, axis(2, -1)},
        {{PadInputKind::Axis, 2, -30000}, {}},  // still held: the same push again is no new input
        {{PadInputKind::Axis, 2, 17000}, axis(2, 1)},
        {{PadInputKind::Hat, 1, HatLeft}, hat(1, HatLeft)},
        {{PadInputKind::Hat, 1, HatLeft | HatDown}, hat(1, HatDown)},
        {{PadInputKind::Hat, 1, 0}, {}},
    };
    for (const auto& [event, taken] : cases) {
        const GamepadState before = gamepads[0];
        applyPadEvent(0, event);
        EXPECT_EQ(newlyPressedInput(event, before, gamepads[0]), taken)
            << int(event.kind) << " " << int{event.index} << " " << event.value;
    }
}

}  // namespace
