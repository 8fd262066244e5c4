// The window's frame loop: a frame, the picture, one event, the pace.
#pragma once

#include <SDL.h>

struct RunControl;

// Takes one window event: a key press or release into the key buttons, the full-screen switch, or
// the quit request. Gamepad reports on the way are given to their pads without counting as the
// event. Events the emulator does not use are never queued (see ignoreUnusedEvents).
void takeWindowEvent();

// Tells SDL to drop event types that the emulator never looks at, so that they cannot
// delay the keys or the quit request.
void ignoreUnusedEvents();

// Runs frames until the window is closed or the run ends: frame, present, one event, pace.
void runFrameLoop(RunControl& control);
