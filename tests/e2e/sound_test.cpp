// The sound of the real program through a device: the capture of SDL's disk driver of a steady
// triangle note, and the start-up of sound. (The WAV recording: sound_rules_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <regex>
#include <vector>

#include "support/harness.h"
#include "support/process.h"
#include "support/sound_samples.h"

namespace {

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

TEST(Sound, TheNoSoundLineOnlyWhenSoundItselfCannotStart)
{
    const Workspace workspace;
    const std::string noSound = "No sound device could be opened: running without sound.\n";
    const std::string video = "Creating SDL screen context... OK!\n";
    const std::array<std::string, 4> cases[] = {  // video driver, audio driver, option, lines
        {"dummy", "nosuchdriver", "-scanline", "Initializing SDL... OK!\n" + noSound + video},
        {"dummy", "nosuchdriver", "-silent", "Initializing SDL... OK!\n" + video},
        {"nosuchdriver", "dummy", "-scanline", "Initializing SDL... failed!\n"},
    };
    for (const auto& [videoDriver, audioDriver, option, lines] : cases) {
        const ProcessResult result =
            runProcess({tallowbyBinary().string(), builtRom("steady_note").string(), "-frames", "5", option},
                       {"SDL_VIDEODRIVER=" + videoDriver, "SDL_AUDIODRIVER=" + audioDriver}, 20s, workspace.folder());
        EXPECT_NE(result.output.find(lines), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find(noSound) != std::string::npos, lines.find(noSound) != std::string::npos);
    }
}

// A PAL console, chosen by the file name's "(E)": 882 samples a frame, and 50 frames a second when
// paced by the frame loop.
TEST(Sound, APalConsolePlaysFiftyFramesASecond)
{
    const Workspace workspace;
    const std::string rom = (workspace.folder() / "scene (E).nes").string();
    const std::string wav = (workspace.folder() / "pal.wav").string();
    std::filesystem::copy_file(builtRom("scene"), rom);
    const ProcessResult unpaced = runProcess({tallowbyBinary().string(), rom, "-headless", "-frames", "100", "-wav", wav});
    EXPECT_NE(unpaced.output.find("Console: PAL, 50 frames a second.\n"), std::string::npos) << unpaced.output;
    EXPECT_EQ(readSamples(wav, 44).size(), 88200u);

    const auto start = std::chrono::steady_clock::now();
    const ProcessResult paced = runProcess({tallowbyBinary().string(), rom, "-frames", "100", "-silent"},
                                           {"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=dummy"}, 30s, workspace.folder());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(paced.exitCode, 0) << paced.output;
    EXPECT_GT(seconds, 1.95) << "100 frames at 50 a second";
    EXPECT_LT(seconds, 3.0);
}

}  // namespace
