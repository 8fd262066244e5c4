// Music files (NSF): a game's sound program and its data, played on the console as a cartridge of
// their own. The file's program is placed at its load address (or in 4 KB banks switched through
// 0x5FF8-0x5FFF), beside 8 KB of RAM at 0x6000 and the sound chips the file names. A small driver
// that the board shows at 0x4100 calls the file's init routine with the track's number, then its
// play routine once every play period, each until its RTS.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>

#include "apu/channel_levels.h"
#include "cart/cartridge.h"

constexpr std::array<uint8_t, 5> NsfMagic = {'N', 'E', 'S', 'M', 0x1A};
constexpr uint32_t NsfHeaderSize = 128;
// The board number a music file plays on: past the 12 bits of iNES mapper numbers.
constexpr uint16_t NsfBoardNumber = 4096;

// The header's chip bits: the sound chips' own (SoundChipBit), and the FDS's.
namespace NsfChip {
using namespace SoundChipBit;
constexpr uint8_t Fds = 0x04;
}  // namespace NsfChip

// What the header says, as read.
struct NsfInfo {
    uint32_t tracks;      // 1-255
    uint32_t firstTrack;  // 0-based
    uint32_t loadAddress, initAddress, playAddress;
    std::string name, artist, copyright;
    uint32_t ntscPeriod, palPeriod;  // microseconds between play calls
    std::array<uint8_t, 8> banks;    // the first 4 KB bank of each window from 0x8000; all 0: no banking
    bool banked;
    uint8_t regions;                 // bit 0 PAL, bit 1 both
    uint8_t chips;                   // NsfChip bits
};

// The console a track plays on: PAL (or Dendy) for the init routine, its frames a second and a
// frame's CPU cycles, which set the play timer until the frames themselves are measured.
struct NsfConsole {
    bool pal = false;
    double framesPerSecond = 60;
    uint32_t frameCycles = 29781;
};

// The board's record: the track playing and the driver's play timer.
struct NsfPlayer {
    NsfInfo info;
    uint32_t track;        // 0-based
    NsfConsole console;
    uint32_t playCycles;   // CPU cycles between play calls, from the period and the frame's length
    uint32_t playStamp;    // totalCycles when the last play period began
    uint32_t frameStart;   // totalCycles at the start of the last frame
    std::array<uint8_t, 8> banks;  // 0x5FF8-0x5FFF
    uint8_t soundSelect;   // the 5B's register select (0xC000)
    std::array<uint8_t, 2> factors;  // the MMC5's multiplier (0x5205, 0x5206)
};

inline NsfPlayer nsfPlayer{};

// True when `image` begins with the music file's tag.
bool isNsfImage(std::span<const uint8_t> image);

// Reads a music file into the cartridge and starts its first track, printing the loader's lines to
// `out`. A file that cannot play (a short header, no tracks, a load address below 0x8000, data
// that does not reach the init or play address, a play period of 0) is refused with one line.
LoadResult loadNsfImage(std::span<const uint8_t> image, std::ostream& out);

// True while a music file is in the slot.
inline bool musicFileLoaded() { return cartridge.mapperNumber == NsfBoardNumber; }

// Starts track `track` (0-based, below info.tracks) from the beginning on `console`: RAM cleared,
// the sound registers silenced, the first banks in place, and the driver calling init.
void startNsfTrack(uint32_t track, const NsfConsole& console);

// The board's functions (the board table's row).
void startNsf();
void writeNsf(uint32_t address, uint8_t value);
uint32_t readNsf(uint32_t address);
void nsfFrameStart();
