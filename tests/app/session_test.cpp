// The play session: what each frame-loop pass does when paused or fast-forwarding, the mute flag,
// the reset button, and the names of state and screenshot files.
#include <gtest/gtest.h>

#include "app/options.h"
#include "app/session.h"
#include "app/sound_fifo.h"
#include "bus/cpu_bus.h"
#include "console/console.h"
#include "console/scheduler.h"
#include "ppu/ppu_state.h"
#include "support/cpu_harness.h"
#include "support/harness.h"
#include "support/rom_runner.h"

namespace {

TEST(Session, PauseAndFastForwardDecideWhatEachLoopPassDoes)
{
    struct Case {
        bool paused, fastForward, benchmark;
        int32_t frame;
        bool runs, presents, paces, muted;
    };
    const Case cases[] = {
        {false, false, false, 5, true, true, true, false},  {true, false, false, 5, false, true, true, true},
        {false, true, false, 8, true, true, false, true},   {false, true, false, 9, true, false, false, true},
        {true, true, false, 9, false, true, true, true},    {false, false, true, 5, true, true, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.paused << c.fastForward << c.benchmark << " frame " << c.frame);
        setPaused(c.paused);
        setFastForward(c.fastForward);
        options.benchmark = c.benchmark;
        scheduler.frameCounter = c.frame;
        const LoopPass pass = planLoopPass();
        EXPECT_EQ(pass.runsFrame, c.runs);
        EXPECT_EQ(pass.presents, c.presents);
        EXPECT_EQ(pass.paces, c.paces);
        EXPECT_EQ(soundMuted, c.muted) << "the device is given no samples while muted";
    }
    setPaused(false);
    setFastForward(false);
    options.benchmark = false;
}

TEST(Session, TheResetButtonRestartsTheGameAndKeepsMemory)
{
    ASSERT_TRUE(loadRomFile(builtRom("scene")));
    runFrames(10);
    const uint64_t startPicture = frameHash();
    runFrames(10, 1 << ButtonRight);
    ASSERT_NE(frameHash(), startPicture) << "sprite 0 has moved";
    const CpuMemory memory = cpuMemory;
    const auto video = ppu.memory;
    cpu.s = 0x20;
    pressResetButton();
    EXPECT_EQ(cpu.pc, uint32_t{cpuRead(0xFFFC)} | cpuRead(0xFFFD) << 8);
    EXPECT_EQ(cpu.s, 0xFF);
    EXPECT_TRUE(cpuMemory == memory && ppu.memory == video);
    runFrames(10);
    EXPECT_EQ(frameHash(), startPicture) << "the game has started again";
}

TEST(Session, StateAndScreenshotFileNames)
{
    EXPECT_EQ(stateFilePath("/games/Some Game.nes", 3), "/games/Some Game.ss3");
    EXPECT_EQ(stateFilePath("game.nes", 0), "game.ss0");
    EXPECT_EQ(fallbackStateFilePath("/games/rom.v1.nes", 9), "rom.v1.ss9");
    const std::tm when{3, 2, 1, 7, 11, 2026 - 1900, 0, 0, 0, 0, nullptr};  // 2026-12-07 01:02:03
    EXPECT_EQ(screenshotFileName("/games/Game.nes", when), "Game-20261207-010203.png");
}

}  // namespace
