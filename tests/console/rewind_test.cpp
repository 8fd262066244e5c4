// Rewind through the console: frames run backwards are the frames that were run, and the history
// keeps its minute within its memory.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <vector>

#include "console/console.h"
#include "console/rewind.h"
#include "support/harness.h"
#include "support/rom_runner.h"

namespace {

// The buttons of frame `frame`: right, then A in bursts, then left with B.
ControllerInput buttonsOf(int64_t frame)
{
    ControllerInput input;
    input.first[frame < 250 ? ButtonRight : ButtonLeft] = 1;
    input.first[ButtonA] = frame % 40 < 6;
    input.first[ButtonB] = frame > 400;
    return input;
}

void insert(const std::vector<uint8_t>& image)
{
    removeCartridge();
    std::ostringstream lines;
    ASSERT_EQ(insertCartridge(image, lines), LoadResult::Loaded);
    setSoundEmulated(true);
}

void runWithHistory(int64_t frames)
{
    for (int64_t frame = 0; frame < frames; ++frame) {
        const ControllerInput input = buttonsOf(framesRun());
        rememberFrame(input);
        runConsoleFrame(input, {});
        countFrame();
    }
}

// The demo, played 600 frames with the pad and rewound 300: its picture and samples are those of
// a straight run of 300 frames; at the history's start it goes back no further.
TEST(Rewind, FramesRunBackwardsAreTheFramesThatWereRun)
{
    const std::vector<uint8_t> demo = fileBytes(std::filesystem::path(TALLOWBY_BUILT_ROMS).parent_path().parent_path() / "demo/demo.nes");
    insert(demo);
    startRewindHistory(400);
    runWithHistory(600);
    for (int32_t step = 0; step < 300; ++step)
        ASSERT_TRUE(rewindFrame({})) << step;
    EXPECT_EQ(framesRun(), 300);
    const uint64_t picture = frameHash();
    const std::vector<int16_t> samples(frameSamples().begin(), frameSamples().end());
    runWithHistory(20);  // playing on from there keeps the history going
    while (rewindFrame({})) {
    }
    EXPECT_LE(framesRun(), 600 - 400) << "the 400 frames before the last one recorded";
    EXPECT_GE(framesRun(), 600 - 400 - static_cast<int64_t>(RewindStateEvery));

    insert(demo);
    startRewindHistory(0);
    runWithHistory(300);
    EXPECT_EQ(frameHash(), picture);
    EXPECT_EQ(std::vector<int16_t>(frameSamples().begin(), frameSamples().end()), samples);
    EXPECT_EQ(rewindHistoryBytes(), 0u) << "no history kept";
}

// A program that rewrites all of its RAM and PRG RAM all the time: a minute of history fits in
// the history's memory.
TEST(Rewind, AMinuteOfAGameThatChangesAllItsRamFitsTheBudget)
{
    InesImage image(2, 1);
    std::vector<uint8_t> code = {0x78, 0xE6, 0x00, 0xA5, 0x00, 0xA2, 0x00};  // SEI, INC $00, LDA $00, LDX #0
    for (uint8_t page = 0x01; page < 0x80; ++page)
        if (page < 0x08 || page >= 0x60)
            code.insert(code.end(), {0x9D, 0x00, page});  // STA page*256,X
    const int32_t back = 7 - (static_cast<int32_t>(code.size()) + 3);  // from after the BNE to the first store
    code.insert(code.end(), {0xE8, 0xD0, static_cast<uint8_t>(back), 0x4C, 0x01, 0xE0});  // INX, BNE, JMP to the INC
    image.put(0xE000, code);
    image.setVectors(0xE000);
    insert(image.bytes());
    startRewindHistory(3600);
    runWithHistory(3700);
    EXPECT_GE(rewindHistoryFrames(), 3600u);
    EXPECT_LE(rewindHistoryBytes(), RewindBudgetBytes);
    EXPECT_GT(rewindHistoryBytes(), 3600u / RewindStateEvery * 8 * 1024) << "every kept state changed its 10 KB";
}

}  // namespace
