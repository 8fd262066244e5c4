// The sound of the real program. The sound unit's rules: each tests/roms/sound_*.s ROM plays its
// cases one after another, each in a phase that begins right after the NMI of a known frame, and
// each check measures a stretch of the WAV recording (`-wav`) within a phase. The ROMs that count
// IRQs and read $4015 report through the test-ROM protocol at $6000 (`-testrom`). Then the capture
// of SDL's disk driver of a steady triangle note, the start-up of sound, and a PAL console's pace.
// Music files: every track exported headless, and their keys in the window. (A track that is not
// there: tests/e2e/automation_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <numeric>
#include <ostream>
#include <regex>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "support/harness.h"
#include "support/process.h"
#include "support/sound_samples.h"

namespace {

// What one level of a channel adds to an output sample: 256 for a square or the triangle.
constexpr double Level = 256;
constexpr double NoiseLevel = 0.35 * Level;
constexpr double SampleLevel = 0.45 * Level;  // the sample channel's output level

enum class Measure {
    PeakToPeak,  // the highest sample less the lowest
    Wave,        // the mean wave period, in CPU cycles
    Rise,        // CPU cycles from the first sample 10% of the way from the lowest to the highest to the first 90%
};

struct Check {
    std::string what;
    int frame;            // the phase begins right after this frame's NMI (0 for the first)
    double fromMs, toMs;  // the stretch, from the start of the phase
    Measure measure;
    double expected;
    double tolerance;  // absolute for PeakToPeak, relative for Wave and Rise
};

struct RomRun {
    std::string name;
    std::string rom;
    int frames;
    std::string text;  // a pattern the -testrom text must match; empty: no -testrom
    std::vector<Check> checks;
};

void PrintTo(const RomRun& run, std::ostream* out) { *out << run.rom; }

// A frame of C cycles is played in 735 samples. The NMI comes after the 240 visible lines, 671
// samples into a frame in either mode; the ROM's handler and first writes take about one more.
// With -scanline a frame has 29982 CPU cycles instead of 30222.
double samplesPerCycle(bool scanline) { return 735.0 / (scanline ? 29982 : 30222); }
size_t sampleAt(const Check& check, double ms) { return static_cast<size_t>(735 * check.frame + 672 + ms * 44.1); }

double measure(bool scanline, const Check& check, const std::vector<int16_t>& samples)
{
    const size_t from = sampleAt(check, check.fromMs), to = sampleAt(check, check.toMs);
    EXPECT_LE(to, samples.size()) << "the recording is too short";
    if (to > samples.size())
        return NAN;
    const auto begin = samples.begin() + static_cast<ptrdiff_t>(from);
    const auto end = samples.begin() + static_cast<ptrdiff_t>(to);
    const auto [low, high] = std::minmax_element(begin, end);
    switch (check.measure) {
    case Measure::PeakToPeak:
        return *high - *low;
    case Measure::Wave: {
        const Periods periods = measurePeriods(samples, from, to);
        EXPECT_GE(periods.count, 3u);
        EXPECT_EQ(periods.irregular, 0u) << "waves of another length";
        return periods.mean / samplesPerCycle(scanline);
    }
    case Measure::Rise: {
        const auto reach = [&](double fraction) {
            return std::find_if(begin, end, [&](int16_t s) { return s >= *low + fraction * (*high - *low); });
        };
        return static_cast<double>(reach(0.9) - reach(0.1)) / samplesPerCycle(scanline);
    }
    }
    return NAN;
}

const std::vector<RomRun> runs = {
    {"Volume", "sound_volume", 185, "", {
        {"square 1 at $30 (constant volume 0) is silent", 0, 20, 480, Measure::PeakToPeak, 0, 0},
        {"square 1 at $34 plays at level 4", 30, 20, 480, Measure::PeakToPeak, 4 * Level, 4},
        {"square 2 at $34 plays at level 4", 90, 20, 480, Measure::PeakToPeak, 4 * Level, 4},
        {"the noise at $3F plays at level 15", 120, 20, 480, Measure::PeakToPeak, 15 * NoiseLevel, 4},
        {"the noise at $30 is silent", 150, 20, 480, Measure::PeakToPeak, 0, 0},
    }},
    {"LengthCounters", "sound_length", 335, "", {
        {"a halted note still sounds after 2 s", 0, 2000, 2400, Measure::PeakToPeak, 15 * Level, 4},
        {"length 10 sounds at first", 150, 5, 50, Measure::PeakToPeak, 15 * Level, 4},
        {"length 10 ends after 10/120 s", 150, 150, 480, Measure::PeakToPeak, 0, 0},
        {"length 60 (index 10) sounds for almost 0.5 s", 180, 50, 450, Measure::PeakToPeak, 15 * Level, 4},
        {"length 60 ends after 0.5 s", 180, 560, 980, Measure::PeakToPeak, 0, 0},
        {"a halted note sounds until its channel is disabled", 240, 20, 230, Measure::PeakToPeak, 15 * Level, 4},
        {"disabling cleared the length: enabled again, it stays silent", 240, 270, 480, Measure::PeakToPeak, 0, 0},
        {"a length written while the channel is disabled is not loaded", 270, 20, 480, Measure::PeakToPeak, 0, 0},
        {"the noise with length 20 sounds at first", 300, 20, 140, Measure::PeakToPeak, 15 * NoiseLevel, 4},
        {"the noise with length 20 ends after 1/6 s", 300, 200, 480, Measure::PeakToPeak, 0, 0},
    }},
    // Level 15 from the first quarter frame after the write (within 4.2 ms), then one level less
    // each quarter frame (every 4.17 ms): level 13-14 at 10 ms, 3-4 at 50 ms.
    {"Envelopes", "sound_envelope", 95, "", {
        {"the envelope is at level 13-14 after 10 ms", 0, 10, 12, Measure::PeakToPeak, 13.5 * Level, 0.5 * Level + 4},
        {"the envelope is at level 3-4 after 50 ms", 0, 50, 52, Measure::PeakToPeak, 3.5 * Level, 0.5 * Level + 4},
        {"the envelope holds 0 after 16 quarter frames", 0, 80, 480, Measure::PeakToPeak, 0, 0},
        {"a looping envelope starts again from 15: level 12-13 after 80 ms", 30, 80, 82, Measure::PeakToPeak,
         12.5 * Level, 0.5 * Level + 4},
        {"a looping envelope keeps coming back to 15", 30, 200, 480, Measure::PeakToPeak, 15 * Level, 4},
        {"the noise's envelope with divider period 3 is at level 6-7 after 150 ms", 60, 150, 160, Measure::PeakToPeak,
         6.5 * NoiseLevel, 0.5 * NoiseLevel + 4},
        {"the noise's envelope holds 0 after 64 quarter frames", 60, 270, 480, Measure::PeakToPeak, 0, 0},
    }},
    {"Triangle", "sound_triangle", 95, "", {
        {"linear counter 10 with control 0: the triangle sounds", 0, 10, 35, Measure::PeakToPeak, 15 * Level, 4},
        {"after about 10 quarter frames it holds its level", 0, 60, 480, Measure::PeakToPeak, 0, 0},
        {"with control 1 it plays on", 30, 100, 480, Measure::PeakToPeak, 15 * Level, 4},
        {"length 20 with linear counter 127: it sounds", 60, 20, 140, Measure::PeakToPeak, 15 * Level, 4},
        {"the length counter stops it after 1/6 s", 60, 190, 480, Measure::PeakToPeak, 0, 0},
    }},
    // A sweep with divider period 7 moves the period at the first half frame after $4017 is
    // written (8.3 ms) and every 8 half frames (66.7 ms) after that. A square's wave is 16 (t + 1) cycles.
    {"Sweeps", "sound_sweep", 185, "", {
        {"adding: period 256 becomes 384", 0, 12, 70, Measure::Wave, 16 * 385, 0.01},
        {"adding: then 576", 0, 80, 138, Measure::Wave, 16 * 577, 0.01},
        {"at 1944 the target is past $7FF: muted", 0, 290, 480, Measure::PeakToPeak, 0, 0},
        {"subtracting on square 2: period 1024 becomes 512", 30, 12, 70, Measure::Wave, 16 * 513, 0.01},
        {"subtracting on square 2: then 256", 30, 80, 138, Measure::Wave, 16 * 257, 0.01},
        {"a target past $7FF mutes with the sweep disabled", 60, 20, 480, Measure::PeakToPeak, 0, 0},
        {"the same period with a lower target sounds", 90, 20, 480, Measure::PeakToPeak, 15 * Level, 4},
        {"period 7 is silent", 120, 20, 480, Measure::PeakToPeak, 0, 0},
        {"period 8 sounds", 150, 20, 480, Measure::PeakToPeak, 15 * Level, 4},
    }},
    {"SampleChannel", "sound_dmc", 400,
     R"(IRQs with IRQ 01, without 00, looping 00; \$4015 looping 10, stopped 00, ended 80, read again 80, )"
     R"(after a write 00\n)", {
        {"$4011 sets the output level", 30, -100, 100, Measure::PeakToPeak, 64 * SampleLevel, 4},
        {"$FF bytes move the level up by 2 a bit, to 126", 60, -100, 200, Measure::PeakToPeak, 126 * SampleLevel, 6},
        {"at rate 0, 428 cycles a bit: 50 bits from 10% to 90%", 60, 2, 100, Measure::Rise, 50 * 428, 0.01},
        {"looping $0F bytes: 4 bits up, 4 down", 90, 100, 480, Measure::PeakToPeak, 8 * SampleLevel, 4},
        {"a wave of 8 bits at rate 8, 190 cycles a bit", 90, 100, 480, Measure::Wave, 8 * 190, 0.005},
        {"the loop goes on", 120, 100, 230, Measure::PeakToPeak, 8 * SampleLevel, 4},
        {"$4015 bit 4 = 0 stops it", 120, 300, 480, Measure::PeakToPeak, 0, 0},
        {"without loop the 17 bytes play", 150, 2, 10, Measure::PeakToPeak, 8 * SampleLevel, 4},
        {"without loop they play once", 150, 40, 480, Measure::PeakToPeak, 0, 0},
    }},
    // 58 to 63 ($3A-$3F) frame IRQs in 60 frames: one every 4 x 7458 cycles.
    {"FrameIrq", "sound_frame_irq", 600,
     "flag at power-on 40, read again 00, after bit 6 00; IRQs 4-step 3[A-F], inhibited 00, 5-step 00, "
     "rewritten 00; length after 0, 1, 2 clocks 01 01 00\n", {}},
    // Busy code beside steady notes: the pitch is the formula's, 60 C / wave, within 0.1%.
    {"Pitch", "sound_pitch", 182, "", {
        {"the square's wave is 16 x 510 cycles", 0, 20, 1480, Measure::Wave, 16 * 510, 0.001},
        {"the triangle's wave is 32 x 252 cycles", 90, 20, 1480, Measure::Wave, 32 * 252, 0.001},
    }},
};

class SoundRom : public testing::TestWithParam<RomRun> {};

// Each ROM in both render modes: the sound does not depend on how the picture is drawn.
TEST_P(SoundRom, FollowsTheRules)
{
    const RomRun& run = GetParam();
    const TempFile folder({}, "unused");
    const std::string wav = (folder.folder() / "sound.wav").string();
    for (const bool scanline : {false, true}) {
        std::vector<std::string> args = {tallowbyBinary().string(), builtRom(run.rom).string(), "-headless",
                                         "-frames", std::to_string(run.frames), "-wav", wav};
        if (scanline)
            args.push_back("-scanline");
        if (!run.text.empty())
            args.push_back("-testrom");
        const ProcessResult result = runProcess(args);
        ASSERT_EQ(result.exitCode, 0) << result.output;
        if (!run.text.empty()) {
            EXPECT_TRUE(std::regex_search(result.output, std::regex(run.text + "$"))) << result.output;
        }

        const std::vector<int16_t> samples = readSamples(wav, 44);
        EXPECT_TRUE(!run.text.empty() || samples.size() == 735u * run.frames) << "735 samples a frame";
        for (const Check& check : run.checks) {
            const double value = measure(scanline, check, samples);
            const double allowed =
                check.measure == Measure::PeakToPeak ? check.tolerance : check.tolerance * check.expected;
            EXPECT_NEAR(value, check.expected, allowed) << check.what << (scanline ? " (-scanline)" : "");
        }
    }
}

INSTANTIATE_TEST_SUITE_P(SoundRules, SoundRom, testing::ValuesIn(runs),
                         [](const testing::TestParamInfo<RomRun>& info) { return info.param.name; });

// tests/roms/chip_notes.s on each sound chip's board: the chip's note (from frame 2 to frame 62),
// then the console's pulse at volume 15 at about the same pitch. The note's wave has the length its
// period gives, and its loudness (RMS) over the pulse's is the chip's level: a square as loud as
// the pulse on the VRC6 and the MMC5, and the levels measured from the chips' test programs for
// the others (the 5B at volume 12, one Namco 163 channel, a VRC7 pseudo-square).
TEST(Sound, EachSoundChipPlaysItsNoteAtItsPitchAndLevel)
{
    const std::tuple<const char*, uint16_t, double, double> chips[] = {  // name, mapper, a wave of its note in cycles, level
        {"VRC6", 24, 4064, 1.0}, {"MMC5", 5, 4064, 1.0}, {"Sunsoft 5B", 69, 4064, 0.85}, {"Namco 163", 19, 4096, 1.63},
        {"VRC7", 85, 4608, 4.2}};
    const auto rms = [](const std::vector<int16_t>& samples, double fromMs, double toMs) {
        const auto begin = samples.begin() + static_cast<ptrdiff_t>(fromMs * 44.1);
        const auto end = samples.begin() + static_cast<ptrdiff_t>(toMs * 44.1);
        const double mean = std::accumulate(begin, end, 0.0) / static_cast<double>(end - begin);
        const double squares = std::accumulate(begin, end, 0.0, [mean](double sum, int16_t s) { return sum + (s - mean) * (s - mean); });
        return std::sqrt(squares / static_cast<double>(end - begin));
    };
    for (uint8_t k = 0; k < std::size(chips); ++k) {
        const auto& [name, mapper, cycles, level] = chips[k];
        const TempFile rom(builtRomFor("chip_notes", mapper, k), "chip.nes");
        const std::filesystem::path wav = rom.folder() / "chip.wav";
        const ProcessResult result =
            runProcess({tallowbyBinary().string(), rom.path(), "-headless", "-frames", "120", "-wav", wav.string()});
        ASSERT_EQ(result.exitCode, 0) << result.output;
        const std::vector<int16_t> samples = readSamples(wav, 44);
        ASSERT_EQ(samples.size(), 120u * 735);
        const Check wave{name, 0, 200, 900, Measure::Wave, cycles, 0.003};
        EXPECT_NEAR(measure(false, wave, samples), cycles, cycles * 0.003) << name;
        EXPECT_NEAR(rms(samples, 200, 900) / rms(samples, 1300, 1900), level, level * 0.03) << name;
    }
}

// tests/roms/steady_note.s: the triangle (32 steps) with a period of 250 cycles. A frame of C
// cycles is played in 735 samples, so the note sounds at 60 C / (32 x 250).
double expectedPitch(double frameCycles) { return 60 * frameCycles / (32 * 250); }

// Ten seconds through SDL's disk driver, which takes samples at a device's pace. The program
// reports on standard error the underruns and overruns and how fast the device took samples.
// Every glitch in the capture must be one it counted, and the note is the stream's, changed by
// the rate control's 0.5% at most. When the device kept time well enough for the rate control to
// follow it (within 0.4%), there must be no glitch and the note must sound at its pitch on that
// device. On a heavily loaded computer the disk driver's waits run late, far off a device's time:
// then only the first part is checked.
TEST(Sound, TenSecondsThroughTheDeviceHaveNoGlitchAndTheRightPitch)
{
    const Workspace workspace;
    const std::string capture = (workspace.folder() / "capture.raw").string();
    const ProcessResult result = runProcess(
        {"/bin/sh", "-c", "exec \"$0\" \"$1\" -scanline -frames 600 2>&1", tallowbyBinary().string(),
         builtRom("steady_note").string()},
        {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=disk", "SDL_DISKAUDIOFILE=" + capture}, 60s, workspace.folder());
    ASSERT_EQ(result.exitCode, 0) << result.output;
    std::smatch report;
    ASSERT_TRUE(std::regex_search(result.output, report,
                                  std::regex(R"(Sound: (\d+) underruns, (\d+) overruns; the device took (\d+) samples)")))
        << result.output;
    const int glitches = std::stoi(report[1]) + std::stoi(report[2]);
    const double deviceRate = std::stod(report[3]);

    const std::vector<int16_t> whole = readSamples(capture, 0);
    bool stereo = whole.size() % 2 == 0;
    for (size_t k = 0; stereo && k + 1 < whole.size(); k += 2)
        stereo = whole[k] == whole[k + 1];
    const std::vector<int16_t> samples = stereo ? readSamples(capture, 0, true) : whole;
    // From half a second after the sound begins to its end.
    const auto sounding = [](int16_t s) { return s != 0; };
    const size_t begin = static_cast<size_t>(std::find_if(samples.begin(), samples.end(), sounding) - samples.begin());
    const size_t end = samples.size() - static_cast<size_t>(std::find_if(samples.rbegin(), samples.rend(), sounding) -
                                                            samples.rbegin());
    ASSERT_GT(end, begin + 5 * 44100) << "at least five seconds of sound";
    size_t gaps = 0;  // silences of an underrun: the triangle itself is at 0 for a few samples only
    for (size_t k = begin + 22050, run = 0; k < end; ++k) {
        run = samples[k] == 0 ? run + 1 : 0;
        gaps += run == 64;
    }
    const Periods periods = measurePeriods(samples, begin + 22050, end);
    EXPECT_GT(periods.count, 100u);
    const std::string figures = "device " + std::to_string(deviceRate) + " samples/s, " + std::to_string(glitches) +
                                " underruns and overruns, note heard at " + std::to_string(deviceRate / periods.mean);
    EXPECT_LE(periods.irregular + gaps, 3u * glitches) << figures;
    EXPECT_NEAR(44100 / periods.mean, expectedPitch(29982), expectedPitch(29982) * 0.008) << figures;

    if (std::abs(deviceRate / 44100 - 1) > 0.004)
        GTEST_SKIP() << "the disk driver did not keep a device's time (" << figures << ")";
    EXPECT_EQ(glitches + gaps, 0u) << figures;
    EXPECT_NEAR(deviceRate / periods.mean, expectedPitch(29982), expectedPitch(29982) * 0.003) << figures;
}

// The whole output of a start: the banner, SDL's lines, the no-sound line only when sound itself
// cannot start, and the loader's lines.
TEST(Sound, TheNoSoundLineOnlyWhenSoundItselfCannotStart)
{
    const Workspace workspace;
    const std::string rom = builtRom("steady_note").string();
    const std::string banner = "Tallowby v0.11.5.6 - free software, provided without warranty\n"
                               "[A Nintendo Entertainment System (NES) emulator]\n\nInitializing SDL... ";
    const std::string noSound = "No sound device could be opened: running without sound.\n";
    const std::string game = "Creating SDL screen context... OK!\nLoading ROM: " + rom +
                             "\nMapper: 0 (NROM), 32 KB PRG, 8 KB CHR, 8 KB RAM, NTSC\nLoaded 32 KB PRG, 8 KB CHR.\n";
    const std::array<std::string, 4> cases[] = {  // video driver, audio driver, option, output
        {"dummy", "nosuchdriver", "-scanline", banner + "OK!\n" + noSound + game},
        {"dummy", "nosuchdriver", "-silent", banner + "OK!\n" + game},
        {"nosuchdriver", "dummy", "-scanline", banner + "failed!\n"},
    };
    for (const auto& [videoDriver, audioDriver, option, output] : cases) {
        const ProcessResult result = runProcess({tallowbyBinary().string(), rom, "-frames", "5", option},
                                                {"SDL_VIDEODRIVER=" + videoDriver, "SDL_AUDIODRIVER=" + audioDriver},
                                                20s, workspace.folder());
        EXPECT_EQ(result.output, output);
        EXPECT_EQ(result.exitCode, videoDriver == "dummy" ? 0 : 1) << "a window that cannot be opened fails the run";
    }
}

// A PAL console, chosen by the file name's "(E)", plays 50 frames a second when paced by the frame
// loop. (Its 882 samples a frame: tests/console/scheduler_test.cpp.)
TEST(Sound, APalConsolePlaysFiftyFramesASecond)
{
    const Workspace workspace;
    const std::string rom = (workspace.folder() / "scene (E).nes").string();
    std::filesystem::copy_file(builtRom("scene"), rom);
    const auto start = std::chrono::steady_clock::now();
    const ProcessResult paced = runProcess({tallowbyBinary().string(), rom, "-frames", "100", "-silent"},
                                           {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, 30s, workspace.folder());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(paced.exitCode, 0) << paced.output;
    EXPECT_NE(paced.output.find("Console: PAL, 50 frames a second.\n"), std::string::npos) << paced.output;
    EXPECT_GT(seconds, 1.95) << "100 frames at 50 a second";
    EXPECT_LT(seconds, 3.0);
}

// -track all writes NAME-01.wav, NAME-02.wav: the first track runs its -frames, the second ends
// three seconds after its note stops (at one second).
TEST(Music, EveryTrackIsExportedAndEndsOnSilence)
{
    const Workspace workspace;
    const std::filesystem::path folder = workspace.folder() / "tracks";
    std::filesystem::create_directory(folder);
    const ProcessResult result = runProcess({tallowbyBinary().string(), builtRom("two_songs").replace_extension(".nsf").string(),
                                             "-headless", "-track", "all", "-frames", "600", "-wav", folder.string() + "/"});
    ASSERT_EQ(result.exitCode, 0) << result.output;
    EXPECT_EQ(readSamples(folder / "two_songs-01.wav", 44).size(), 600u * 735);
    const size_t second = readSamples(folder / "two_songs-02.wav", 44).size();
    EXPECT_NEAR(static_cast<double>(second) / 44100, 4.0, 0.1);
    EXPECT_NE(result.output.find("Track 2 of 2: "), std::string::npos) << result.output;
    EXPECT_FALSE(std::filesystem::exists(folder / "two_songs-03.wav"));
}

// In the window, through the key map: right and left change the track, start pauses, and the
// state keys say that music files have none.
TEST_F(WindowTest, MusicFileKeysChangeTheTrackAndPause)
{
    const Workspace keys;
    start({tallowbyBinary().string(), builtRom("two_songs").replace_extension(".nsf").string()}, keys.folder(), "2 tracks.");
    ASSERT_FALSE(window_.empty());
    for (const char* key : {"Right", "Right", "Left", "Return", "F5"}) {
        xdotool({"keydown", key});
        std::this_thread::sleep_for(100ms);  // held for a few frames: the player looks after each
        xdotool({"keyup", key});
    }
    EXPECT_TRUE(program_->waitForOutput(
        "Track 2 of 2\nTrack 1 of 2\nTrack 2 of 2\nPaused\nSave states are not offered for music files\n", 10s))
        << program_->output();
    EXPECT_EQ(stop().exitCode, 0);
}

}  // namespace
