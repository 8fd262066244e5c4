#include "app/controller_picture.h"

#include <string_view>

#include "ppu/frame_buffer.h"

namespace {

// Console colour numbers used by the picture.
constexpr uint8_t Black = 0x0D;
constexpr uint8_t DarkGrey = 0x2D;
constexpr uint8_t MidGrey = 0x00;
constexpr uint8_t Grey = 0x10;
constexpr uint8_t LightGrey = 0x3D;
constexpr uint8_t White = 0x20;
constexpr uint8_t Red = 0x16;
constexpr uint8_t DarkRed = 0x06;
constexpr uint8_t BrightRed = 0x26;

// The capitals of the printed labels, 3x5 pixels: '#' is ink.
struct LabelLetter {
    char letter;
    std::array<std::string_view, 5> rows;
};

constexpr LabelLetter LabelLetters[] = {
    {'A', {".#.", "#.#", "###", "#.#", "#.#"}},
    {'B', {"##.", "#.#", "##.", "#.#", "##."}},
    {'C', {"###", "#..", "#..", "#..", "###"}},
    {'E', {"###", "#..", "##.", "#..", "###"}},
    {'L', {"#..", "#..", "#..", "#..", "###"}},
    {'O', {"###", "#.#", "#.#", "#.#", "###"}},
    {'R', {"##.", "#.#", "##.", "#.#", "#.#"}},
    {'S', {"###", "#..", "###", "..#", "###"}},
    {'T', {"###", ".#.", ".#.", ".#.", ".#."}},
    {'W', {"#.#", "#.#", "#.#", "###", "#.#"}},
    {'Y', {"#.#", "#.#", ".#.", ".#.", ".#."}},
};

// How far v lies outside the range low-high.
constexpr int32_t outside(int32_t v, int32_t low, int32_t high) { return v < low ? low - v : (v > high ? v - high : 0); }

// Shapes painted one over another; coordinates are inclusive and may reach past the edges.
struct Canvas {
    Picture pixels{};

    constexpr void plot(int32_t x, int32_t y, uint8_t colour)
    {
        if (x >= 0 && x < static_cast<int32_t>(PictureWidth) && y >= 0 && y < static_cast<int32_t>(PictureHeight))
            pixels[y * PictureWidth + x] = colour;
    }

    // A rectangle whose corners are rounded with the given radius (0 for square corners).
    constexpr void box(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t radius, uint8_t colour)
    {
        for (int32_t y = top; y <= bottom; ++y)
            for (int32_t x = left; x <= right; ++x) {
                const int32_t dx = outside(x, left + radius, right - radius);
                const int32_t dy = outside(y, top + radius, bottom - radius);
                if (dx * dx + dy * dy <= radius * radius + radius)
                    plot(x, y, colour);
            }
    }

    constexpr void disc(int32_t cx, int32_t cy, int32_t radius, uint8_t colour)
    {
        box(cx - radius, cy - radius, cx + radius, cy + radius, radius, colour);
    }

    // A raised part: light upper-left edge, dark lower-right edge, face inside.
    constexpr void raised(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t radius,
                          uint8_t light, uint8_t face, uint8_t dark)
    {
        box(left, top, right, bottom, radius, dark);
        box(left, top, right - 1, bottom - 1, radius, light);
        box(left + 1, top + 1, right - 1, bottom - 1, radius, face);
    }

    // A sunken part: the edges of a raised one swapped.
    constexpr void sunken(int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t radius,
                          uint8_t light, uint8_t face, uint8_t dark)
    {
        raised(left, top, right, bottom, radius, dark, face, light);
    }

    // Label text in the 3x5 capitals, each pixel drawn as a scale x scale block.
    constexpr void label(int32_t x, int32_t y, std::string_view text, int32_t scale, uint8_t colour)
    {
        for (const char c : text) {
            for (const LabelLetter& letter : LabelLetters)
                if (letter.letter == c)
                    for (int32_t row = 0; row < 5; ++row)
                        for (int32_t column = 0; column < 3; ++column)
                            if (letter.rows[row][column] == '#')
                                box(x + column * scale, y + row * scale, x + column * scale + scale - 1,
                                    y + row * scale + scale - 1, 0, colour);
            x += 4 * scale;
        }
    }

    // The direction pad: a cross centred on (cx, cy), with arrows pressed into its arms.
    constexpr void directionPad(int32_t cx, int32_t cy, int32_t reach, int32_t half)
    {
        for (const int32_t grow : {1, 0}) {
            const uint8_t colour = grow ? MidGrey : Black;
            box(cx - reach - grow, cy - half - grow, cx + reach + grow, cy + half + grow, 1, colour);
            box(cx - half - grow, cy - reach - grow, cx + half + grow, cy + reach + grow, 1, colour);
        }
        // One arrow per arm, pointing outwards: rows of 1, 3 and 5 pixels from the tip inwards.
        for (int32_t step = 0; step < 3; ++step) {
            const int32_t tip = reach - 4 - step;
            for (int32_t side = -step; side <= step; ++side) {
                plot(cx + side, cy - tip, DarkGrey);
                plot(cx + side, cy + tip, DarkGrey);
                plot(cx - tip, cy + side, DarkGrey);
                plot(cx + tip, cy + side, DarkGrey);
            }
        }
        disc(cx, cy, 3, DarkGrey);
        disc(cx, cy, 2, Black);
    }

    // A round red button in its light grey square, with its letter printed below.
    constexpr void fireButton(int32_t cx, int32_t cy, std::string_view name)
    {
        sunken(cx - 13, cy - 13, cx + 13, cy + 13, 3, White, LightGrey, Grey);
        disc(cx + 1, cy + 1, 10, DarkGrey);
        disc(cx, cy, 10, DarkRed);
        disc(cx - 1, cy - 1, 9, Red);
        disc(cx - 4, cy - 4, 2, BrightRed);
        label(cx - 1, cy + 19, name, 1, Red);
    }

    // A black rubber key lying in a slot of the centre panel.
    constexpr void rubberKey(int32_t cx, int32_t cy)
    {
        sunken(cx - 11, cy - 5, cx + 11, cy + 5, 5, LightGrey, MidGrey, DarkGrey);
        raised(cx - 9, cy - 3, cx + 9, cy + 3, 3, DarkGrey, Black, Black);
    }
};

constexpr Picture drawController()
{
    Canvas canvas;
    canvas.box(0, 0, PictureWidth - 1, PictureHeight - 1, 0, Black);

    // The cord, leaving the top edge in the middle.
    canvas.box(124, 0, 131, 6, 0, DarkGrey);
    canvas.box(126, 0, 128, 6, 0, MidGrey);

    // The grey shell and the black front plate set into it.
    canvas.raised(20, 5, 235, 95, 5, LightGrey, Grey, MidGrey);
    canvas.sunken(29, 14, 226, 86, 2, White, Black, MidGrey);

    canvas.directionPad(67, 51, 21, 7);

    // Centre: stripes, the two labels and the panel with the select and start keys.
    for (int32_t stripe = 0; stripe < 3; ++stripe)
        canvas.raised(98, 20 + stripe * 7, 157, 23 + stripe * 7, 1, LightGrey, Grey, MidGrey);
    canvas.label(104, 44, "SELECT", 1, Red);
    canvas.label(135, 44, "START", 1, Red);
    canvas.raised(98, 52, 157, 80, 3, White, LightGrey, Grey);
    canvas.rubberKey(113, 66);
    canvas.rubberKey(142, 66);

    canvas.label(192, 22, "TALLOWBY", 1, Red);
    canvas.fireButton(180, 52, "B");
    canvas.fireButton(211, 52, "A");
    return canvas.pixels;
}

}  // namespace

static_assert(PictureTopRow + PictureHeight == FrameHeight, "the picture fills the screen to its last row");

constexpr Picture ControllerPicture = drawController();
