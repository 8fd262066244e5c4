// The player's hot keys in the window, and the message drawn over the picture.
#pragma once

#include <SDL.h>

// A hot key (F5, F7, 0-9, P, Tab, Ctrl+R, F12, F11, Alt+Enter) pressed or released; false when
// `key` is not one, or is assigned to a button by the key map, which keeps priority.
bool takeHotKey(const SDL_keysym& key, bool pressed);

// Draws the on-screen message, if one is showing, over the picture in the 32-bit window surface.
void drawMessageOverlay(SDL_Surface* surface);
