// The SST39SF0x0 flash chip that holds the PRG of the self-writable boards (UNROM 512's flashable
// configuration, GTROM). The CPU's writes to it are commands; programming and erasing finish at
// once, so a game's status polling ends on its first read.
#pragma once

#include <cstdint>

#include "cart/cartridge.h"

// The 1 KB of PRG shown in every window while the chip answers with its ID: the manufacturer
// (0xBF) at even addresses, the device (0xB7) at odd ones. The last page of prgRom, past any
// flash image.
constexpr uint32_t FlashIdPage = CartridgeArraySize - 1024;

// The chip's command state: how far a command sequence has come, and whether reads give the ID.
struct FlashState {
    uint8_t step;
    uint8_t idMode;

    bool operator==(const FlashState&) const = default;
};

// True when the loaded board's PRG is a flash chip the game can write.
bool isFlashBoard();
// True when the flash's contents are the game's save memory (the battery bit of the header): the
// whole PRG image then goes to the .sav file.
bool keepsFlash();

// The power-on chip: read mode, and its ID page ready.
void startFlash();
// A CPU write that reaches the chip at `address` of the flash. Returns true when the chip went into
// or out of its ID mode: the board then maps its PRG again through showFlashId.
bool flashWrite(uint32_t address, uint8_t value);
// In ID mode, shows the ID page in every PRG window and returns true; otherwise false, and the board
// maps its banks.
bool showFlashId();

class StateIo;
void flashStateFields(StateIo& io, FlashState& state);
