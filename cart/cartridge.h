// The cartridge in the slot: the loaded iNES image and the loader, which reads it from bytes.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>

constexpr uint32_t CartridgeArraySize = 1024 * 1024;
// A cartridge without CHR ROM has this much CHR RAM at the start of chrMemory.
constexpr uint32_t ChrRamKb = 8;
constexpr uint32_t InesHeaderSize = 16;
// The largest image that can be valid: the header and full PRG and CHR arrays.
constexpr uint32_t MaxImageBytes = InesHeaderSize + 2 * CartridgeArraySize;

namespace Mirroring {
constexpr uint8_t Horizontal = 0;
constexpr uint8_t Vertical = 1;
constexpr uint8_t FourScreen = 2;
}  // namespace Mirroring

struct Cartridge {
    std::array<char, 4> magic;
    uint16_t prgKb;  // PRG ROM size in KB
    uint16_t chrKb;  // CHR ROM size in KB; 0 means CHR RAM
    uint8_t flags6;
    uint8_t flags7;
    uint8_t mirroring;  // see Mirroring
    uint8_t mapperNumber;
    std::array<uint8_t, CartridgeArraySize> prgRom;
    std::array<uint8_t, CartridgeArraySize> chrMemory;
};

inline Cartridge cartridge{};

enum class LoadResult {
    Loaded,
    FileMissing,  // (reading the file) the path cannot be opened or read
    NotAFile,     // (reading the file) a folder, FIFO, device or socket, or larger than any valid image
    NotInes,      // wrong magic: "Not a valid iNES ROM file!" was printed
    Refused,      // sizes that do not fit the cartridge arrays: a line saying why was printed
};

// Reads an iNES image into `cartridge`, sets mirroring, page maps and the board's start state,
// and prints the loader's console lines to `out`.
LoadResult loadCartridgeImage(std::span<const uint8_t> image, std::ostream& out);

// Sets nametableMap from a mirroring value (0 horizontal, 1 vertical, 2 four-screen).
void applyMirroring(uint8_t mirroring);

// The cartridge's own changeable state in a save state: the mirroring and, without CHR ROM,
// the CHR RAM (the first ChrRamKb KB of `chrMemory`).
class StateIo;
void cartridgeStateFields(StateIo& io, uint8_t& mirroring, std::array<uint8_t, ChrRamKb * 1024>& chrRam);

// CRC32 of the image as loaded: the PRG ROM, then the CHR ROM. A save state names its game by it.
uint32_t romChecksum();
