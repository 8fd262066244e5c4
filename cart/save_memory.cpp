#include "cart/save_memory.h"

#include <algorithm>

#include "bus/cpu_bus.h"
#include "cart/cartridge.h"

bool hasBattery() { return (cartridge.flags6 & 0x02) != 0; }

std::span<const uint8_t, SaveMemorySize> saveMemory()
{
    return std::span<const uint8_t, SaveMemorySize>(&cpuMemory[SaveMemoryStart], SaveMemorySize);
}

void loadSaveMemory(std::span<const uint8_t, SaveMemorySize> bytes)
{
    std::ranges::copy(bytes, &cpuMemory[SaveMemoryStart]);
    markSaveMemorySaved();
}

bool saveMemoryChanged() { return !std::ranges::equal(saveMemory(), saveMemoryState.lastSaved); }

void markSaveMemorySaved() { std::ranges::copy(saveMemory(), saveMemoryState.lastSaved.begin()); }
