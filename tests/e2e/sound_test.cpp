// The sound of the real program: the WAV recording and the device's capture (SDL's disk driver)
// of a steady triangle note, and the start-up of sound.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <regex>
#include <vector>

#include "support/harness.h"
#include "support/process.h"

namespace {

// tests/roms/steady_note.s: the triangle (32 steps) with a period of 250 cycles, stepping exactly
// on time. A frame of C cycles is played in 735 samples, so the note sounds at 60 C / (32 x 250).
double expectedPitch(double frameCycles) { return 60 * frameCycles / (32 * 250); }

std::vector<int16_t> readSamples(const std::string& path, size_t skipBytes)
{
    std::ifstream file(path, std::ios::binary);
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    std::vector<int16_t> samples;
    for (size_t at = skipBytes; at + 1 < bytes.size(); at += 2)
        samples.push_back(static_cast<int16_t>(bytes[at] | bytes[at + 1] << 8));
    return samples;
}

// Where the wave rises through the middle of its range, within [from, to).
std::vector<size_t> risingEdges(const std::vector<int16_t>& samples, size_t from, size_t to)
{
    const auto [low, high] = std::minmax_element(samples.begin() + from, samples.begin() + to);
    const double middle = (*low + *high) / 2.0;
    std::vector<size_t> edges;
    for (size_t k = from + 1; k < to; ++k)
        if (samples[k - 1] < middle && samples[k] >= middle)
            edges.push_back(k);
    return edges;
}

// The wave periods between the edges; `regular` keeps those within 3 samples of the median and
// leaves in `irregular` how many were not: a repeated or missing stretch, or a gap, shows there.
struct Periods {
    double mean = 0;  // of the regular periods
    size_t irregular = 0;
};

Periods measurePeriods(const std::vector<size_t>& edges)
{
    std::vector<double> periods;
    for (size_t k = 1; k < edges.size(); ++k)
        periods.push_back(static_cast<double>(edges[k] - edges[k - 1]));
    std::vector<double> sorted = periods;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double median = sorted[sorted.size() / 2];
    Periods result;
    double sum = 0;
    for (const double period : periods) {
        if (std::abs(period - median) > 3) {
            ++result.irregular;
        } else {
            sum += period;
        }
    }
    result.mean = sum / static_cast<double>(periods.size() - result.irregular);
    return result;
}

TEST(Sound, AWavOf600FramesHolds441000SamplesAtTheRightPitch)
{
    const TempFile folder({}, "unused");
    for (const auto& [mode, frameCycles] : {std::pair{"-scanline", 29982.0}, std::pair{"", 30222.0}}) {
        const std::string wav = (folder.folder() / "note.wav").string();
        std::vector<std::string> args{tallowbyBinary().string(), builtRom("steady_note").string(), "-headless",
                                      "-frames", "600", "-wav", wav};
        if (*mode)
            args.push_back(mode);
        const ProcessResult result = runProcess(args, {}, 60s);
        ASSERT_EQ(result.exitCode, 0) << result.output;
        const std::vector<int16_t> samples = readSamples(wav, 44);
        ASSERT_EQ(samples.size(), 441000u) << mode;
        const std::vector<size_t> edges = risingEdges(samples, 735, samples.size());
        ASSERT_GT(edges.size(), 100u);
        const Periods periods = measurePeriods(edges);
        EXPECT_NEAR(44100 / periods.mean, expectedPitch(frameCycles), expectedPitch(frameCycles) * 0.003) << mode;
        EXPECT_EQ(periods.irregular, 0u) << mode;
    }
}

// Ten seconds through SDL's disk driver, which takes samples at a device's pace. The program
// reports on standard error how many underruns and overruns there were and how fast the device
// took its samples. Every glitch in the capture must be one it counted; and when the device kept
// time well enough for the rate control to follow it (within 0.4%), there must be none, and the
// note must sound at its pitch on that device. A heavily loaded computer paces the disk driver
// far off (its waits run late): then only the first part can be checked.
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
    const int underruns = std::stoi(report[1]), overruns = std::stoi(report[2]);
    const double deviceRate = std::stod(report[3]);

    // SDL may hand the device two identical channels.
    std::vector<int16_t> samples = readSamples(capture, 0);
    bool stereo = samples.size() % 2 == 0;
    for (size_t k = 0; stereo && k + 1 < samples.size(); k += 2)
        stereo = samples[k] == samples[k + 1];
    if (stereo)
        for (size_t k = 0; k < samples.size() / 2; ++k)
            samples[k] = samples[2 * k];
    samples.resize(stereo ? samples.size() / 2 : samples.size());

    // From half a second after the sound begins to its end.
    const auto sounding = [](int16_t s) { return s != 0; };
    const size_t begin = static_cast<size_t>(std::find_if(samples.begin(), samples.end(), sounding) - samples.begin());
    const size_t end = samples.size() - static_cast<size_t>(std::find_if(samples.rbegin(), samples.rend(), sounding) -
                                                            samples.rbegin());
    ASSERT_GT(end, begin + 5 * 44100) << "at least five seconds of sound";
    const std::vector<size_t> edges = risingEdges(samples, begin + 22050, end);
    ASSERT_GT(edges.size(), 1000u);
    size_t gaps = 0;  // silences of an underrun: the triangle itself is at 0 for a few samples only
    for (size_t k = begin + 22050, run = 0; k < end; ++k) {
        run = samples[k] == 0 ? run + 1 : 0;
        gaps += run == 64;
    }
    const Periods periods = measurePeriods(edges);
    const double heardPitch = deviceRate / periods.mean;
    const std::string figures = "device " + std::to_string(deviceRate) + " samples/s, " + std::to_string(underruns) +
                                " underruns, " + std::to_string(overruns) + " overruns, pitch heard " +
                                std::to_string(heardPitch) + " Hz";
    EXPECT_LE(periods.irregular + gaps, 3u * (underruns + overruns)) << figures;
    // In the capture itself the note is the stream's, changed by the rate control's 0.5% at most.
    EXPECT_NEAR(44100 / periods.mean, expectedPitch(29982), expectedPitch(29982) * 0.008) << figures;

    if (std::abs(deviceRate / 44100 - 1) > 0.004)
        GTEST_SKIP() << "the disk driver did not keep a device's time (" << figures << ")";
    EXPECT_EQ(underruns + overruns, 0) << figures;
    EXPECT_EQ(gaps, 0u) << figures;
    EXPECT_NEAR(heardPitch, expectedPitch(29982), expectedPitch(29982) * 0.003) << figures;
}

TEST(Sound, TheNoSoundLineOnlyWhenSoundItselfCannotStart)
{
    const Workspace workspace;
    const std::string noSound = "No sound device could be opened: running without sound.\n";
    const std::string rom = builtRom("steady_note").string();
    const struct {
        std::vector<std::string> environment;
        bool silent;
        std::string lines;
    } cases[] = {
        {{"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=nosuchdriver"}, false,
         "Initializing SDL... OK!\n" + noSound + "Creating SDL screen context... OK!\n"},
        {{"SDL_VIDEODRIVER=dummy", "SDL_AUDIODRIVER=nosuchdriver"}, true,
         "Initializing SDL... OK!\nCreating SDL screen context... OK!\n"},
        {{"SDL_VIDEODRIVER=nosuchdriver", "SDL_AUDIODRIVER=dummy"}, false, "Initializing SDL... failed!\n"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{tallowbyBinary().string(), rom, "-frames", "5"};
        if (c.silent)
            args.push_back("-silent");
        const ProcessResult result = runProcess(args, c.environment, 20s, workspace.folder());
        EXPECT_NE(result.output.find(c.lines), std::string::npos) << result.output;
        EXPECT_EQ(result.output.find(noSound) != std::string::npos, c.lines.find(noSound) != std::string::npos)
            << result.output;
    }
}

}  // namespace
