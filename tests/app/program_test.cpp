// Whole programs of this project's own, run frame by frame: the picture they must show, the
// D-pad as they see it, and mid-line register writes in pixel and scanline mode.
#include <gtest/gtest.h>

#include "app/options.h"
#include "app/video.h"
#include "bus/cpu_bus.h"
#include "input/controller.h"
#include "support/cpu_harness.h"
#include "support/harness.h"
#include "support/rom_runner.h"

namespace {

uint8_t pixel(uint32_t x, uint32_t y) { return frameBuffer[y * FrameWidth + x]; }

// The picture of tests/roms/scene.s with sprite 0 at (x0, y0).
void expectScene(uint32_t x0, uint32_t y0)
{
    static constexpr uint8_t Background[4][4] = {
        {0x21, 0x16, 0x2A, 0x12}, {0x21, 0x06, 0x1A, 0x02}, {0x21, 0x27, 0x30, 0x14}, {0x21, 0x0B, 0x3C, 0x25}};
    int wrong = 0;
    for (uint32_t y = 0; y < FrameHeight; ++y)
        for (uint32_t x = 0; x < FrameWidth; ++x) {
            uint8_t expected = Background[(x / 16) % 2 + 2 * ((y / 16) % 2)][((x / 8) ^ (y / 8)) & 3];
            if (x - x0 < 8 && y - y0 < 8)
                expected = 0x11;  // sprite 0: colour 3 of sprite palette 0
            else if (x - 200 < 8 && y - 50 < 8)
                expected = 0x16;  // sprite 1: colour 1 of sprite palette 1
            if (pixel(x, y) != expected && ++wrong <= 5)
                ADD_FAILURE() << "pixel " << x << "," << y << " is " << int{pixel(x, y)} << ", not " << int{expected};
        }
    EXPECT_EQ(wrong, 0);
}

TEST(Programs, SceneShowsItsBackgroundAndSpritesAndTheDpadMovesSpriteZero)
{
    for (const bool scanline : {false, true}) {
        SCOPED_TRACE(scanline ? "scanline mode" : "pixel mode");
        ASSERT_TRUE(loadRomFile(builtRom("scene")));
        options.scanlineMode = scanline;
        runFrames(10);
        expectScene(120, 100);
        runFrames(5, 1 << ButtonRight | 1 << ButtonDown);
        runFrames(2);
        expectScene(125, 105);
    }
}

// The midline program's rows as a string: '0' unscrolled, '4' scrolled by 4 pixels, 's' split.
std::string rowScrolls(bool scanlineMode)
{
    EXPECT_TRUE(loadRomFile(builtRom("midline")));
    options.scanlineMode = scanlineMode;
    runFrames(5);
    std::string rows;
    for (uint32_t y = 0; y < FrameHeight; ++y) {
        bool all0 = true, all4 = true;
        for (uint32_t x = 0; x < FrameWidth; ++x) {
            all0 = all0 && pixel(x, y) == ((x / 8) % 2 ? 0x2A : 0x16);
            all4 = all4 && pixel(x, y) == (((x + 4) / 8) % 2 ? 0x2A : 0x16);
        }
        rows += all0 ? '0' : all4 ? '4' : 's';
    }
    return rows;
}

TEST(Programs, AMidLineScrollWriteSplitsTheLineOnlyInPixelMode)
{
    // Unscrolled lines, then one line split by the write, then scrolled ones.
    const std::string pixelMode = rowScrolls(false);
    const size_t split = pixelMode.find('s');
    ASSERT_LT(split, FrameHeight) << pixelMode;
    EXPECT_EQ(pixelMode, std::string(split, '0') + 's' + std::string(FrameHeight - split - 1, '4'));
    // Whole lines only. (The lines of scanline mode are one cycle shorter, so the write comes a
    // line earlier there.)
    const std::string scanlineMode = rowScrolls(true);
    const size_t scrolled = scanlineMode.find('4');
    ASSERT_LT(scrolled, FrameHeight) << scanlineMode;
    EXPECT_EQ(scanlineMode, std::string(scrolled, '0') + std::string(FrameHeight - scrolled, '4'));
}

}  // namespace
