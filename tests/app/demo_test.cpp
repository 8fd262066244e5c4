// The demo cartridge run headless: its title screen, the candle on the D-pad, the pad notes and
// the triangle tune.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <utility>
#include <vector>

#include "app/video.h"
#include "apu/apu_state.h"
#include "apu/mixer.h"
#include "apu/sound_stream.h"
#include "input/controller.h"
#include "support/cpu_harness.h"
#include "support/rom_runner.h"

namespace {

constexpr uint8_t Wax = 0x37;        // the candle's body; nothing else on screen has it
constexpr int TriangleMaximum = 15;  // the loudest the triangle alone can make a sample

std::set<uint8_t> coloursIn(uint32_t left, uint32_t top, uint32_t right, uint32_t bottom)
{
    std::set<uint8_t> colours;
    for (uint32_t y = top; y < bottom; ++y)
        colours.insert(frameBuffer.begin() + y * FrameWidth + left, frameBuffer.begin() + y * FrameWidth + right);
    return colours;
}

// The leftmost column and the top row of the candle's wax; -1 when it is not on screen.
std::pair<int, int> candle()
{
    int left = -1, top = -1;
    for (int i = 0; i < static_cast<int>(frameBuffer.size()); ++i)
        if (frameBuffer[i] == Wax) {
            top = top < 0 ? i / 256 : top;
            left = left < 0 ? i % 256 : std::min(left, i % 256);
        }
    return {left, top};
}

class Demo : public testing::Test {
protected:
    void SetUp() override
    {
        // The build links the demo into <build>/demo/demo.nes; the test ROMs are in <build>/tests/roms.
        const auto image = std::filesystem::path(TALLOWBY_BUILT_ROMS).parent_path().parent_path() / "demo/demo.nes";
        if (!std::filesystem::exists(image))
            GTEST_SKIP() << "the demo cartridge has not been built: " << image;
        ASSERT_TRUE(loadRomFile(image));
        apuRunning = true;  // as the audio thread does
    }

    // Runs `count` frames with `buttons` held and returns the loudest sample mixed in them.
    static int run(uint32_t count, uint8_t buttons = 0)
    {
        int loudest = -128;
        for (uint32_t n = 0; n < count; ++n) {
            runFrames(1, buttons);
            for (uint32_t i = 0; i < soundFrame.count; ++i)
                loudest = std::max<int>(loudest, soundFrame.samples[i] / 256);
        }
        return loudest;
    }
};

TEST_F(Demo, TitleScreenAndTheCandleOnTheDpad)
{
    run(10);
    // The big letters on the sky: rows 4-6 of tiles, columns 4-27, each of the eight drawn.
    EXPECT_EQ(coloursIn(32, 32, 224, 56), (std::set<uint8_t>{0x0C, 0x06, 0x28, 0x38}));
    for (uint32_t left = 32; left < 224; left += 24)
        EXPECT_TRUE(coloursIn(left, 32, left + 24, 56).count(0x28)) << "letter at " << left;
    EXPECT_TRUE(coloursIn(16, 160, 240, 168).count(0x30)) << "ARROWS MOVE  A B PLAY NOTES in white on row 20";
    const auto [x, y] = candle();
    EXPECT_GE(x, 0);
    EXPECT_GE(y, 184) << "the candle stands on the ground, below the text";

    run(30, 1 << ButtonRight);
    run(2);
    EXPECT_GE(candle().first, x + 40) << "right moves it right";
    EXPECT_EQ(candle().second, y);
    run(20, 1 << ButtonUp);
    run(2);
    const auto [upX, upY] = candle();
    EXPECT_LE(upY, y - 20) << "up moves it up";
    run(10, 1 << ButtonLeft);
    run(2);
    EXPECT_LT(candle().first, upX) << "left moves it back";
}

TEST_F(Demo, ANotePlaysOnSquareOneAndBOnSquareTwo)
{
    EXPECT_LE(run(60), TriangleMaximum) << "only the triangle plays before a key is pressed";
    run(1, 1 << ButtonA);
    EXPECT_EQ(apu.square2.length, 0);
    EXPECT_GT(run(10), TriangleMaximum) << "square 1 adds to the mix";
    run(40);  // the note has ended
    EXPECT_EQ(apu.square1.length, 0);
    run(1, 1 << ButtonB);
    EXPECT_GT(run(10), TriangleMaximum) << "square 2 adds to the mix";
    EXPECT_GT(apu.square2.length, 0);
}

}  // namespace
