// The screen font: data checks that catch a shifted, transposed or broken table (the controller
// picture is compared whole on the configuration screen).
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <set>
#include <vector>

#include "app/font.h"

namespace {

bool ink(uint32_t code, uint32_t gx, uint32_t gy) { return glyphOf(static_cast<char>(code))[gy * GlyphSize + gx] != 0; }

std::vector<uint8_t> glyph(uint32_t code)
{
    const uint8_t* pixels = glyphOf(static_cast<char>(code));
    return {pixels, pixels + GlyphBytes};
}

// The rows (or, when `columns`, the columns) that hold ink, as a mask of bits.
uint32_t inkLines(uint32_t code, bool columns)
{
    uint32_t lines = 0;
    for (uint32_t gy = 0; gy < GlyphSize; ++gy)
        for (uint32_t gx = 0; gx < GlyphSize; ++gx)
            lines |= ink(code, gx, gy) << (columns ? gx : gy);
    return lines;
}

// (That every pixel is ink or blank is checked as the font is built, at compile time.)
TEST(Font, GlyphsAreDistinctAndTheRightWayRound)
{
    for (const uint32_t code : {0, 9, 10, 13, 31, 32, 127, 200, 255})
        EXPECT_EQ(glyph(code), std::vector<uint8_t>(GlyphBytes, 0)) << "code " << code << " shows as a space";
    std::set<std::vector<uint8_t>> shapes;
    for (uint32_t code = 33; code <= 126; ++code) {
        const std::vector<uint8_t> shape = glyph(code);
        EXPECT_GT(std::count(shape.begin(), shape.end(), 1), 2) << "'" << static_cast<char>(code) << "'";
        shapes.insert(shape);
    }
    EXPECT_EQ(shapes.size(), 94u) << "printable characters are distinct";

    // '-' is one row in the middle, '_' the bottom row, and '/' leans to the right.
    EXPECT_EQ(std::popcount(inkLines('-', false)), 1);
    EXPECT_TRUE(inkLines('-', false) & 0x3C);
    EXPECT_EQ(inkLines('_', false) & 0x81, 0x80u);
    EXPECT_TRUE(ink('/', 6, 0) || ink('/', 7, 0));
    EXPECT_FALSE(ink('/', 0, 0) || ink('/', 7, 7));
}

}  // namespace
