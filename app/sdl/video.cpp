#include "app/sdl/video.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "app/palette_file.h"
#include "app/player_screen.h"
#include "app/sdl/display.h"
#include "console/console.h"

namespace {

// FrameBuffer byte to surface pixel, for every possible byte and each of the 8 colour emphases.
std::array<std::array<uint32_t, 256>, 8> surfaceColours{};

// What the surface shows, row by row of the frame: the bytes and emphasis drawn there last, and
// whether that is known (not before the screen is made, nor under a message drawn over it).
FrameBuffer drawnFrame{};
LineEmphasis drawnEmphasis{};
std::array<bool, FrameHeight> drawnKnown{};

// Draws each frame row that differs from what the surface shows into the first of its `scale`
// surface rows, each pixel repeated `scale` times, then copies that row into the others. Returns
// the first and one past the last row drawn (equal when none was).
template <int32_t Scale>
std::pair<uint32_t, uint32_t> drawScaled(uint8_t* origin, size_t pitch, int32_t scale)
{
    const FrameBuffer& shown = shownPicture();
    const LineEmphasis& emphasis = shownEmphasis();
    const auto rowBytes = static_cast<size_t>(FrameWidth) * static_cast<size_t>(scale) * sizeof(uint32_t);
    uint32_t first = FrameHeight, end = 0;
    for (uint32_t row = 0; row < FrameHeight; ++row) {
        const uint8_t* source = &shown[row * FrameWidth];
        uint8_t* drawn = &drawnFrame[row * FrameWidth];
        if (drawnKnown[row] && drawnEmphasis[row] == emphasis[row] && std::memcmp(source, drawn, FrameWidth) == 0)
            continue;
        std::memcpy(drawn, source, FrameWidth);
        drawnEmphasis[row] = emphasis[row];
        drawnKnown[row] = true;
        first = std::min(first, row);
        end = row + 1;
        uint8_t* firstLine = origin + static_cast<size_t>(row) * static_cast<size_t>(scale) * pitch;
        auto* out = reinterpret_cast<uint32_t*>(firstLine);
        const auto& colours = surfaceColours[emphasis[row] & 7];
        for (uint32_t column = 0; column < FrameWidth; ++column) {
            const uint32_t colour = colours[source[column]];
            // A fixed count for the usual scales, so the compiler writes the block out in full.
            const int32_t repeat = Scale > 0 ? Scale : scale;
            for (int32_t k = 0; k < repeat; ++k)
                *out++ = colour;
        }
        for (int32_t copy = 1; copy < scale; ++copy)
            std::memcpy(firstLine + static_cast<size_t>(copy) * pitch, firstLine, rowBytes);
    }
    return {std::min(first, end), end};
}

}  // namespace

void preparePalette(const SDL_PixelFormat* format)
{
    for (uint32_t emphasis = 0; emphasis < surfaceColours.size(); ++emphasis) {
        for (uint32_t index = 0; index < 256; ++index) {
            const uint32_t rgb = screenColour(static_cast<uint8_t>(index), static_cast<uint8_t>(emphasis));
            surfaceColours[emphasis][index] =
                SDL_MapRGB(const_cast<SDL_PixelFormat*>(format), static_cast<Uint8>(rgb >> 16),
                           static_cast<Uint8>(rgb >> 8), static_cast<Uint8>(rgb));
        }
    }
}

void forgetShownPicture() { drawnKnown.fill(false); }

void forgetShownRows(int32_t top, int32_t bottom)
{
    const int32_t scale = std::max(screenGeometry.scale, 1);
    for (int32_t row = std::max(0, (top - screenGeometry.top) / scale);
         row < static_cast<int32_t>(FrameHeight) && row * scale + screenGeometry.top < bottom; ++row)
        drawnKnown[static_cast<size_t>(row)] = false;
}

void presentFrame()
{
    if (screenSurface == nullptr)
        return;
    const bool whole = std::ranges::none_of(drawnKnown, [](bool known) { return known; });
    SDL_LockSurface(screenSurface);
    const auto pitch = static_cast<size_t>(screenSurface->pitch);
    uint8_t* origin = static_cast<uint8_t*>(screenSurface->pixels) + static_cast<size_t>(screenGeometry.top) * pitch +
                      static_cast<size_t>(screenGeometry.left) * sizeof(uint32_t);
    std::pair<uint32_t, uint32_t> rows;
    // The scale is chosen once per frame, never per pixel.
    switch (const int32_t scale = screenGeometry.scale) {
    case 1: rows = drawScaled<1>(origin, pitch, scale); break;
    case 2: rows = drawScaled<2>(origin, pitch, scale); break;
    case 3: rows = drawScaled<3>(origin, pitch, scale); break;
    case 4: rows = drawScaled<4>(origin, pitch, scale); break;
    case 5: rows = drawScaled<5>(origin, pitch, scale); break;
    case 6: rows = drawScaled<6>(origin, pitch, scale); break;
    default: rows = drawScaled<0>(origin, pitch, scale); break;  // full screen on a large desktop
    }
    SDL_UnlockSurface(screenSurface);
    // The whole screen the first time (its black border too); then only the rows that changed.
    const int32_t scale = screenGeometry.scale;
    if (whole)
        SDL_Flip(screenSurface);
    else if (rows.first != rows.second)
        SDL_UpdateRect(screenSurface, screenGeometry.left, screenGeometry.top + static_cast<int32_t>(rows.first) * scale,
                       static_cast<Uint32>(FrameWidth) * static_cast<Uint32>(scale),
                       (rows.second - rows.first) * static_cast<Uint32>(scale));
}
