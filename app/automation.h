// Automation of a run: scripted controller input and the test-ROM result protocol.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "input/controller.h"

// From frame `frame` on, exactly `buttons` are held.
struct ScriptStep {
    int32_t frame;
    ButtonState buttons;
};

struct InputScript {
    std::vector<ScriptStep> steps;  // in frame order
    size_t next = 0;                // the first step not yet applied
};

// Parses a script: one "FRAME BUTTONS" per line, BUTTONS a '+'-separated list of
// a b select start up down left right, or '-' for none; empty lines and lines starting with '#'
// are skipped. On a malformed line, `error` says which and why and nothing is returned.
std::optional<InputScript> parseInputScript(const std::string& text, std::string& error);

// The buttons an input script holds (on controller 1, together with the keys and the first pad).
inline ButtonState scriptedButtons{};

// Sets scriptedButtons for the frame about to run.
void applyInputScript(InputScript& script, int64_t frame);

// The test-ROM protocol at 0x6000: the status byte, once DE B0 61 stands at 0x6001.
struct TestRomResult {
    uint8_t status;    // 0 passed, 1 failed, 2 and up a numbered failure, 0x81 reset requested
    std::string text;  // the zero-terminated text at 0x6004
};
constexpr uint8_t TestRomRunning = 0x80;
constexpr uint8_t TestRomResetRequest = 0x81;

// The result once the protocol's data are valid and the status is no longer "running".
std::optional<TestRomResult> readTestRomResult();
