// The console as one machine: what a front end calls. It loads a cartridge image from bytes, runs
// frames with the buttons held, hands out the picture and the samples of each frame, saves and
// loads states, and presses the reset button. Nothing here opens a file, reads a clock or starts
// a thread; the same image and buttons give the same frames and samples, bit for bit.
#pragma once

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string_view>

#include "cart/cartridge.h"
#include "cart/nsf.h"
#include "cart/save_memory.h"
#include "console/save_state.h"
#include "console/scheduler.h"
#include "input/controller.h"
#include "ppu/frame_buffer.h"

// The buttons each controller holds during a frame.
struct ControllerInput {
    ButtonState first{};
    ButtonState second{};
};

// Puts the image into the cartridge slot and switches the console on: the loader's lines go to
// `out`, and on success the CPU has been reset and the first frame may run.
LoadResult insertCartridge(std::span<const uint8_t> image, std::ostream& out);

// Takes the cartridge out: every record back at its program-start value.
void removeCartridge();

// The console the cartridge plays on (NTSC after a cartridge is inserted); set before the first
// frame. A loaded state brings its own.
void chooseRegion(Region region);
Region currentRegion();
// The console the image's NES 2.0 header names (a multi-region image: NTSC); none for iNES 1.0.
std::optional<Region> headerRegion();
// The emulated frames a second of the current console: 60 or 50.
double framesPerSecond();

// Whether the sound is emulated; set once, before the first frame (a silent run saves the work).
void setSoundEmulated(bool emulated);

// Whether a second controller is plugged in: without one, 0x4017 reads as an open port.
void plugSecondController(bool present);
bool secondControllerPlugged();

// Runs one frame with `input` held. The caller presents the picture, takes its events and paces,
// then calls countFrame.
void runConsoleFrame(const ControllerInput& input, const FrameSettings& settings);
void countFrame();
// Frames counted so far (a loaded state brings its own count).
int64_t framesRun();

// The last frame's picture and the samples it made (signed 16-bit, 44100 a second: 735 a frame at
// 60 frames a second, 882 at 50).
const FrameBuffer& picture();
// The colour emphasis of each row of the picture (for colourOf).
const LineEmphasis& pictureEmphasis();
std::span<const int16_t> frameSamples();
// The 0xRRGGBB colour of a picture byte on a row of that emphasis.
uint32_t pictureColour(uint8_t pictureByte, uint8_t emphasis);

// A music file's track `track` (0-based) from its start, on the console chosen; what its header
// says, and the track playing (0-based).
void startMusicTrack(uint32_t track);
const NsfInfo& musicInfo();
uint32_t musicTrackPlaying();

// The console's reset button: the CPU restarts; memory, PPU, APU and cartridge keep their state.
void pressResetButton();

// The console's 2 KB of RAM, and the cartridge's save memory (battery RAM, an EEPROM's bytes or a
// flash board's PRG), as they stand: a front end that keeps them itself reads and restores them here.
std::span<uint8_t> consoleRam();
std::span<uint8_t> saveMemoryBytes();

// Game Genie codes: each added code (six or eight letters) is applied from the next read on.
void addGameGenieCode(std::string_view code);
void removeGameGenieCodes();

// A byte of the CPU's memory as it stands, seen by no device (for the test-ROM protocol at 0x6000).
uint8_t peekMemory(uint32_t address);
