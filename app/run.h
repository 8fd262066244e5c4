// What happens between frames besides the window: scripted input, recording, the test-ROM
// result and the frame limit, and the run without a window.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>

#include "app/automation.h"
#include "app/battery_file.h"
#include "app/capture.h"
#include "console/console.h"

// The run's flag: set when the frames start, cleared to end the run (a result, the frame limit,
// the window closed, SIGINT or SIGTERM).
inline std::atomic<bool> emulationRunning{false};

struct RunControl {
    InputScript script;
    WavRecorder wav;
    BatteryFile battery;  // the save file of a cartridge with a battery
    std::optional<int> exitCode;  // set when the run ended with a result of its own
    std::chrono::steady_clock::time_point start;
};

// Puts the host's records (options, key map and keys held, gamepads, input script buttons) back to
// their program-start values, as resetMachine does for the console's.
void resetHostState();

// The buttons the controllers hold now: the keys, the input script and the first pad on
// controller 1, the second pad (and the script's second list) on controller 2; with a turbo input
// held, its A or B on the first two of every four frames.
ControllerInput heldButtons();

// The frame settings the options ask for: the frame skip and the scanline mode.
FrameSettings frameSettings();

// Prepares the run from the options before anything else is done: reads the input script and
// checks that the screenshot and the WAV file can be written. Prints a line and returns false
// when any of them cannot be done.
bool prepareRun(RunControl& control);

// Once the game has loaded: opens the WAV file. Prints a line and returns false when it cannot.
bool startRecording(RunControl& control);

// After each frame, once the frame counter has advanced: takes the frame's samples, sets the
// scripted buttons of the next frame, stores the save memory when due, and ends the run on a
// test-ROM result or the frame limit.
void afterFrame(RunControl& control);

// Starts the rewind history the options ask for (none for a music file).
void startRewind();

// Runs frames without window, sound device or pacing until the run ends or SIGINT/SIGTERM arrives.
void runHeadless(RunControl& control);

// At the end of a run: the save file, the screenshot and the benchmark line. Returns the exit code.
int finishRun(RunControl& control);
