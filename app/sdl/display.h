// The window or full screen the picture is shown in, and switching between them.
#pragma once

#include <SDL.h>

#include "app/screen_geometry.h"

// What the window surface shows; presentFrame draws the frame there.
inline ScreenGeometry screenGeometry = windowGeometry(DefaultScale);

// Notes the desktop's size; call once after SDL_Init, before the first window is made.
void noteDesktopSize();

// Makes the window at `scale`, or the full screen, hides the mouse pointer and clears it to black.
// False, with the previous screen gone, when SDL refuses the mode.
bool openScreen(int32_t scale, bool fullScreen);

// F11, or Alt with Return: the keys that switch between window and full screen.
bool isScreenToggleKey(const SDL_keysym& key);

// Switches between the window at the chosen scale and the full screen, and shows the frame again.
// When full screen cannot be had, the window stays.
void toggleFullScreen();
