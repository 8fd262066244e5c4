// The SDL shell: window, presentation, events, pacing and the audio device.
#pragma once

#include <SDL.h>

#include <cstdint>

inline SDL_Surface* screenSurface = nullptr;
constexpr int ScreenWidth = 512;  // the default window, at scale 2
constexpr int ScreenHeight = 480;

// Converts SystemPalette to the window surface's pixel format; call once after the window exists.
void preparePalette(const SDL_PixelFormat* format);

// Shows the FrameBuffer in the window, each pixel enlarged to a block of the screen's scale (2x2
// in the default window), at the picture's place on the screen (see display_sdl.h).
void presentFrame();

// Takes one window event: a key press or release into ButtonState, the full-screen switch, or the
// quit request. Gamepad reports on the way are given to their pads without counting as the event.
// Events the emulator does not use are never queued (see ignoreUnusedEvents).
void takeWindowEvent();

// Tells SDL to drop event types that the emulator never looks at, so that they cannot
// delay the keys or the quit request.
void ignoreUnusedEvents();

// A hot key (F5, F7, 0-9, P, Tab, Ctrl+R, F12) pressed or released; false when `key` is not one,
// or is assigned to a button by the key map, which keeps priority.
bool takeHotKey(const SDL_keysym& key, bool pressed);

// Draws the on-screen message, if one is showing, over the picture in the 32-bit window surface.
void drawMessageOverlay(SDL_Surface* surface);

struct RunControl;

// Runs frames until the window is closed or the run ends: frame, present, one event, pace.
void runFrameLoop(RunControl& control);
