// The page tables through which the CPU and the PPU see the cartridge.
#pragma once

#include <array>
#include <cstdint>

// 32 pages of 1 KB for CPU 0x8000-0xFFFF: byte offsets into Cartridge::prgRom.
using PrgPageMap = std::array<uint32_t, 32>;
// 8 pages of 1 KB for PPU 0x0000-0x1FFF: byte offsets into Cartridge::chrMemory.
using ChrPageMap = std::array<uint32_t, 8>;
// The PPU address behind each nametable window 0x2000, 0x2400, 0x2800, 0x2C00.
using NametableMap = std::array<uint32_t, 4>;

inline PrgPageMap prgPageMap{};
inline ChrPageMap chrPageMap{};
inline NametableMap nametableMap{};

// Points the 1 KB pages of one window (size bytes wide) at bank `bank` of the PRG image.
// Banks beyond the loaded image wrap around it, so no read ever leaves the loaded data.
void mapPrg(uint32_t window, uint32_t bank, uint32_t size);
// The same for the CHR image; does nothing on a cartridge with CHR RAM.
void mapChr(uint32_t window, uint32_t bank, uint32_t size);

class StateIo;
// The page maps in a save state: byte offsets into the loaded images (never pointers), each
// checked on reading to be a whole page inside the image of the running cartridge.
void pageMapFields(StateIo& io, PrgPageMap& prg, ChrPageMap& chr, NametableMap& nametables);
