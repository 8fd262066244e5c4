// The picture in the window: the window surface and the frame drawn into it.
#pragma once

#include <SDL.h>

#include <cstdint>

inline SDL_Surface* screenSurface = nullptr;

// Converts the console's colours to the window surface's pixel format; call once after the window exists.
void preparePalette(const SDL_PixelFormat* format);

// Shows the FrameBuffer in the window, each pixel enlarged to a block of the screen's scale (2x2
// in the default window), at the picture's place on the screen (see display.h). Only the rows that
// differ from what the screen shows are drawn and updated.
void presentFrame();

// What the screen shows is no longer known: all of it (a screen made anew), or the frame rows that
// surface rows top to bottom (excluded) cover (something drawn over them); those are drawn again.
void forgetShownPicture();
void forgetShownRows(int32_t top, int32_t bottom);
