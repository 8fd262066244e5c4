// The battery-backed save memory of a cartridge: the 8 KB at CPU 0x6000-0x7FFF, kept as bytes.
// The core only compares and copies them; the host decides when to store them and where.
#pragma once

#include <array>
#include <cstdint>
#include <span>

constexpr uint32_t SaveMemoryStart = 0x6000;
constexpr uint32_t SaveMemorySize = 0x2000;

struct SaveMemoryState {
    std::array<uint8_t, SaveMemorySize> lastSaved;  // the bytes as they were last loaded or stored
};

inline SaveMemoryState saveMemoryState{};

// True when the cartridge has a battery (header byte 6, bit 1): 0x6000-0x7FFF is then its save memory.
bool hasBattery();

// The save memory as the CPU sees it now.
std::span<const uint8_t, SaveMemorySize> saveMemory();

// Puts `bytes` into the save memory (at start-up, before the CPU runs) and takes them as saved.
void loadSaveMemory(std::span<const uint8_t, SaveMemorySize> bytes);

// True when the save memory differs from the bytes last loaded or stored (one 8 KB comparison).
bool saveMemoryChanged();

// Takes the save memory as it is now as stored.
void markSaveMemorySaved();
