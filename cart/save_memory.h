// The cartridge's PRG RAM at CPU 0x6000-0x7FFF, and its battery-backed part, the save memory, kept
// as bytes: the core only compares and copies them; the host decides when to store them and where.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/flash.h"
#include "cart/page_maps.h"

constexpr uint32_t PrgRamStart = 0x6000;
constexpr uint32_t PrgRamWindowSize = 0x2000;

// A read of 0x6000-0x7FFF: the PRG RAM bank of the window, a smaller RAM repeated through the
// 8 KB, or the PRG ROM bank a board shows there; with no PRG RAM, or with the board's RAM switched
// off, the open bus (the address's high byte, last on the bus).
inline uint8_t prgRamRead(uint32_t address)
{
    if (isMmc6())
        return mmc6RamRead(address);
    if (prgRamWindow.rom)
        return cartridge.prgRom[prgRamWindow.offset + (address & (PrgRamWindowSize - 1))];
    const uint32_t size = std::min(prgRamBytes(), PrgRamWindowSize);
    if (size == 0 || !prgRamWindow.readable)
        return static_cast<uint8_t>(address >> 8);
    return cartridge.prgRam[prgRamWindow.offset + (address & (size - 1))];
}

inline void prgRamWrite(uint32_t address, uint8_t value)
{
    if (isMmc6())
        return mmc6RamWrite(address, value);
    if (prgRamWindow.rom)
        return;
    const uint32_t size = std::min(prgRamBytes(), PrgRamWindowSize);
    if (size != 0 && prgRamWindow.writable)
        cartridge.prgRam[prgRamWindow.offset + (address & (size - 1))] = value;
}

struct SaveMemoryState {
    std::array<uint8_t, MaxPrgRamBytes> lastSaved;  // the bytes as they were last loaded or stored
    bool flashChanged;  // a flash save memory was programmed or erased since then
};

inline SaveMemoryState saveMemoryState{};

// True when the cartridge keeps PRG RAM with a battery (iNES byte 6 bit 1, or a NES 2.0 header's
// battery RAM size), or keeps its saves in its flash PRG.
inline bool hasBattery() { return cartridge.batteryRamBytes != 0 || keepsFlash(); }

// The save memory as the CPU sees it now: the battery-backed PRG RAM, after the work RAM; on a
// board that saves into its flash, the whole PRG image.
std::span<const uint8_t> saveMemory();

// Puts `bytes` (of the save memory's size) into the save memory at start-up, before the CPU runs,
// and takes them as saved.
void loadSaveMemory(std::span<const uint8_t> bytes);

// True when the save memory differs from the bytes last loaded or stored.
bool saveMemoryChanged();

// Takes the save memory as it is now as stored.
void markSaveMemorySaved();
