// Third-party ROMs run headless, frame by frame as the frame loop runs them.
#pragma once

#include <cstdint>
#include <string>

// Runs `count` frames and counts each one, as the frame loop does; `buttons` are held throughout
// (one bit per button in ButtonState order: bit 0 A ... bit 7 right).
void runFrames(uint32_t count, uint8_t buttons = 0);

// The 0x6000 protocol: true once the signature is there and the status is final (below 0x80).
bool protocolFinished();
// The zero-terminated text at `address`.
std::string peekText(uint32_t address);
// "status N: text" from 0x6000 and the text at 0x6004.
std::string protocolReport();

// 64-bit FNV-1a hash of the 61,440 palette bytes of the frame buffer.
uint64_t frameHash();
