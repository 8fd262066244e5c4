// The colours the player chose with -palette: a palette file of 64 RGB triplets (192 bytes), or of
// 512 (the 64 colours under each of the 8 colour emphases, in the emphasis bits' order).
#pragma once

#include <cstdint>
#include <string>

// Reads the palette file at `path`; from then on the window and the screenshots use it. The line
// that says why it cannot be used, empty when it is.
std::string loadPaletteFile(const std::string& path);

// The console's colours again (a fresh run).
void forgetPaletteFile();

// The 0xRRGGBB colour a picture byte shows on a row of colour emphasis `emphasis`: the chosen
// palette's (a 64-colour file's under Tallowby's own emphasis), else the console's. The font's
// black and white (64 and 65) are always the console's.
uint32_t screenColour(uint8_t index, uint8_t emphasis);
