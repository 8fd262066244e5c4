// ROMs run headless, frame by frame as the frame loop runs them.
#pragma once

#include <cstdint>

#include "console/scheduler.h"

// Runs `count` frames through the console and counts each one, as the frame loop does; `buttons`
// are held on controller 1 throughout (one bit per button in ButtonState order: bit 0 A ... bit 7
// right).
void runFrames(uint32_t count, uint8_t buttons = 0, const FrameSettings& settings = {});

// 64-bit FNV-1a hash of the 61,440 palette bytes of the frame buffer.
uint64_t frameHash();
