// Recorded runs: the project's test ROMs, the demo, the benchmark ROM and the third-party ROMs
// through the real frame loop, in pixel mode, scanline mode and with frame skip, with and without
// Game Genie codes. Every frame's picture and sound must match the recorded hashes; any change to
// what is shown or heard shows here. A mismatch prints the run's new table line. The sound was
// recorded when the sound unit took the console's rules; the pictures when the picture took them
// (the backdrop where rendering is off, in every run's first frames; the sprites per line and
// their layering; the MMC3's IRQ registers), and with them the sound of the runs whose CPU
// behaves otherwise since: scattered_writes (its random writes meet RAM's mirrors and the MMC3's
// decoding) and official_only (the status flags clear at the pre-render line).
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "apu/sound_stream.h"
#include "bus/cheats.h"
#include "console/console.h"
#include "cpu/cpu_state.h"
#include "support/cpu_harness.h"
#include "support/harness.h"
#include "support/rom_runner.h"

namespace {

enum class From { Built, Demo, Bench, ThirdParty };

struct GoldenRun {
    From from;
    const char* rom;
    bool scanline;
    int32_t frameSkip;
    bool cheat;       // a Game Genie code that changes the ROM's behaviour, or at least is looked at
    uint8_t buttons;  // held throughout
    uint32_t frames;
    uint64_t picture;  // every rendered frame's buffer, in order
    uint64_t sound;    // every frame's output samples, their count and the cycle counters at its end
};

constexpr bool Px = false, Sl = true;

// clang-format off
constexpr GoldenRun Runs[] = {
    {From::Built, "scene", Px, 1, false, 0, 60, 0x3c62cafdf22d6dc5, 0xffb319d7e99fd2d5},
    {From::Built, "scene", Sl, 1, false, 0, 60, 0x5e3aed6e294172a9, 0x9b44a89585fd478d},
    {From::Built, "midline", Px, 1, false, 0, 30, 0x89423c9d3048bc7d, 0x7f650d29ecf519eb},
    {From::Built, "midline", Sl, 2, false, 0, 30, 0xc48b5b4af41a7513, 0x445a6e3dc98ed92b},
    {From::Built, "scattered_writes", Px, 1, false, 0, 60, 0x8269536a148555f5, 0xaf431003191a0722},
    {From::Built, "scattered_writes", Sl, 1, false, 0, 60, 0xf24eba9135ffc21c, 0x375b34b956b79d5f},
    {From::Built, "apu_notes", Px, 1, false, 0, 90, 0xfd29b33287a2eb97, 0x44a63b4ba77eb56b},
    {From::Demo, "demo", Px, 1, false, 0x81, 90, 0x8285bf34521a4f9c, 0x238aedf3848e1010},
    {From::Demo, "demo", Sl, 3, true, 0x81, 90, 0xe557087e39f7abc7, 0xcfd38459e61dbfe5},
    {From::Demo, "demo", Px, 1, true, 0x52, 90, 0xfc4d5e4c101261e8, 0xee51af04049fb88},
    {From::Bench, "bench30k.nes", Px, 1, false, 0, 60, 0xd32e6d726fda4c95, 0xac8e0940397f54c4},
    {From::Bench, "bench30k.nes", Sl, 1, false, 0, 60, 0xa89b4bfa13c56c3f, 0x7570fbbbf58c537f},
    {From::Bench, "bench30k.nes", Px, 2, true, 0, 60, 0xbfe40a8927143bf9, 0x37efb8e9c63ac87f},
    {From::ThirdParty, "240pee/240pee.nes", Px, 1, false, 0x80, 90, 0xf255aa4309576b75, 0xd5aeba19becb549f},
    {From::ThirdParty, "240pee/240pee.nes", Sl, 1, true, 0x8, 90, 0x65f27a68752a9e52, 0x6b13f80a81e93523},
    {From::ThirdParty, "mmc1-demo/hello_mmc1.nes", Px, 1, false, 0, 200, 0x9547e8e589a55c4d, 0x2bb7651ba2c3e955},
    {From::ThirdParty, "nes15/nes15-NTSC.nes", Px, 1, false, 0x10, 120, 0xa4b183b3b9375e6b, 0x162657c60fb0c8bd},
    {From::ThirdParty, "nes15/nes15-NTSC.nes", Sl, 4, true, 0x10, 120, 0xd66780a49755d6f5, 0xb058f74e777f0b47},
    {From::ThirdParty, "mmc3_test/5-MMC3.nes", Px, 1, false, 0, 200, 0x79c436e2ca6e96e1, 0xe7558d1d269a8fa0},
    {From::ThirdParty, "mmc3_test/3-A12_clocking.nes", Sl, 1, false, 0, 60, 0x3b4a8268ce28f740, 0x7de3dfda6a3d16e2},
    {From::ThirdParty, "nestest/nestest.nes", Px, 1, false, 0x10, 60, 0x7f1194285d882972, 0x11c558103d073b12},
    {From::ThirdParty, "instr_test-v5/official_only.nes", Px, 1, false, 0, 120, 0xa9732e6f0e729a4b, 0x4b6a4ab0206780cb},
};
// clang-format on

std::filesystem::path romPath(const GoldenRun& run)
{
    switch (run.from) {
    case From::Built:
        return builtRom(run.rom);
    case From::Demo:
        return std::filesystem::path(TALLOWBY_BUILT_ROMS).parent_path().parent_path() / "demo/demo.nes";
    case From::Bench:
        return testRomFolder().parent_path() / "bench" / run.rom;
    case From::ThirdParty:
        return testRomFolder() / run.rom;
    }
    return {};
}

// The demo's candle moves SPEED = 2 pixels a frame (ADC #2 at 0x810F); the code makes it 4. On
// other cartridges the compare byte rarely matches, and the read still goes through the codes.
constexpr CheatEntry FasterCandle = {0x8110, 4, 2};

constexpr uint64_t FnvBasis = 0xCBF29CE484222325;
constexpr uint64_t mix(uint64_t hash, uint64_t value) { return (hash ^ value) * 0x100000001B3; }

TEST(GoldenRuns, MatchTheRecordedPicturesAndSamples)
{
    uint32_t ran = 0;
    for (const GoldenRun& run : Runs) {
        const std::filesystem::path path = romPath(run);
        if (!std::filesystem::exists(path)) {
            std::printf("skipped, not found: %s\n", path.c_str());
            continue;
        }
        ASSERT_TRUE(loadRomFile(path)) << path;
        if (run.cheat)
            cheats = {{FasterCandle}, 1};
        setSoundEmulated(true);
        const FrameSettings settings{run.frameSkip, run.scanline};

        uint64_t picture = FnvBasis, sound = FnvBasis;
        for (uint32_t n = 0; n < run.frames; ++n) {
            runFrames(1, run.buttons, settings);
            picture = mix(picture, frameHash());
            for (uint32_t i = 0; i < soundFrame.count; ++i)
                sound = mix(sound, static_cast<uint16_t>(soundFrame.samples[i]));
            sound = mix(mix(mix(sound, soundFrame.count), cpu.totalCycles), static_cast<uint32_t>(cpu.cycleCounter));
        }
        EXPECT_TRUE(picture == run.picture && sound == run.sound)
            << "new line: {From::" << std::array{"Built", "Demo", "Bench", "ThirdParty"}[static_cast<int>(run.from)] << ", \""
            << run.rom << "\", " << (run.scanline ? "Sl" : "Px") << ", " << run.frameSkip << ", " << std::boolalpha << run.cheat
            << ", 0x" << std::hex << int{run.buttons} << std::dec << ", " << run.frames << ", 0x" << std::hex << picture << ", 0x"
            << sound << std::dec << "},";
        ++ran;
    }
    if (ran == 0)
        GTEST_SKIP() << "no ROM found";
}

}  // namespace
