// The play session: what each frame-loop pass does when paused or fast-forwarding, the mute flag,
// the reset button, and the names of state and screenshot files.
#include <gtest/gtest.h>

#include <tuple>

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
    // Paused, fast-forward, benchmark, frame; then whether the pass runs a frame, presents, paces
    // and mutes the sound (the device is given no samples while muted).
    using Plan = std::tuple<bool, bool, bool, bool>;
    const std::tuple<bool, bool, bool, int32_t, Plan> cases[] = {
        {0, 0, 0, 5, {1, 1, 1, 0}}, {1, 0, 0, 5, {0, 1, 1, 1}}, {0, 1, 0, 8, {1, 1, 0, 1}},
        {0, 1, 0, 9, {1, 0, 0, 1}}, {1, 1, 0, 9, {0, 1, 1, 1}}, {0, 0, 1, 5, {1, 1, 0, 0}},
    };
    for (const auto& [paused, fastForward, benchmark, frame, expected] : cases) {
        setPaused(paused);
        setFastForward(fastForward);
        options.benchmark = benchmark;
        scheduler.frameCounter = frame;
        const LoopPass pass = planLoopPass();
        EXPECT_EQ(Plan(pass.runsFrame, pass.presents, pass.paces, soundMuted), expected)
            << paused << fastForward << benchmark << " frame " << frame;
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
    EXPECT_EQ(stampedFileName("/games/Game.nes", when, ".png"), "Game-20261207-010203.png");
}

}  // namespace
