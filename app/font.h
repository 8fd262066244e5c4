// The 8x8 font of the configuration screens and the on-screen messages: the printable ASCII
// characters, in the shapes of the IBM PC's.
#pragma once

#include <array>
#include <cstdint>

constexpr uint32_t GlyphSize = 8;
constexpr uint32_t GlyphBytes = GlyphSize * GlyphSize;
constexpr uint8_t FirstGlyph = ' ';  // the font holds ' ' to '~'
constexpr uint8_t LastGlyph = '~';
constexpr uint32_t GlyphCount = LastGlyph - FirstGlyph + 1;

// Glyph k shows character FirstGlyph + k: its pixel (column gx, row gy) is byte k * 64 + gy * 8 + gx,
// 0 for background, 1 for ink.
using Font = std::array<uint8_t, GlyphCount * GlyphBytes>;
extern const Font FontGlyphs;

// The 64 pixels of a character's glyph; a character outside the font shows as a space.
constexpr const uint8_t* glyphOf(char character, const Font& font = FontGlyphs)
{
    const auto code = static_cast<uint8_t>(character);
    const uint32_t index = code >= FirstGlyph && code <= LastGlyph ? code - FirstGlyph : 0;
    return &font[index * GlyphBytes];
}
