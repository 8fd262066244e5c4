// The command line: player options and Game Genie codes.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

inline const std::string ProgramTitle = "Tallowby v0.11.5.6";

struct EmulatorOptions {
    int32_t frameSkip = 1;  // one frame in every frameSkip is rendered
    bool autoFrameSkip = true;
    bool silent = false;
    bool setKeys = false;
    bool scanlineMode = false;
    int32_t scale = 2;        // window size: each frame pixel a scale x scale block (1-6)
    bool fullScreen = false;  // start in full screen
    bool setPad = false;      // choose the gamepad inputs on the configuration screen
    std::string region = "auto";  // auto, ntsc, pal or dendy
    std::string palettePath;      // a palette file for the window and the screenshots
    int32_t rewindSeconds = -1;   // the rewind history; 0: none; -1: 60 s in the window, none headless
    int32_t track = 0;            // a music file's first track (1-based); 0: the file's own; AllTracks

    // Automation and measurement; none of them changes what a normal run does.
    bool headless = false;       // no SDL at all, frames not paced
    int32_t frameLimit = 0;      // end normally after this many frames; 0: no limit
    std::string screenshotPath;  // write the last frame as PNG at the end
    std::string wavPath;         // write every mixed sample as WAV
    bool testRom = false;        // watch the test-ROM result protocol at 0x6000
    std::string inputPath;       // scripted controller input, or a movie to play back
    std::string recordPath;      // the movie of the run, written as it goes
    bool benchmark = false;      // no pacing, no frame-skip adjustment, print the speed
    std::string loadStatePath;   // a save state loaded before the first frame
    std::string saveStatePath;   // the state written when the program ends
};

// The rewind history in the window without -rewind.
constexpr int32_t DefaultRewindSeconds = 60;

// -track all: every track of a music file, one WAV file each.
constexpr int32_t AllTracks = -1;

// Frames a -testrom run waits for a result when no -frames is given.
constexpr int32_t DefaultTestRomFrames = 3600;

inline EmulatorOptions options{};

// Prints the two banner lines and an empty line.
void printBanner(std::ostream& out);

// Reads the process arguments (args[0] is the program, args[1] the ROM file) into `options` and
// the Game Genie table `cheats`. Returns the exit code when the program must end now (the usage text, the
// help or the version was printed, or an option's value is missing), nothing when it goes on.
std::optional<int> parseCommandLine(const std::vector<std::string>& args, std::ostream& out);
