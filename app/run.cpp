#include "app/run.h"

#include <algorithm>
#include <csignal>
#include <iomanip>
#include <iostream>
#include <vector>

#include "app/file_io.h"
#include "app/gamepad.h"
#include "app/keymap.h"
#include "app/movie.h"
#include "app/options.h"
#include "app/palette_file.h"
#include "app/sound_fifo.h"
#include "app/state_files.h"
#include "console/rewind.h"

namespace {

constexpr int ExitResetRequested = 3;
constexpr int ExitNoResult = 4;
// Far more than a script for hours of play; an endless or binary file is refused long before.
constexpr size_t MaxInputScriptBytes = 16 * 1024 * 1024;

extern "C" void stopOnSignal(int) { emulationRunning = false; }

int64_t frameLimit()
{
    if (options.frameLimit > 0)
        return options.frameLimit;
    return options.testRom ? DefaultTestRomFrames : 0;
}

void endWith(RunControl& control, int exitCode)
{
    control.exitCode = exitCode;
    emulationRunning = false;
}

// Reads and parses the -input script: a regular text file of sane size. Prints a line when not.
bool readInputScript(const std::string& path, InputScript& script)
{
    std::vector<uint8_t> bytes;
    switch (readRegularFile(path, MaxInputScriptBytes, bytes)) {
    case FileRead::Ok:
        break;
    case FileRead::NotRegular:
        std::cout << "The input script " << path << " is not a file: a folder, FIFO, device or socket.\n";
        return false;
    case FileRead::TooLarge:
        std::cout << "The input script " << path << " is larger than " << MaxInputScriptBytes << " bytes.\n";
        return false;
    case FileRead::Missing:
    case FileRead::Unreadable:
        std::cout << "Cannot read the input script " << path << ".\n";
        return false;
    }
    const auto binary = std::find_if(bytes.begin(), bytes.end(), [](uint8_t c) {
        return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F;
    });
    if (binary != bytes.end()) {
        std::cout << "The input script " << path << " is not text: it holds the byte " << int{*binary} << ".\n";
        return false;
    }
    std::string error;
    auto parsed = parseInputScript(std::string(bytes.begin(), bytes.end()), error);
    if (!parsed) {
        std::cout << "Input script " << path << ", " << error << "\n";
        return false;
    }
    script = std::move(*parsed);
    return true;
}

// Checks at start that a file can be written at `path` at the end. Prints a line when not.
bool checkOutputPath(const std::string& path)
{
    switch (checkWritableFile(path)) {
    case FileWrite::Ok: return true;
    case FileWrite::NoFolder: std::cout << "Cannot write " << path << ": its folder does not exist.\n"; break;
    case FileWrite::NotWritable: std::cout << "Cannot write " << path << ": its folder is not writable.\n"; break;
    case FileWrite::NotRegular:
        std::cout << "Cannot write " << path << ": it is a folder, FIFO, device or socket.\n";
        break;
    }
    return false;
}

void checkTestRom(RunControl& control)
{
    const auto result = readTestRomResult();
    if (!result)
        return;
    if (result->status == TestRomResetRequest) {
        std::cout << "The test ROM asks for the reset button, which Tallowby does not have.\n";
        endWith(control, ExitResetRequested);
        return;
    }
    std::cout << result->text << (result->text.empty() || result->text.back() == '\n' ? "" : "\n");
    endWith(control, result->status);
}

}  // namespace

void resetHostState()
{
    options = EmulatorOptions{};
    keyMap.fill(NoKey);
    keyButtons.fill(0);
    turboKeys.fill(NoKey);
    turboKeysHeld.fill(0);
    scriptedButtons.fill(0);
    scriptedSecondButtons.fill(0);
    resetGamepads();
    emulationRunning = false;
}

ControllerInput heldButtons()
{
    ControllerInput input;
    for (uint32_t i = 0; i < ButtonCount; ++i)
        input.first[i] = keyButtons[i] | scriptedButtons[i] | padButtons[0][i];
    for (uint32_t i = 0; i < ButtonCount; ++i)
        input.second[i] = scriptedSecondButtons[i] | padButtons[1][i];
    // Turbo: while its key or pad input is held, A or B is pressed on two frames, released on two.
    if (framesRun() % 4 < 2) {
        for (uint32_t k = 0; k < 2; ++k) {
            const Button button = k == 0 ? ButtonA : ButtonB;
            input.first[button] |= turboKeysHeld[k] | padTurbo[0][k];
            input.second[button] |= padTurbo[1][k];
        }
    }
    return input;
}

FrameSettings frameSettings() { return {options.frameSkip, options.scanlineMode}; }

bool prepareRun(RunControl& control)
{
    forgetPaletteFile();
    if (!options.palettePath.empty()) {
        if (const std::string error = loadPaletteFile(options.palettePath); !error.empty()) {
            std::cout << error << "\n";
            return false;
        }
    }
    if (!options.inputPath.empty() && !readInputScript(options.inputPath, control.script))
        return false;
    const bool wavFolder = options.track == AllTracks;  // the music file's tracks go there: checked once it has loaded
    for (const std::string* path : {&options.screenshotPath, &options.wavPath, &options.recordPath})
        if (!path->empty() && !(path == &options.wavPath && wavFolder) && !checkOutputPath(*path))
            return false;
    if (control.script.secondController)
        plugSecondController(true);
    applyInputScript(control.script, 0);
    return true;
}

bool startRecording(RunControl& control)
{
    if (control.script.romChecksum && *control.script.romChecksum != romChecksum())
        std::cout << "The input movie " << options.inputPath << " was recorded with another ROM: it may play otherwise.\n";
    if (!options.recordPath.empty() && !movie.start(options.recordPath, options.loadStatePath)) {
        std::cout << "Cannot write the movie " << options.recordPath << ".\n";
        return false;
    }
    if (options.wavPath.empty() || options.track == AllTracks)
        return true;
    if (!control.wav.open(options.wavPath)) {
        std::cout << "Cannot write the WAV file " << options.wavPath << ".\n";
        return false;
    }
    return true;
}

void afterFrame(RunControl& control)
{
    const std::span<const int16_t> samples = frameSamples();
    if (control.wav.isOpen() && !control.wav.write(samples.data(), static_cast<uint32_t>(samples.size())))
        std::cout << "The WAV file " << options.wavPath << " has reached the format's limit of 4 GB: "
                  << "recording stopped, the file holds everything up to here.\n";
    if (soundFifo.deviceOpen.load(std::memory_order_relaxed) && !soundMuted)
        feedSoundDevice(samples.data(), static_cast<uint32_t>(samples.size()));
    if (applyInputScript(control.script, framesRun()))
        movie.reset();
    checkBatteryFile(control.battery, std::chrono::steady_clock::now(), std::cout);
    if (options.testRom)
        checkTestRom(control);
    const int64_t limit = frameLimit();
    if (!control.exitCode && limit > 0 && framesRun() >= limit) {
        if (options.testRom) {
            std::cout << "No test result within " << limit << " frames.\n";
            endWith(control, ExitNoResult);
        } else {
            endWith(control, 0);
        }
    }
}

void startRewind()
{
    const int32_t seconds = options.rewindSeconds >= 0 ? options.rewindSeconds : options.headless ? 0 : DefaultRewindSeconds;
    startRewindHistory(musicFileLoaded() ? 0 : static_cast<uint32_t>(seconds * framesPerSecond()));
}

void runHeadless(RunControl& control)
{
    std::signal(SIGINT, stopOnSignal);
    std::signal(SIGTERM, stopOnSignal);
    control.start = std::chrono::steady_clock::now();
    applyInputScript(control.script, framesRun());  // a loaded state starts past frame 0
    while (emulationRunning) {
        const ControllerInput input = heldButtons();
        rememberFrame(input);
        movie.frame(framesRun(), input);
        runConsoleFrame(input, frameSettings());
        countFrame();
        afterFrame(control);
    }
}

int finishRun(RunControl& control)
{
    movie.stop();
    closeBatteryFile(control.battery, std::cout);
    if (!options.screenshotPath.empty() && !writeScreenshot(options.screenshotPath)) {
        std::cout << "Cannot write the screenshot " << options.screenshotPath << ".\n";
        control.exitCode = 1;  // however the run ended
    }
    if (!options.saveStatePath.empty()) {
        if (const std::string error = saveStateFile(options.saveStatePath); !error.empty()) {
            std::cout << error << "\n";
            control.exitCode = 1;
        }
    }
    if (options.benchmark) {
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - control.start;
        std::cout << "Benchmark: " << framesRun() << " frames in " << std::fixed << std::setprecision(3)
                  << seconds.count() << " s: " << std::setprecision(1) << static_cast<double>(framesRun()) / seconds.count()
                  << " frames per second\n";
    }
    return control.exitCode.value_or(0);
}
