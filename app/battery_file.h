// The battery save file GAME.sav beside the ROM: loaded at start, stored within two seconds of
// a change to the save memory and again when the program ends, always replaced atomically.
#pragma once

#include <chrono>
#include <iosfwd>
#include <optional>
#include <string>

struct BatteryFile {
    std::string path;                // empty: the cartridge has no battery, or saving is off
    bool reportedUnwritable = false;  // the "cannot write" line is printed once per run
    std::optional<std::chrono::steady_clock::time_point> changedSince;  // first change not yet stored
};

// The save file of a ROM: its path with the extension replaced by ".sav".
std::string saveFilePath(const std::string& romPath);

// For a cartridge with a battery: loads the save file into the save memory when there is one. A file
// of the wrong size or that cannot be read is reported and moved aside to ".sav.bad"; the game then
// starts with empty save memory. Call after the cartridge is loaded and before the CPU is reset.
void openBatteryFile(BatteryFile& battery, const std::string& romPath, std::ostream& out);

// Once per frame: stores the save memory when it has been changed for a second or more.
void checkBatteryFile(BatteryFile& battery, std::chrono::steady_clock::time_point now, std::ostream& out);

// At the end of the run: stores the save memory when it changed since it was last stored.
void closeBatteryFile(BatteryFile& battery, std::ostream& out);
