#include <array>

#include "app/shell_sdl.h"
#include "app/video.h"

namespace {

// FrameBuffer byte to surface pixel, for every possible byte.
std::array<uint32_t, 256> surfaceColours{};

}  // namespace

void preparePalette(const SDL_PixelFormat* format)
{
    for (uint32_t index = 0; index < surfaceColours.size(); ++index) {
        const uint32_t rgb = colourOf(static_cast<uint8_t>(index));
        surfaceColours[index] = SDL_MapRGB(const_cast<SDL_PixelFormat*>(format), static_cast<Uint8>(rgb >> 16),
                                           static_cast<Uint8>(rgb >> 8), static_cast<Uint8>(rgb));
    }
}

void presentFrame()
{
    SDL_LockSurface(screenSurface);
    auto* pixels = static_cast<uint8_t*>(screenSurface->pixels);
    const auto pitch = static_cast<size_t>(screenSurface->pitch);
    for (uint32_t row = 0; row < FrameHeight; ++row) {
        auto* upper = reinterpret_cast<uint32_t*>(pixels + (2 * row) * pitch);
        auto* lower = reinterpret_cast<uint32_t*>(pixels + (2 * row + 1) * pitch);
        const uint8_t* source = &frameBuffer[row * FrameWidth];
        for (uint32_t column = 0; column < FrameWidth; ++column) {
            const uint32_t colour = surfaceColours[source[column]];
            upper[2 * column] = upper[2 * column + 1] = colour;
            lower[2 * column] = lower[2 * column + 1] = colour;
        }
    }
    SDL_UnlockSurface(screenSurface);
    SDL_Flip(screenSurface);
}
