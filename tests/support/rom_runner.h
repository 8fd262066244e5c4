// ROMs run headless, frame by frame as the frame loop runs them.
#pragma once

#include <cstdint>

// Runs `count` frames and counts each one, as the frame loop does; `buttons` are held throughout
// (one bit per button in ButtonState order: bit 0 A ... bit 7 right).
void runFrames(uint32_t count, uint8_t buttons = 0);

// 64-bit FNV-1a hash of the 61,440 palette bytes of the frame buffer.
uint64_t frameHash();
