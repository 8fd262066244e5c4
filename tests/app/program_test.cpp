// Whole programs of this project's own, run frame by frame: the picture they must show, the
// controller as they see it, and mid-line register writes in pixel and scanline mode.
#include <gtest/gtest.h>

#include <sstream>

#include "app/automation.h"
#include "app/machine.h"
#include "app/options.h"
#include "app/scheduler.h"
#include "app/video.h"
#include "bus/cpu_bus.h"
#include "cpu/opcode_table.h"
#include "support/harness.h"

namespace {

void loadBuiltRom(const std::string& name)
{
    resetMachine();
    std::ostringstream console;
    ASSERT_EQ(loadCartridge(builtRom(name).string(), console), LoadResult::Loaded) << console.str();
    initOpcodeTable();
    emulationRunning = 1;
}

void runFrames(int count)
{
    for (int n = 0; n < count; ++n) {
        runFrame();
        ++scheduler.frameCounter;
    }
}

uint8_t pixel(uint32_t x, uint32_t y) { return frameBuffer[y * FrameWidth + x]; }

// The picture of tests/roms/scene.s with sprite 0 at (x0, y0): solid 8x8 tiles of colour value
// (column XOR row) AND 3 in palettes 0-3 by quadrant of each 32x32 block, two solid sprites.
uint8_t expectedScenePixel(uint32_t x, uint32_t y, uint32_t x0, uint32_t y0)
{
    static constexpr uint8_t Background[4][4] = {
        {0x21, 0x16, 0x2A, 0x12}, {0x21, 0x06, 0x1A, 0x02}, {0x21, 0x27, 0x30, 0x14}, {0x21, 0x0B, 0x3C, 0x25}};
    if (x >= x0 && x < x0 + 8 && y >= y0 && y < y0 + 8)
        return 0x11;  // sprite 0: colour 3 of sprite palette 0
    if (x >= 200 && x < 208 && y >= 50 && y < 58)
        return 0x16;  // sprite 1: colour 1 of sprite palette 1
    const uint32_t value = ((x / 8) ^ (y / 8)) & 3;
    const uint32_t palette = ((x / 16) & 1) + 2 * ((y / 16) & 1);
    return Background[palette][value];
}

void expectScene(uint32_t x0, uint32_t y0)
{
    int wrong = 0;
    for (uint32_t y = 0; y < FrameHeight; ++y)
        for (uint32_t x = 0; x < FrameWidth; ++x)
            if (pixel(x, y) != expectedScenePixel(x, y, x0, y0) && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << int{pixel(x, y)} << ", expected "
                              << int{expectedScenePixel(x, y, x0, y0)};
    EXPECT_EQ(wrong, 0);
}

TEST(Programs, SceneShowsItsBackgroundAndSpritesInBothModes)
{
    for (const bool scanline : {false, true}) {
        SCOPED_TRACE(scanline ? "scanline mode" : "pixel mode");
        loadBuiltRom("scene");
        options.scanlineMode = scanline;
        runFrames(10);
        expectScene(120, 100);
    }
}

TEST(Programs, TheDpadMovesTheSpriteOnePixelPerFrame)
{
    loadBuiltRom("scene");
    runFrames(10);
    buttonState[ButtonRight] = 1;
    buttonState[ButtonDown] = 1;
    runFrames(5);
    buttonState = {};
    runFrames(2);
    expectScene(125, 105);
}

TEST(Programs, ScriptedInputIsSeenFromItsFrameOn)
{
    loadBuiltRom("scene");
    std::string error;
    auto script = parseInputScript("0 -\n# press start for two frames\n10 start\n12 -\n", error);
    ASSERT_TRUE(script) << error;
    std::vector<int> startSeen;
    for (int frame = 0; frame < 14; ++frame) {
        applyInputScript(*script, frame);
        runFrames(1);
        startSeen.push_back((cpuMemory[0x0000] >> 4) & 1);  // the program's button byte, start in bit 4
    }
    EXPECT_EQ(startSeen, (std::vector<int>{0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 0, 0}));
}

// Rows of the midline program: 0 unscrolled, 4 scrolled by 4 pixels, -1 split within the row.
std::vector<int> rowScrolls()
{
    std::vector<int> rows;
    for (uint32_t y = 0; y < FrameHeight; ++y) {
        bool all0 = true, all4 = true;
        for (uint32_t x = 0; x < FrameWidth; ++x) {
            const uint8_t colour = pixel(x, y);
            all0 = all0 && colour == (((x / 8) & 1) ? 0x2A : 0x16);
            all4 = all4 && colour == ((((x + 4) / 8) & 1) ? 0x2A : 0x16);
        }
        rows.push_back(all0 ? 0 : all4 ? 4 : -1);
    }
    return rows;
}

TEST(Programs, AMidLineScrollWriteSplitsTheLineOnlyInPixelMode)
{
    loadBuiltRom("midline");
    runFrames(5);
    const std::vector<int> pixelMode = rowScrolls();
    const auto split = std::find(pixelMode.begin(), pixelMode.end(), -1);
    ASSERT_NE(split, pixelMode.end()) << "pixel mode shows the write in the middle of a line";
    const auto splitRow = static_cast<size_t>(split - pixelMode.begin());
    for (size_t y = 0; y < pixelMode.size(); ++y) {
        if (y != splitRow) {
            EXPECT_EQ(pixelMode[y], y < splitRow ? 0 : 4) << "row " << y;
        }
    }

    loadBuiltRom("midline");
    options.scanlineMode = true;
    runFrames(5);
    const std::vector<int> scanlineMode = rowScrolls();
    // Whole lines only: unscrolled lines, then scrolled ones from the line in which the write came.
    // (The lines of scanline mode are one cycle shorter, so it comes a line earlier there.)
    const auto firstScrolled = std::find(scanlineMode.begin(), scanlineMode.end(), 4);
    ASSERT_NE(firstScrolled, scanlineMode.end());
    EXPECT_TRUE(std::all_of(scanlineMode.begin(), firstScrolled, [](int row) { return row == 0; }));
    EXPECT_TRUE(std::all_of(firstScrolled, scanlineMode.end(), [](int row) { return row == 4; }));
}

}  // namespace
