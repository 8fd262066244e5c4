// Automation of a run: scripted controller input and the test-ROM result protocol.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "input/controller.h"

// From frame `frame` on, exactly `buttons` are held (and `second` on controller 2); `reset`: the
// reset button is pressed before that frame.
struct ScriptStep {
    int32_t frame;
    ButtonState buttons;
    ButtonState second{};
    bool reset = false;
};

struct InputScript {
    std::vector<ScriptStep> steps;  // in frame order
    size_t next = 0;                // the first step not yet applied
    bool secondController = false;  // a line gives controller 2's buttons: it is plugged in
    std::optional<uint32_t> romChecksum;  // a movie's: the CRC32 of the ROM it was recorded with
};

// The comment line by which a movie names its ROM: this, then the CRC32 in 8 hexadecimal digits.
constexpr std::string_view RomChecksumComment = "# ROM CRC32: ";

// Parses a script: one "FRAME BUTTONS [BUTTONS2] [reset]" per line, BUTTONS a '+'-separated list
// of a b select start up down left right, or '-' for none (BUTTONS2: controller 2's); empty lines
// and lines starting with '#' are skipped. On a malformed line, `error` says which and why and
// nothing is returned.
std::optional<InputScript> parseInputScript(const std::string& text, std::string& error);

// The text of a list of buttons, as a script writes it.
std::string buttonsText(const ButtonState& buttons);

// The buttons an input script holds (on controller 1, together with the keys and the first pad;
// on controller 2 with the second pad).
inline ButtonState scriptedButtons{};
inline ButtonState scriptedSecondButtons{};

// Sets the scripted buttons for the frame about to run, and presses the reset button when the
// script does so before it (then true).
bool applyInputScript(InputScript& script, int64_t frame);

// The test-ROM protocol at 0x6000: the status byte, once DE B0 61 stands at 0x6001.
struct TestRomResult {
    uint8_t status;    // 0 passed, 1 failed, 2 and up a numbered failure, 0x81 reset requested
    std::string text;  // the zero-terminated text at 0x6004
};
constexpr uint8_t TestRomRunning = 0x80;
constexpr uint8_t TestRomResetRequest = 0x81;

// The result once the protocol's data are valid and the status is no longer "running".
std::optional<TestRomResult> readTestRomResult();
