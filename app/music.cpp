#include "app/music.h"

#include <algorithm>
#include <filesystem>
#include <iomanip>
#include <iostream>
#include <ostream>
#include <sstream>

#include "app/capture.h"
#include "app/options.h"
#include "app/run.h"
#include "app/session.h"
#include "console/console.h"

namespace {

constexpr int ExitFailure = 1;

// A frame is quiet when its samples stay within this swing.
constexpr int32_t QuietSwing = 8;
constexpr int32_t SilentSeconds = 3;
constexpr int32_t LongestTrackSeconds = 600;

bool quiet(std::span<const int16_t> samples)
{
    const auto [low, high] = std::ranges::minmax(samples);
    return high - low <= QuietSwing;
}

}  // namespace

bool startMusic(std::ostream& out)
{
    // The console is chosen by now: the driver gives init the region of the console it plays on.
    if (!options.loadStatePath.empty() || !options.saveStatePath.empty()) {
        out << "Save states are not offered for music files.\n";
        return false;
    }
    const NsfInfo& info = musicInfo();
    if (options.track == AllTracks) {
        if (!options.headless || options.wavPath.empty() || !std::filesystem::is_directory(options.wavPath)) {
            out << "Option -track all needs -headless and -wav with an existing folder.\n";
            return false;
        }
        return true;
    }
    if (options.track > static_cast<int32_t>(info.tracks)) {
        out << "There is no track " << options.track << ": the file holds " << info.tracks << ".\n";
        return false;
    }
    playTrack(options.track == 0 ? info.firstTrack + 1 : static_cast<uint32_t>(options.track));
    return true;
}

bool exportingAllTracks() { return musicFileLoaded() && options.track == AllTracks; }

int exportAllTracks(RunControl& control, const std::string& musicPath)
{
    const std::string stem = std::filesystem::path(musicPath).stem().string();
    const int64_t limit = options.frameLimit > 0 ? options.frameLimit : static_cast<int64_t>(LongestTrackSeconds * framesPerSecond());
    const int64_t silentFrames = static_cast<int64_t>(SilentSeconds * framesPerSecond());
    for (uint32_t track = 1; track <= trackCount() && emulationRunning; ++track) {
        std::ostringstream name;
        name << stem << "-" << std::setw(2) << std::setfill('0') << track << ".wav";
        const std::string path = (std::filesystem::path(options.wavPath) / name.str()).string();
        WavRecorder wav;
        if (!wav.open(path)) {
            std::cout << "Cannot write the WAV file " << path << ".\n";
            return ExitFailure;
        }
        playTrack(track);
        int64_t frames = 0, quietFrames = 0;
        while (frames < limit && quietFrames < silentFrames && emulationRunning) {
            runConsoleFrame({}, frameSettings());
            countFrame();
            const std::span<const int16_t> samples = frameSamples();
            wav.write(samples.data(), static_cast<uint32_t>(samples.size()));
            quietFrames = quiet(samples) ? quietFrames + 1 : 0;
            ++frames;
        }
        std::cout << "Track " << track << " of " << trackCount() << ": " << path << ", " << std::fixed
                  << std::setprecision(1) << static_cast<double>(frames) / framesPerSecond() << " s"
                  << (quietFrames >= silentFrames ? " (ended on silence)" : "") << ".\n";
    }
    return finishRun(control);
}

namespace {

int64_t trackStartFrame = 0;
uint32_t channelsHeard = 0;  // a bit a channel of channelLevels
ButtonState lastButtons{};

}  // namespace

uint32_t trackPlaying() { return musicTrackPlaying() + 1; }

uint32_t trackCount() { return musicInfo().tracks; }

void playTrack(uint32_t track)
{
    const uint32_t count = trackCount();
    startMusicTrack((track + count - 1) % count);
    trackStartFrame = framesRun();
    channelsHeard = 0;
}

int64_t trackSeconds() { return static_cast<int64_t>(static_cast<double>(framesRun() - trackStartFrame) / framesPerSecond()); }

bool channelHeard(uint32_t index, uint8_t level)
{
    if (level != 0)
        channelsHeard |= 1u << index;
    return (channelsHeard >> index) & 1;
}

std::string takeMusicButtons(const ControllerInput& input)
{
    const auto pressed = [&](Button button) { return input.first[button] && !lastButtons[button]; };
    std::string message;
    if (pressed(ButtonRight) || pressed(ButtonLeft) || pressed(ButtonSelect)) {
        playTrack(pressed(ButtonRight) ? trackPlaying() + 1 : pressed(ButtonLeft) ? trackPlaying() - 1 : trackPlaying());
        message = "Track " + std::to_string(trackPlaying()) + " of " + std::to_string(trackCount());
    } else if (pressed(ButtonStart)) {
        setPaused(!session.paused);
        message = session.paused ? "Paused" : "Resumed";
    }
    lastButtons = input.first;
    return message;
}
