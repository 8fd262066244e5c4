// Gamepads through SDL's joysticks, and the gamepad configuration screen.
#pragma once

#include <string>

#include <SDL.h>

// Opens every joystick SDL reports and names them on the console; the first two become pads 1 and 2.
void openGamepads();

// Connects the opened pads with the current gamepadConfig (after it is loaded or chosen).
void connectGamepads();

// True for the event types of joysticks.
bool isPadEvent(Uint8 type);

// Gives a joystick event to its pad.
void applyJoystickEvent(const SDL_Event& event);

// Asks for a pad input for each of the eight buttons in turn, on the key screen's picture, then writes
// `path` (gamepad.cfg), creating its folder. Returns false when the window was closed on the screen:
// nothing is written.
bool configurePad(const std::string& path);
