#include "app/sdl/video.h"

#include <array>
#include <cstring>

#include "app/player_screen.h"
#include "app/sdl/display.h"
#include "console/console.h"
#include "ppu/palette.h"

namespace {

// FrameBuffer byte to surface pixel, for every possible byte and each of the 8 colour emphases.
std::array<std::array<uint32_t, 256>, 8> surfaceColours{};

// Draws each frame row into the first of its `scale` surface rows, each pixel repeated `scale`
// times, then copies that row into the others.
template <int32_t Scale>
void drawScaled(uint8_t* origin, size_t pitch, int32_t scale)
{
    const FrameBuffer& shown = shownPicture();
    const LineEmphasis& emphasis = shownEmphasis();
    const auto rowBytes = static_cast<size_t>(FrameWidth) * static_cast<size_t>(scale) * sizeof(uint32_t);
    for (uint32_t row = 0; row < FrameHeight; ++row) {
        uint8_t* first = origin + static_cast<size_t>(row) * static_cast<size_t>(scale) * pitch;
        auto* out = reinterpret_cast<uint32_t*>(first);
        const uint8_t* source = &shown[row * FrameWidth];
        const auto& colours = surfaceColours[emphasis[row] & 7];
        for (uint32_t column = 0; column < FrameWidth; ++column) {
            const uint32_t colour = colours[source[column]];
            // A fixed count for the usual scales, so the compiler writes the block out in full.
            const int32_t repeat = Scale > 0 ? Scale : scale;
            for (int32_t k = 0; k < repeat; ++k)
                *out++ = colour;
        }
        for (int32_t copy = 1; copy < scale; ++copy)
            std::memcpy(first + static_cast<size_t>(copy) * pitch, first, rowBytes);
    }
}

}  // namespace

void preparePalette(const SDL_PixelFormat* format)
{
    for (uint32_t emphasis = 0; emphasis < surfaceColours.size(); ++emphasis) {
        for (uint32_t index = 0; index < 256; ++index) {
            const uint32_t rgb = colourOf(static_cast<uint8_t>(index), static_cast<uint8_t>(emphasis));
            surfaceColours[emphasis][index] =
                SDL_MapRGB(const_cast<SDL_PixelFormat*>(format), static_cast<Uint8>(rgb >> 16),
                           static_cast<Uint8>(rgb >> 8), static_cast<Uint8>(rgb));
        }
    }
}

void presentFrame()
{
    if (screenSurface == nullptr)
        return;
    SDL_LockSurface(screenSurface);
    const auto pitch = static_cast<size_t>(screenSurface->pitch);
    uint8_t* origin = static_cast<uint8_t*>(screenSurface->pixels) + static_cast<size_t>(screenGeometry.top) * pitch +
                      static_cast<size_t>(screenGeometry.left) * sizeof(uint32_t);
    // The scale is chosen once per frame, never per pixel.
    switch (const int32_t scale = screenGeometry.scale) {
    case 1: drawScaled<1>(origin, pitch, scale); break;
    case 2: drawScaled<2>(origin, pitch, scale); break;
    case 3: drawScaled<3>(origin, pitch, scale); break;
    case 4: drawScaled<4>(origin, pitch, scale); break;
    case 5: drawScaled<5>(origin, pitch, scale); break;
    case 6: drawScaled<6>(origin, pitch, scale); break;
    default: drawScaled<0>(origin, pitch, scale); break;  // full screen on a large desktop
    }
    SDL_UnlockSurface(screenSurface);
    SDL_Flip(screenSurface);
}
