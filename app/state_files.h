// Save states, slots and screenshots as files. Each returns the message to show or print.
#pragma once

#include <cstdint>
#include <string>

// F5: the running machine into the slot's file ("State 3 saved"). When the ROM's folder cannot be
// written, the working folder takes the file, and the first time a console line says so.
std::string saveSlot(const std::string& romPath, int32_t slot);
// F7: the slot's state, from beside the ROM or else from the working folder ("State 3 loaded",
// "No state in slot 2", "State 2 is damaged", ...). A refused state changes nothing.
std::string loadSlot(const std::string& romPath, int32_t slot);
// F12: the FrameBuffer as NAME-YYYYMMDD-HHMMSS.png in the working folder ("Screenshot saved").
std::string takeScreenshot(const std::string& romPath);
// F9: starts a movie in the working folder (NAME-YYYYMMDD-HHMMSS.txt), or stops the one being
// recorded; the message to show.
std::string toggleMovie(const std::string& romPath);

// -loadstate and -savestate: empty on success, otherwise the error line.
std::string loadStateFile(const std::string& path);
std::string saveStateFile(const std::string& path);
