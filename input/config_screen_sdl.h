// The key-configuration screen in the window.
#pragma once

// Asks for a key for each of the eight buttons in turn, then writes keymap.cfg.
// Returns false when the window was closed on the screen: nothing is written and the program ends.
bool configureKeys();
