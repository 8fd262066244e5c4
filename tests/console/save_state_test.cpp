// Save states: exact round trips on mapper 0, MMC1 and MMC3 (scattered_writes: its scanline IRQs,
// and every sound register written at random) in both render modes, and every kind of bad state
// refused with the running game left as it was.
#include <gtest/gtest.h>

#include <functional>

#include "apu/apu_state.h"
#include "apu/sound_stream.h"
#include "console/console.h"
#include "state/state_io.h"
#include "support/cpu_harness.h"
#include "support/harness.h"
#include "support/rom_runner.h"

namespace {

struct Played {
    uint64_t frame;
    std::vector<int16_t> samples;
};

// The render mode of the run under test.
FrameSettings settings;

// Runs `frames` frames with `buttons` held, keeping every sample mixed on the way.
Played play(uint32_t frames, uint8_t buttons)
{
    Played run{};
    for (uint32_t i = 0; i < frames; ++i) {
        runFrames(1, buttons, settings);
        run.samples.insert(run.samples.end(), soundFrame.samples.begin(), soundFrame.samples.begin() + soundFrame.count);
    }
    run.frame = frameHash();
    return run;
}

bool start(const std::filesystem::path& rom, bool scanline)
{
    if (!loadRomFile(rom))
        return false;
    settings.scanlineMode = scanline;
    setSoundEmulated(true);
    return true;
}

TEST(SaveStates, LoadingAndRunningOnGivesTheFramesAndSamplesOfTheUninterruptedRun)
{
    for (const auto& rom : {builtRom("scene"), builtRom("scattered_writes"), findTestRom("mmc1-demo/hello_mmc1.nes")}) {
        if (rom.empty()) {
            std::cout << "MMC1 demo not found: its round trip is skipped\n";
            continue;
        }
        for (const bool scanline : {false, true}) {
            SCOPED_TRACE(rom.filename().string() + (scanline ? " scanline" : " pixel"));
            ASSERT_TRUE(start(rom, scanline));
            ASSERT_EQ(loadState(saveState()), StateLoad::Loaded) << "a state taken before the game wrote a register";
            play(45, 1 << ButtonRight);
            const std::vector<uint8_t> state = saveState();
            const Played straight = play(20, 1 << ButtonDown);

            // A fresh machine that has run elsewhere, then the state: every saved record replaced.
            ASSERT_TRUE(start(rom, scanline));
            play(7, 1 << ButtonLeft);
            ASSERT_EQ(loadState(state), StateLoad::Loaded);
            EXPECT_TRUE(saveState() == state) << "a field did not come back as it was saved";
            const Played resumed = play(20, 1 << ButtonDown);
            EXPECT_EQ(resumed.frame, straight.frame);
            EXPECT_EQ(resumed.samples, straight.samples);
            EXPECT_EQ(straight.samples.size(), 20u * 735);
        }
    }
}

void putU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    for (size_t i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The state with its trailing checksum made right again after an edit.
std::vector<uint8_t> resealed(std::vector<uint8_t> bytes)
{
    putU32(bytes, bytes.size() - 4, crc32(std::span(bytes).first(bytes.size() - 4)));
    return bytes;
}

size_t sectionStart(const std::vector<uint8_t>& bytes, std::string_view tag)
{
    const auto at = std::search(bytes.begin(), bytes.end(), tag.begin(), tag.end());
    return static_cast<size_t>(at - bytes.begin()) + 8;
}

TEST(SaveStates, BadStatesAreRefusedAndTheGameGoesOnUnchanged)
{
    ASSERT_TRUE(start(builtRom("scattered_writes"), false));
    play(30, 0);
    const std::vector<uint8_t> good = saveState();
    play(5, 0);
    const std::vector<uint8_t> running = saveState();

    // Each refused with its reason, the running game left as it was.
    const auto refused = [&](const std::string& what, const std::vector<uint8_t>& bytes, StateLoad expected) {
        const StateLoad result = loadState(bytes);
        EXPECT_TRUE(result == expected || (expected == StateLoad::NewerVersion && result == StateLoad::OlderVersion))
            << what << ": the state " << refusalText(result);
        EXPECT_TRUE(saveState() == running) << what << ": the running game changed";
    };
    std::vector<uint8_t> newer = good;
    putU32(newer, 8, StateFormatVersion + 1);
    refused("newer version", resealed(newer), StateLoad::NewerVersion);
    refused("empty", {}, StateLoad::NotAState);
    std::vector<uint8_t> outOfRange = good;
    putU32(outOfRange, sectionStart(good, "PAGE"), 0xFFFFFC00);  // a PRG page far outside the image
    refused("page map out of the image", resealed(outOfRange), StateLoad::Damaged);
    for (size_t at = 0; at < good.size(); at += good.size() / 97 + 1) {
        std::vector<uint8_t> flipped = good;
        flipped[at] ^= static_cast<uint8_t>(1 << at % 8);
        refused("bit flipped at " + std::to_string(at), flipped,
                at < 8 ? StateLoad::NotAState : at < 12 ? StateLoad::NewerVersion : StateLoad::Damaged);
    }
    // Cut at every section boundary (after the header, after each section, before the checksum).
    for (size_t at = 16; at + 4 < good.size();) {
        refused("cut at " + std::to_string(at), std::vector(good.begin(), good.begin() + at), StateLoad::Damaged);
        at += 8 + (good[at + 4] | good[at + 5] << 8 | good[at + 6] << 16 | uint32_t{good[at + 7]} << 24);
    }

    // The state of another game.
    ASSERT_TRUE(start(builtRom("scene"), false));
    const std::vector<uint8_t> other = saveState();
    EXPECT_EQ(loadState(good), StateLoad::OtherGame);
    EXPECT_TRUE(saveState() == other);
}

// States written by earlier versions still load and the game runs on: format 1 (before the sound
// unit took the console's rules; its sound unit is read into today's records) and format 2
// (before the picture and MMC3 rules: mmc3_split, whose IRQ registers that version did not
// decode, splits its picture once its next NMI has set them).
TEST(SaveStates, StatesOfEarlierFormatsLoad)
{
    struct Old {
        const char* rom;  // its state: tests/data/ROM-vVERSION.ss0
        uint8_t version;
        std::function<void()> check;
    };
    const Old olds[] = {
        {"scattered_writes", 1, [] { EXPECT_EQ(apu.triangle.linearCounter, 127) << "the triangle plays on"; }},
        {"mmc3_split", 2, [] {
             play(2, 0);  // a stripe at column 0 down to line 17, the backdrop from line 19
             EXPECT_NE(frameBuffer[17 * FrameWidth], 0x0F);
             EXPECT_EQ(frameBuffer[19 * FrameWidth], 0x0F);
         }},
    };
    for (const Old& old : olds) {
        ASSERT_TRUE(start(builtRom(old.rom), false));
        const std::string file = old.rom + ("-v" + std::to_string(old.version)) + ".ss0";
        const auto bytes = fileBytes(std::filesystem::path(TALLOWBY_SOURCE_DIR) / "tests/data" / file);
        ASSERT_TRUE(bytes.size() > 12 && bytes[8] == old.version) << file;
        ASSERT_EQ(loadState(bytes), StateLoad::Loaded) << file;
        EXPECT_GE(framesRun(), 30) << file;
        old.check();
        play(20, 0);
        EXPECT_EQ(loadState(saveState()), StateLoad::Loaded) << file << " is saved in today's format";
    }
}

}  // namespace
