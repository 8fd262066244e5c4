// Times presentFrame into a window surface of SDL's dummy video driver: the drawing cost per frame.
// With a file name, also writes the surface's rows (width x 4 bytes each) there, to compare builds.
//   bench_present [scale] [frames] [surface.raw]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/sdl/display.h"
#include "app/sdl/video.h"
#include "ppu/frame_buffer.h"

int main(int argc, char** argv)
{
    const int scale = argc > 1 ? std::atoi(argv[1]) : 2;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 3000;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    screenSurface = SDL_SetVideoMode(256 * scale, 240 * scale, 32, 0);
    screenGeometry = windowGeometry(scale);
    if (screenSurface == nullptr)
        return 1;
    preparePalette(screenSurface->format);
    for (uint32_t i = 0; i < frameBuffer.size(); ++i)
        frameBuffer[i] = static_cast<uint8_t>(i * 7 + i / 256);  // every byte value, the ones beyond the palette too
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < frames; ++n)
        presentFrame();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    if (argc > 3) {
        if (FILE* out = std::fopen(argv[3], "wb")) {
            SDL_LockSurface(screenSurface);
            for (int y = 0; y < screenSurface->h; ++y)
                std::fwrite(static_cast<const char*>(screenSurface->pixels) + y * screenSurface->pitch, 4,
                            static_cast<size_t>(screenSurface->w), out);
            SDL_UnlockSurface(screenSurface);
            std::fclose(out);
        }
    }
    std::printf("scale %d: %.1f us per frame over %d frames\n", scale, took.count() / frames, frames);
    SDL_Quit();
    return 0;
}
