#include "cart/save_memory.h"

#include <algorithm>

std::span<const uint8_t> saveMemory()
{
    if (keepsFlash())
        return std::span<const uint8_t>(cartridge.prgRom).first(cartridge.prgKb * 1024u);
    return std::span<const uint8_t>(cartridge.prgRam).subspan(cartridge.workRamBytes, cartridge.batteryRamBytes);
}

void loadSaveMemory(std::span<const uint8_t> bytes)
{
    uint8_t* target = keepsFlash() ? cartridge.prgRom.data() : cartridge.prgRam.data() + cartridge.workRamBytes;
    std::copy_n(bytes.begin(), std::min(bytes.size(), saveMemory().size()), target);
    markSaveMemorySaved();
}

// A flash image is too large to compare every frame: its programs and erases say when it changed.
bool saveMemoryChanged()
{
    if (keepsFlash())
        return saveMemoryState.flashChanged;
    return !std::ranges::equal(saveMemory(), std::span(saveMemoryState.lastSaved).first(saveMemory().size()));
}

void markSaveMemorySaved()
{
    saveMemoryState.flashChanged = false;
    if (!keepsFlash())
        std::ranges::copy(saveMemory(), saveMemoryState.lastSaved.begin());
}
