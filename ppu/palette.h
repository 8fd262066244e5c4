// The console's colours: what each palette index of the FrameBuffer looks like.
#pragma once

#include <array>
#include <cstdint>

// 0x00RRGGBB: the 64 console colours, then black (64) and white (65) for the font.
constexpr std::array<uint32_t, 66> SystemPalette = {
    0x808080, 0x0000BB, 0x3700BF, 0x8400A6, 0xBB006A, 0xB7001E, 0xB30000, 0x912600,
    0x7B2B00, 0x003E00, 0x00480D, 0x003C22, 0x002F66, 0x000000, 0x050505, 0x050505,
    0xC8C8C8, 0x0059FF, 0x443CFF, 0xB733CC, 0xFF33AA, 0xFF375E, 0xFF371A, 0xD54B00,
    0xC46200, 0x3C7B00, 0x1E8415, 0x009566, 0x0084C4, 0x111111, 0x090909, 0x090909,
    0xFFFFFF, 0x0095FF, 0x6F84FF, 0xD56FFF, 0xFF77CC, 0xFF6F99, 0xFF7B59, 0xFF915F,
    0xFFA233, 0xA6BF00, 0x51D96A, 0x4DD5AE, 0x00D9FF, 0x666666, 0x0D0D0D, 0x0D0D0D,
    0xFFFFFF, 0x84BFFF, 0xBBBBFF, 0xD0BBFF, 0xFFBFEA, 0xFFBFCC, 0xFFC4B7, 0xFFCCAE,
    0xFFD9A2, 0xCCE199, 0xAEEEB7, 0xAAF7EE, 0xB3EEFF, 0xDDDDDD, 0x111111, 0x111111,
    0x000000, 0xFFFFFF,
};

// The colour a FrameBuffer byte shows: the palette entry, with bytes of 66 and more
// taken modulo 64 as the console's 6-bit palette memory would.
constexpr uint32_t colourOf(uint8_t index)
{
    return SystemPalette[index < SystemPalette.size() ? index : index % 64];
}

// A colour under colour emphasis `emphasis` (bits 0-2: red, green, blue): each component that none
// of the set bits emphasises is dimmed to 3/4.
constexpr uint32_t emphasised(uint32_t rgb, uint8_t emphasis)
{
    if ((emphasis & 7) == 0)
        return rgb;
    uint32_t tinted = 0;
    for (uint32_t component = 0; component < 3; ++component) {  // red, green, blue
        const uint32_t shift = 16 - 8 * component;
        uint32_t level = (rgb >> shift) & 0xFF;
        if ((emphasis & 7 & ~(1u << component)) != 0)
            level = level * 3 / 4;
        tinted |= level << shift;
    }
    return tinted;
}

// The colour a FrameBuffer byte shows on a row drawn with colour emphasis `emphasis`. The font's
// black and white (64 and 65) are never tinted.
constexpr uint32_t colourOf(uint8_t index, uint8_t emphasis)
{
    return index == 64 || index == 65 ? colourOf(index) : emphasised(colourOf(index), emphasis);
}
