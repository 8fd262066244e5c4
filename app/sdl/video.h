// The picture in the window: the window surface and the frame drawn into it.
#pragma once

#include <SDL.h>

inline SDL_Surface* screenSurface = nullptr;

// Converts the console's colours to the window surface's pixel format; call once after the window exists.
void preparePalette(const SDL_PixelFormat* format);

// Shows the FrameBuffer in the window, each pixel enlarged to a block of the screen's scale (2x2
// in the default window), at the picture's place on the screen (see display.h).
void presentFrame();
