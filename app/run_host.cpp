#include "app/run_host.h"

#include <csignal>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <sstream>

#include "apu/sound_fifo.h"
#include "apu/sound_stream.h"
#include "app/machine.h"
#include "app/options.h"
#include "app/scheduler.h"
#include "app/state_files_host.h"

namespace {

constexpr int ExitResetRequested = 3;
constexpr int ExitNoResult = 4;

extern "C" void stopOnSignal(int) { emulationRunning = 0; }

int32_t frameLimit()
{
    if (options.frameLimit > 0)
        return options.frameLimit;
    return options.testRom ? DefaultTestRomFrames : 0;
}

void endWith(RunControl& control, int exitCode)
{
    control.exitCode = exitCode;
    emulationRunning = 0;
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

bool prepareRun(RunControl& control)
{
    if (!options.inputPath.empty()) {
        std::ifstream file(options.inputPath);
        if (!file.is_open()) {
            std::cout << "Cannot read the input script " << options.inputPath << ".\n";
            return false;
        }
        std::ostringstream text;
        text << file.rdbuf();
        std::string error;
        auto script = parseInputScript(text.str(), error);
        if (!script) {
            std::cout << "Input script " << options.inputPath << ", " << error << "\n";
            return false;
        }
        control.script = std::move(*script);
    }
    if (!options.wavPath.empty()) {
        if (!control.wav.open(options.wavPath)) {
            std::cout << "Cannot write the WAV file " << options.wavPath << ".\n";
            return false;
        }
    }
    applyInputScript(control.script, 0);
    return true;
}

void afterFrame(RunControl& control)
{
    control.wav.write(soundFrame.samples.data(), soundFrame.count);
    if (soundFifo.deviceOpen.load(std::memory_order_relaxed) && !soundMuted)
        feedSoundDevice(soundFrame.samples.data(), soundFrame.count);
    applyInputScript(control.script, scheduler.frameCounter);
    checkBatteryFile(control.battery, std::chrono::steady_clock::now(), std::cout);
    if (options.testRom)
        checkTestRom(control);
    const int32_t limit = frameLimit();
    if (!control.exitCode && limit > 0 && scheduler.frameCounter >= limit) {
        if (options.testRom) {
            std::cout << "No test result within " << limit << " frames.\n";
            endWith(control, ExitNoResult);
        } else {
            endWith(control, 0);
        }
    }
}

void runHeadless(RunControl& control)
{
    std::signal(SIGINT, stopOnSignal);
    std::signal(SIGTERM, stopOnSignal);
    control.start = std::chrono::steady_clock::now();
    applyInputScript(control.script, scheduler.frameCounter);  // a loaded state starts past frame 0
    while (emulationRunning) {
        runFrame();
        ++scheduler.frameCounter;
        afterFrame(control);
    }
}

int finishRun(RunControl& control)
{
    closeBatteryFile(control.battery, std::cout);
    if (!options.screenshotPath.empty() && !writeScreenshot(options.screenshotPath)) {
        std::cout << "Cannot write the screenshot " << options.screenshotPath << ".\n";
        if (!control.exitCode)
            control.exitCode = 1;
    }
    if (!options.saveStatePath.empty()) {
        if (const std::string error = saveStateFile(options.saveStatePath); !error.empty()) {
            std::cout << error << "\n";
            control.exitCode = 1;
        }
    }
    if (options.benchmark) {
        const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - control.start;
        std::cout << "Benchmark: " << scheduler.frameCounter << " frames in " << std::fixed << std::setprecision(3)
                  << seconds.count() << " s: " << std::setprecision(1) << scheduler.frameCounter / seconds.count()
                  << " frames per second\n";
    }
    return control.exitCode.value_or(0);
}
