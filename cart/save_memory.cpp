#include "cart/save_memory.h"

#include <algorithm>

std::span<const uint8_t> saveMemory()
{
    return std::span<const uint8_t>(cartridge.prgRam).subspan(cartridge.workRamBytes, cartridge.batteryRamBytes);
}

void loadSaveMemory(std::span<const uint8_t> bytes)
{
    std::ranges::copy(bytes.first(std::min(bytes.size(), saveMemory().size())),
                      cartridge.prgRam.begin() + cartridge.workRamBytes);
    markSaveMemorySaved();
}

bool saveMemoryChanged()
{
    return !std::ranges::equal(saveMemory(), std::span(saveMemoryState.lastSaved).first(saveMemory().size()));
}

void markSaveMemorySaved() { std::ranges::copy(saveMemory(), saveMemoryState.lastSaved.begin()); }
