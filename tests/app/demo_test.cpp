// The demo cartridge run headless: its title screen, the candle on the D-pad, the pad notes and
// the triangle tune.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <limits>
#include <set>
#include <sstream>
#include <vector>

#include "app/machine.h"
#include "app/options.h"
#include "app/scheduler.h"
#include "app/video.h"
#include "apu/apu_state.h"
#include "apu/mixer.h"
#include "bus/cartridge.h"
#include "cpu/interrupts.h"
#include "cpu/opcode_table.h"
#include "input/controller.h"
#include "support/harness.h"

namespace {

// Palette bytes the demo shows.
constexpr uint8_t Sky = 0x0C;
constexpr uint8_t TitleOutline = 0x06;
constexpr uint8_t TitleLower = 0x28;
constexpr uint8_t TitleUpper = 0x38;
constexpr uint8_t TextWhite = 0x30;
constexpr uint8_t Wax = 0x37;  // the candle's body; nothing else on screen has it

// The loudest the triangle alone can make a sample.
constexpr int TriangleMaximum = 15;

// The build links the demo into <build>/demo/demo.nes; the test ROMs are in <build>/tests/roms.
std::filesystem::path demoImage()
{
    return std::filesystem::path(TALLOWBY_BUILT_ROMS).parent_path().parent_path() / "demo" / "demo.nes";
}

struct Area {
    uint32_t left, top, right, bottom;  // right and bottom excluded
};

std::set<uint8_t> coloursIn(const Area& area)
{
    std::set<uint8_t> colours;
    for (uint32_t y = area.top; y < area.bottom; ++y)
        for (uint32_t x = area.left; x < area.right; ++x)
            colours.insert(frameBuffer[y * FrameWidth + x]);
    return colours;
}

// The top left corner of the pixels in `colour`, or nothing seen.
struct Corner {
    int x = -1, y = -1;
};

Corner cornerOf(uint8_t colour)
{
    Corner corner;
    for (uint32_t y = 0; y < FrameHeight; ++y)
        for (uint32_t x = 0; x < FrameWidth; ++x)
            if (frameBuffer[y * FrameWidth + x] == colour) {
                corner.x = corner.x < 0 ? static_cast<int>(x) : std::min(corner.x, static_cast<int>(x));
                corner.y = corner.y < 0 ? static_cast<int>(y) : corner.y;
            }
    return corner;
}

class Demo : public testing::Test {
protected:
    void SetUp() override
    {
        const std::filesystem::path image = demoImage();
        if (!std::filesystem::exists(image))
            GTEST_SKIP() << "the demo cartridge has not been built: " << image;
        resetMachine();
        std::ostringstream console;
        ASSERT_EQ(loadCartridge(image.string(), console), LoadResult::Loaded) << console.str();
        initOpcodeTable();
        cpuReset();
        emulationRunning = 1;
        options.silent = false;
        sampleRing.ringSize = SampleBlockLength;  // as the audio thread does, so the APU runs
    }

    void TearDown() override { resetMachine(); }

    // Runs `count` frames as the frame loop does and returns the loudest sample mixed in them.
    static int run(int count)
    {
        int loudest = std::numeric_limits<int>::min();
        int32_t read = sampleRing.writeIndex;
        for (int n = 0; n < count; ++n) {
            runFrame();
            ++scheduler.frameCounter;
            // A completed block has been handed to playbackBuffer; its tail is read from there.
            const int32_t written = sampleRing.writeIndex;
            if (written < read) {
                for (int32_t i = read; i < SampleBlockLength; ++i)
                    loudest = std::max<int>(loudest, sampleRing.playbackBuffer[i]);
                read = 0;
            }
            for (int32_t i = read; i < written; ++i)
                loudest = std::max<int>(loudest, sampleRing.ringBuffer[i]);
            read = written;
        }
        return loudest;
    }

    // Holds `button` for `count` frames, then lets it go.
    static int hold(Button button, int count)
    {
        buttonState[button] = 1;
        const int loudest = run(count);
        buttonState[button] = 0;
        return loudest;
    }
};

TEST_F(Demo, TitleScreenShowsTheBigTitleAndTheText)
{
    run(10);
    // The big letters: rows 4-6 of tiles, columns 4-27.
    EXPECT_EQ(coloursIn({32, 32, 224, 56}), (std::set<uint8_t>{Sky, TitleOutline, TitleLower, TitleUpper}));
    // Each of the eight letters is drawn, not only the first.
    for (uint32_t letter = 0; letter < 8; ++letter) {
        const uint32_t left = 32 + letter * 24;
        EXPECT_TRUE(coloursIn({left, 32, left + 24, 56}).count(TitleLower)) << "letter " << letter;
    }
    // "ARROWS MOVE  A B PLAY NOTES" in white on row 20.
    EXPECT_TRUE(coloursIn({16, 160, 240, 168}).count(TextWhite));
    // The candle stands in its place on the ground, below the text.
    const Corner candle = cornerOf(Wax);
    EXPECT_GE(candle.y, 184);
    EXPECT_GE(candle.x, 0);
}

TEST_F(Demo, DirectionKeysMoveTheCandle)
{
    run(10);
    const Corner start = cornerOf(Wax);
    ASSERT_GE(start.x, 0) << "the candle is not on screen";

    hold(ButtonRight, 30);
    run(2);
    const Corner right = cornerOf(Wax);
    EXPECT_GE(right.x, start.x + 40) << "right moves it right";
    EXPECT_EQ(right.y, start.y);

    hold(ButtonUp, 20);
    run(2);
    const Corner up = cornerOf(Wax);
    EXPECT_LE(up.y, right.y - 20) << "up moves it up";
    EXPECT_EQ(up.x, right.x);

    hold(ButtonLeft, 10);
    run(2);
    EXPECT_LT(cornerOf(Wax).x, up.x) << "left moves it back";
}

TEST_F(Demo, ANotePlaysOnSquareOneAndBOnSquareTwo)
{
    EXPECT_LE(run(60), TriangleMaximum) << "only the triangle plays before a key is pressed";
    EXPECT_EQ(apu.square1.output, 0);
    EXPECT_EQ(apu.square2.output, 0);

    hold(ButtonA, 1);
    EXPECT_GT(apu.square1.length, 0);
    EXPECT_GT(run(10), TriangleMaximum) << "square 1 adds to the mix";
    EXPECT_EQ(apu.square2.length, 0);

    run(40);  // the note has ended
    EXPECT_EQ(apu.square1.length, 0);
    hold(ButtonB, 1);
    EXPECT_GT(apu.square2.length, 0);
    EXPECT_GT(run(10), TriangleMaximum) << "square 2 adds to the mix";
}

TEST_F(Demo, TriangleTunePlaysAndLoops)
{
    // The period the triangle plays in each frame.
    constexpr int Frames = 1200;
    std::vector<int64_t> periods;
    std::set<int> levels;
    for (int n = 0; n < Frames; ++n) {
        run(1);
        periods.push_back(apu.triangle.period);
        levels.insert(apu.triangle.output);
    }
    EXPECT_GE(std::set<int64_t>(periods.begin(), periods.end()).size(), 8u) << "a tune, not one note";
    EXPECT_GT(levels.size(), 1u) << "the triangle steps";

    // After its first notes, the period sequence repeats with a loop shorter than half the run.
    constexpr int Settled = 10;
    int loop = 0;
    for (int length = 60; length <= Frames / 2 && loop == 0; ++length)
        if (std::equal(periods.begin() + Settled + length, periods.end(), periods.begin() + Settled))
            loop = length;
    EXPECT_GT(loop, 0) << "the tune starts again";
}

}  // namespace
