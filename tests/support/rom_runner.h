// ROMs run headless, frame by frame as the frame loop runs them.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "app/automation.h"
#include "console/scheduler.h"

// Runs `count` frames through the console and counts each one, as the frame loop does; `buttons`
// are held on controller 1 throughout (one bit per button in ButtonState order: bit 0 A ... bit 7
// right).
void runFrames(uint32_t count, uint8_t buttons = 0, const FrameSettings& settings = {});

// 64-bit FNV-1a hash of the 61,440 palette bytes of the frame buffer.
uint64_t frameHash();

// Loads a test ROM and runs it frame by frame until it reports a result through the 0x6000
// protocol or `frames` have run; nothing when it did not load or gave no result.
std::optional<TestRomResult> runTestRom(const std::filesystem::path& rom, uint32_t frames,
                                        const FrameSettings& settings = {});
