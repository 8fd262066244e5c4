#include "bus/cpu_bus.h"

#include "cart/save_memory.h"
#include "ppu/ppu_state.h"
#include "ppu/renderer.h"

uint8_t deviceRead(uint32_t address)
{
    if (address >= 0x2000 && address <= 0x3FFF)
        return ppuRegisterRead(address);
    if (address == 0x4015)
        return apuStatusRead();
    // The ports drive bits 0-4; bits 5-7 keep what was last on the data bus, the 0x40 of the address.
    constexpr uint8_t OpenBus = 0x40;
    if (address == 0x4016)
        return controllerPortRead() | OpenBus;
    if (address == 0x4017)
        return (secondControllerPresent ? secondControllerPortRead() : 0) | OpenBus;
    if (boardRead != nullptr && address >= 0x4020) [[unlikely]] {
        if (const uint32_t value = boardRead(address); value != BoardDoesNotAnswer)
            return static_cast<uint8_t>(value);
    }
    if (address >= PrgRamStart)
        return prgRamRead(address);
    return cpuMemory[address];
}

void deviceWrite(uint32_t address, uint8_t value)
{
    // PPU registers and mapper registers can change the picture: in pixel mode the columns the
    // CPU has passed are drawn first. (An OAM transfer changes nothing drawn before the next frame.)
    if ((address >= 0x8000 || (address >= 0x2000 && address <= 0x3FFF)) && pixelLine.active)
        drawPassedColumns();
    mapperWrite(address, value);
    if (address >= 0x8000)
        return;
    if (address >= 0x2000 && address <= 0x3FFF)
        ppuRegisterWrite(address, value);
    else if (address == 0x4014)
        oamTransfer(value);
    else if ((address >= 0x4000 && address <= 0x4013) || address == 0x4015 || address == 0x4017)
        apuRegisterWrite(static_cast<uint16_t>(address), value);
    else if (address == 0x4016)
        controllerPortWrite(value);
    else if (address >= PrgRamStart)
        prgRamWrite(address, value);
    else
        cpuMemory[address] = value;
}

uint8_t watchedPrgRead(uint32_t address, uint8_t romByte)
{
    if (prgReadWatcher != nullptr)
        prgReadWatcher(address, romByte);  // the cartridge's byte, before a code replaces it
    return cheats.cheatCount != 0 ? applyCheats(address, romByte) : romByte;
}

uint8_t fetchThroughNewWindow(uint32_t address)
{
    const uint32_t window = address >> 13;
    // Mirrored RAM is no plain window: its bytes are read one by one.
    if (address < 0x2000)
        return cpuMemory[address & RamMask];
    if (address >= PrgRamStart && address < 0x8000) {
        if (prgRamWindow.rom)
            codeWindow = {window, &cartridge.prgRom[prgRamWindow.offset]};
        else if (prgRamBytes() >= PrgRamWindowSize && prgRamWindow.readable)
            codeWindow = {window, &cartridge.prgRam[prgRamWindow.offset]};  // plain RAM: no device answers there
    } else if (address >= 0x8000 && cheats.cheatCount == 0 && prgReadWatcher == nullptr) {
        // The window's eight 1 KB pages must lie one after another in the image (every board maps
        // PRG in banks of 8 KB or more); otherwise each byte goes through the page map.
        const uint32_t first = (address - 0x8000) >> 10 & ~7u;
        bool contiguous = true;
        for (uint32_t k = 1; k < 8; ++k)
            contiguous = contiguous && prgPageMap[first + k] == prgPageMap[first] + k * 1024;
        if (contiguous)
            codeWindow = {window, &cartridge.prgRom[prgPageMap[first]]};
    }
    return cpuRead(address);
}

void oamTransfer(uint8_t page)
{
    const uint32_t base = page * 256u;
    for (uint32_t i = 0; i < 256; ++i)
        ppu.oam[(ppu.oamAddress + i) & 0xFF] = cpuRead(base + i);
}
