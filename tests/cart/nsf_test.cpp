// Music files through the console: the driver calls init with the track and region, then play at
// the header's rate in the console's time; the file's banks; and the files that cannot play.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "console/console.h"
#include "console/machine.h"
#include "cpu/cpu_state.h"
#include "support/harness.h"
#include "support/rom_runner.h"
#include "support/sound_samples.h"

namespace {

std::vector<uint8_t> musicFile(const std::string& name) { return fileBytes(builtRom(name).replace_extension(".nsf")); }

LoadResult insert(const std::vector<uint8_t>& file, std::string* lines = nullptr)
{
    resetMachine();
    std::ostringstream out;
    const LoadResult result = insertCartridge(file, out);
    if (lines != nullptr)
        *lines = out.str();
    return result;
}

uint32_t playCalls() { return peekMemory(0) | peekMemory(1) << 8; }

// tests/roms/two_songs.nsf.s: play 100 times a second, on either console; each track's note at its
// pitch (a frame's CPU cycles make its 735 or 882 samples), init given the track and the console.
// tests/roms/chip_tracks.nsf.s names all five sound chips: each track plays one chip's note.
TEST(MusicFiles, EachTrackPlaysItsNoteWithPlayCalledAtTheHeadersRate)
{
    struct Case {
        const char* file;
        Region region;
        uint32_t track;
        double waveCycles;
        int32_t playCalls;  // in a second
    };
    const Case cases[] = {
        {"two_songs", Region::Ntsc, 0, 4064, 100}, {"two_songs", Region::Ntsc, 1, 2032, 100}, {"two_songs", Region::Pal, 0, 4064, 100},
        {"chip_tracks", Region::Ntsc, 0, 4064, 0},  {"chip_tracks", Region::Ntsc, 1, 4064, 0},  // VRC6, MMC5
        {"chip_tracks", Region::Ntsc, 2, 4064, 0},  {"chip_tracks", Region::Ntsc, 3, 4096, 0},  // 5B, Namco 163
        {"chip_tracks", Region::Ntsc, 4, 4608, 0},                                             // VRC7
    };
    for (const Case& c : cases) {
        ASSERT_EQ(insert(musicFile(c.file)), LoadResult::Loaded);
        setSoundEmulated(true);
        chooseRegion(c.region);
        startMusicTrack(c.track);
        runFrames(2);
        const uint32_t callsBefore = playCalls(), cyclesBefore = cpu.totalCycles;
        std::vector<int16_t> samples;
        for (uint32_t frame = 0; frame < static_cast<uint32_t>(framesPerSecond()); ++frame) {
            runFrames(1);
            samples.insert(samples.end(), frameSamples().begin(), frameSamples().end());
        }
        EXPECT_NEAR(playCalls() - callsBefore, c.playCalls, 1) << c.file << " " << c.track;
        EXPECT_EQ(std::pair(peekMemory(2), peekMemory(3)), std::pair(static_cast<uint8_t>(c.track), uint8_t{c.region == Region::Pal}));
        const double samplesPerCycle = static_cast<double>(samples.size()) / (cpu.totalCycles - cyclesBefore);
        const Periods periods = measurePeriods(samples, 0, samples.size() / 2);  // track 2 is silenced after a second
        EXPECT_GT(periods.count, 50u) << c.file << " " << c.track;
        EXPECT_NEAR(periods.mean / samplesPerCycle, c.waveCycles, c.waveCycles * 0.003) << c.file << " " << c.track;
    }
}

// tests/roms/banked.nsf.s: init, in bank 0, switches bank 2 into 0x9000 and calls it; play is
// found in bank 1 where the header puts it.
TEST(MusicFiles, BanksSwitchThroughTheirRegisters)
{
    ASSERT_EQ(insert(musicFile("banked")), LoadResult::Loaded);
    runFrames(10);
    EXPECT_EQ(peekMemory(2), 0xA5);
    EXPECT_NEAR(playCalls(), 10, 1);
}

// Files that cannot play are refused with one line.
TEST(MusicFiles, FilesThatCannotPlayAreRefused)
{
    const std::vector<uint8_t> good = musicFile("two_songs");
    ASSERT_EQ(insert(good), LoadResult::Loaded);
    const auto with = [&good](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> file = good;
        std::ranges::copy(bytes, file.begin() + static_cast<ptrdiff_t>(at));
        return file;
    };
    const std::pair<std::vector<uint8_t>, std::string> files[] = {
        {std::vector<uint8_t>(good.begin(), good.begin() + 100), "shorter than its 128-byte header"},
        {with(6, {0}), "no tracks"},
        {with(8, {0x00, 0x70}), "below 0x8000"},
        {with(0x0A, {0x00, 0x90}), "does not reach its init or play address"},
        {with(0x0C, {0xFF, 0x80}), "does not reach its init or play address"},
        {with(0x6E, {0, 0}), "play period is 0"},
    };
    for (const auto& [file, reason] : files) {
        std::string lines;
        EXPECT_EQ(insert(file, &lines), LoadResult::Refused) << reason;
        EXPECT_NE(lines.find(reason), std::string::npos) << lines;
        EXPECT_EQ(std::ranges::count(lines, '\n'), 1) << lines;
    }
}

}  // namespace
