// The CPU address space: every CPU read and write goes through cpuRead and cpuWrite.
#pragma once

#include <array>
#include <cstdint>

#include "apu/channels.h"
#include "bus/cheats.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "input/controller.h"
#include "ppu/registers.h"

// Backs every CPU address that no device claims. The 2 KB of internal RAM at 0x0000-0x07FF
// answer at 0x0800-0x1FFF as well (three mirrors), and the cartridge's PRG RAM answers at
// 0x6000-0x7FFF: those bytes of CpuMemory are never used.
using CpuMemory = std::array<uint8_t, 0x10000>;
inline CpuMemory cpuMemory{};
constexpr uint32_t RamMask = 0x07FF;

// Copies the 256 bytes at page*256 into OAM from oamAddress on (a write to 0x4014).
void oamTransfer(uint8_t page);

// The accesses that reach neither PRG ROM nor RAM (0x0000-0x1FFF): the PPU registers, the APU,
// the controller port, the mapper and the rest of CpuMemory. Decoded out of line; address is
// already 16 bits.
uint8_t deviceRead(uint32_t address);
void deviceWrite(uint32_t address, uint8_t value);

// A read of 0x8000-0xFFFF where a board watches the reads or a Game Genie code is active.
uint8_t watchedPrgRead(uint32_t address, uint8_t romByte);

// A read of 0x8000-0xFFFF: PRG ROM through the page map.
[[gnu::always_inline]] inline uint8_t prgRead(uint32_t address)
{
    const uint8_t value = cartridge.prgRom[prgPageMap[(address - 0x8000) >> 10] + (address & 0x3FF)];
    if (cheats.cheatCount != 0 || prgReadWatcher != nullptr) [[unlikely]]
        return watchedPrgRead(address, value);
    return value;
}

// Addresses carried past 0xFFFF (an index or pointer sum) wrap to 16 bits here and in cpuWrite.
[[gnu::always_inline]] inline uint8_t cpuRead(uint32_t address)
{
    address &= 0xFFFF;
    if (address >= 0x8000)
        return prgRead(address);
    if (address < 0x2000)
        return cpuMemory[address & RamMask];
    return deviceRead(address);
}

// Reads a program byte through cpuRead and makes its 8 KB window the code window when that is
// plain memory. Out of line: it runs when the program leaves the window.
uint8_t fetchThroughNewWindow(uint32_t address);

// The same read for program bytes (opcodes and operands; address is 16 bits): straight from the
// code window while the program stays inside it.
[[gnu::always_inline]] inline uint8_t cpuFetch(uint32_t address)
{
    if ((address >> 13) == codeWindow.number) [[likely]]
        return codeWindow.bytes[address & 0x1FFF];
    return fetchThroughNewWindow(address);
}

// RAM is written at once: mapperWrite ignores every address below 0x8000.
[[gnu::always_inline]] inline void cpuWrite(uint32_t address, uint8_t value)
{
    address &= 0xFFFF;
    if (address < 0x2000)
        cpuMemory[address & RamMask] = value;
    else
        deviceWrite(address, value);
}
