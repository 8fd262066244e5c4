// The key-configuration screen in the window.
#pragma once

#include <string>

// Asks for a key for each of the eight buttons in turn, then writes them to `path`, creating its
// folder when needed; a failure is reported once and the keys serve for this run. Returns false
// when the window was closed on the screen: nothing is written and the program ends.
bool configureKeys(const std::string& path);
