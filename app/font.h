// The 8x8 font of the key-configuration screen.
#pragma once

#include <array>
#include <cstdint>

constexpr uint32_t GlyphSize = 8;
constexpr uint32_t GlyphBytes = GlyphSize * GlyphSize;
constexpr uint32_t GlyphCount = 256;

// One glyph per character code, in the shapes of the IBM PC character set (code page 437):
// glyph c's pixel (column gx, row gy) is byte c * 64 + gy * 8 + gx, 0 for background, 1 for ink.
// Printable ASCII is complete; 0, 9-13, 32 and 255 are blank, as are the codes not drawn here.
using Font = std::array<uint8_t, GlyphCount * GlyphBytes>;
extern const Font FontGlyphs;
