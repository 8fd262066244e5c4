// The game's file: read whole, refused unread when it cannot be an iNES image, then given to the
// console.
#pragma once

#include <iosfwd>
#include <string>

#include "cart/cartridge.h"
#include "console/scheduler.h"

// Prints "Loading ROM: PATH", reads the file and inserts it into the console (which prints the
// loader's lines). A missing, unreadable or oversized file, a folder, FIFO, device or socket is
// reported with one line.
LoadResult loadRomFile(const std::string& path, std::ostream& out);

// The console a game plays on: `setting` (-region) ntsc, pal or dendy; or auto: the console the
// image's NES 2.0 header names, else PAL when the file name carries "(E)", "(Europe)" or "(PAL)",
// else NTSC.
Region chosenRegion(const std::string& setting, const std::string& path);
