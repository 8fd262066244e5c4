// Times presentFrame into a window surface of SDL's dummy video driver: the drawing cost per frame.
//   build/release/bench_present [scale] [frames]
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "app/shell_sdl.h"
#include "app/video.h"

int main(int argc, char** argv)
{
    const int scale = argc > 1 ? std::atoi(argv[1]) : 2;
    const int frames = argc > 2 ? std::atoi(argv[2]) : 3000;
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_VIDEO) != 0)
        return 1;
    screenSurface = SDL_SetVideoMode(256 * scale, 240 * scale, 32, 0);
    if (screenSurface == nullptr)
        return 1;
    preparePalette(screenSurface->format);
    for (uint32_t i = 0; i < frameBuffer.size(); ++i)
        frameBuffer[i] = static_cast<uint8_t>((i * 7 + i / 256) % 64);
    const auto start = std::chrono::steady_clock::now();
    for (int n = 0; n < frames; ++n)
        presentFrame();
    const std::chrono::duration<double, std::micro> took = std::chrono::steady_clock::now() - start;
    std::printf("scale %d: %.1f us per frame over %d frames\n", scale, took.count() / frames, frames);
    SDL_Quit();
    return 0;
}
