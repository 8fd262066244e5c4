// The screen font and the controller picture: data checks that catch a shifted, transposed or broken table.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "input/controller_picture.h"
#include "input/font.h"

namespace {

bool ink(uint32_t code, uint32_t gx, uint32_t gy) { return FontGlyphs[code * GlyphBytes + gy * GlyphSize + gx] != 0; }

uint32_t inkCount(uint32_t code)
{
    return static_cast<uint32_t>(std::count(FontGlyphs.begin() + code * GlyphBytes,
                                            FontGlyphs.begin() + (code + 1) * GlyphBytes, 1));
}

// The smallest box holding a glyph's ink, inclusive.
struct InkBox {
    uint32_t left = GlyphSize, top = GlyphSize, right = 0, bottom = 0;
};

InkBox inkBox(uint32_t code)
{
    InkBox box;
    for (uint32_t gy = 0; gy < GlyphSize; ++gy)
        for (uint32_t gx = 0; gx < GlyphSize; ++gx)
            if (ink(code, gx, gy)) {
                box.left = std::min(box.left, gx);
                box.right = std::max(box.right, gx);
                box.top = std::min(box.top, gy);
                box.bottom = std::max(box.bottom, gy);
            }
    return box;
}

}  // namespace

TEST(Font, HoldsOnlyInkAndBackground)
{
    for (size_t i = 0; i < FontGlyphs.size(); ++i)
        ASSERT_LE(FontGlyphs[i], 1) << "byte " << i;
}

TEST(Font, BlankCodesAreBlank)
{
    for (const uint32_t code : {0, 9, 10, 11, 12, 13, 32, 255})
        EXPECT_EQ(inkCount(code), 0u) << "code " << code;
}

TEST(Font, EveryPrintableCharacterHasInk)
{
    for (uint32_t code = 33; code <= 126; ++code)
        EXPECT_GT(inkCount(code), 2u) << "character '" << static_cast<char>(code) << "'";
}

TEST(Font, PrintableCharactersAreDistinct)
{
    std::set<std::vector<uint8_t>> shapes;
    for (uint32_t code = 32; code <= 126; ++code)
        shapes.emplace(FontGlyphs.begin() + code * GlyphBytes, FontGlyphs.begin() + (code + 1) * GlyphBytes);
    EXPECT_EQ(shapes.size(), 95u);
}

TEST(Font, BarsRunTheRightWay)
{
    // '|' is tall and narrow, '-' and '_' are one or two rows wide, '_' sits on the bottom row.
    const InkBox bar = inkBox('|');
    EXPECT_GE(bar.bottom - bar.top, 5u);
    EXPECT_LE(bar.right - bar.left, 1u);
    for (uint32_t gy = bar.top; gy <= bar.bottom; ++gy)
        for (uint32_t gx = bar.left; gx <= bar.right; ++gx)
            EXPECT_TRUE(ink('|', gx, gy)) << gx << "," << gy;

    const InkBox dash = inkBox('-');
    EXPECT_EQ(dash.top, dash.bottom);
    EXPECT_GE(dash.right - dash.left, 4u);
    EXPECT_TRUE(dash.top >= 2 && dash.top <= 5) << "row " << dash.top;

    const InkBox underscore = inkBox('_');
    EXPECT_EQ(underscore.bottom, GlyphSize - 1);
    EXPECT_GE(underscore.top, GlyphSize - 2);
    EXPECT_GE(underscore.right - underscore.left, 5u);
}

TEST(Font, LettersAreUprightAndUnmirrored)
{
    // 'I' is symmetric about its middle column and taller than wide.
    const InkBox i = inkBox('I');
    EXPECT_GT(i.bottom - i.top, i.right - i.left);
    for (uint32_t gy = 0; gy < GlyphSize; ++gy)
        for (uint32_t gx = i.left; gx <= i.right; ++gx)
            EXPECT_EQ(ink('I', gx, gy), ink('I', i.left + i.right - gx, gy)) << gx << "," << gy;

    // 'L' has its foot at the bottom and its stem on the left; '/' leans to the right.
    const InkBox l = inkBox('L');
    EXPECT_TRUE(ink('L', l.right, l.bottom));
    EXPECT_FALSE(ink('L', l.right, l.top));
    const InkBox slash = inkBox('/');
    EXPECT_TRUE(ink('/', slash.right, slash.top));
    EXPECT_TRUE(ink('/', slash.left, slash.bottom));
    EXPECT_FALSE(ink('/', slash.left, slash.top));

    // Descenders reach below the letters that have none.
    EXPECT_GT(inkBox('g').bottom, inkBox('a').bottom);
    EXPECT_GT(inkBox('p').bottom, inkBox('o').bottom);
}

TEST(ControllerPicture, UsesConsoleColoursOnly)
{
    for (size_t i = 0; i < ControllerPicture.size(); ++i)
        ASSERT_LE(ControllerPicture[i], 61) << "pixel " << i % PictureWidth << "," << i / PictureWidth;
}

TEST(ControllerPicture, IsAPictureNotAFill)
{
    const std::set<uint8_t> colours(ControllerPicture.begin(), ControllerPicture.end());
    EXPECT_GE(colours.size(), 4u);
    // Every row band of ten rows past the top edge shows something besides the backdrop.
    for (uint32_t top = 10; top + 10 <= PictureHeight - 5; top += 10) {
        const auto first = ControllerPicture.begin() + top * PictureWidth;
        const std::set<uint8_t> band(first, first + 10 * PictureWidth);
        EXPECT_GE(band.size(), 2u) << "rows " << top << "-" << top + 9;
    }
}
