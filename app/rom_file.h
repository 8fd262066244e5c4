// The game's file: read whole, refused unread when it cannot be an iNES image, then given to the
// console.
#pragma once

#include <iosfwd>
#include <string>

#include "cart/cartridge.h"

// Prints "Loading ROM: PATH", reads the file and inserts it into the console (which prints the
// loader's lines). A missing, unreadable or oversized file, a folder, FIFO, device or socket is
// reported with one line.
LoadResult loadRomFile(const std::string& path, std::ostream& out);
