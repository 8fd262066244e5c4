// The cartridge in the slot: the loaded iNES image and the loader, which reads it from bytes.
#pragma once

#include <array>
#include <cstdint>
#include <iosfwd>
#include <span>

constexpr uint32_t CartridgeArraySize = 1024 * 1024;
// The most CHR RAM a cartridge may have (at the start of chrMemory, when it has no CHR ROM).
constexpr uint32_t MaxChrRamBytes = 32 * 1024;
// The most PRG RAM (work RAM and battery-backed RAM together) a cartridge may have.
constexpr uint32_t MaxPrgRamBytes = 64 * 1024;
// The largest flash chip that holds the PRG of a board the game may write (SST39SF040).
constexpr uint32_t MaxFlashBytes = 512 * 1024;
// Without a NES 2.0 header a cartridge has 8 KB of PRG RAM, and 8 KB of CHR RAM when it has no CHR ROM.
constexpr uint32_t DefaultRamBytes = 8 * 1024;
// Where prgRom keeps, after room for the largest PRG ROM, a copy of the PRG RAM for a board that
// shows RAM banks among its ROM windows (the MMC5): the CPU reads them through the page map there.
constexpr uint32_t PrgRamCopy = CartridgeArraySize;
constexpr uint32_t InesHeaderSize = 16;
constexpr uint32_t TrainerSize = 512;
// The largest image that can be valid: the header and full PRG and CHR arrays.
constexpr uint32_t MaxImageBytes = InesHeaderSize + 2 * CartridgeArraySize;

namespace Mirroring {
constexpr uint8_t Horizontal = 0;
constexpr uint8_t Vertical = 1;
constexpr uint8_t FourScreen = 2;
}  // namespace Mirroring

// The console the image was made for (NES 2.0 header byte 12).
namespace Timing {
constexpr uint8_t Ntsc = 0;
constexpr uint8_t Pal = 1;
constexpr uint8_t MultiRegion = 2;
constexpr uint8_t Dendy = 3;
}  // namespace Timing

struct Cartridge {
    std::array<char, 4> magic;
    uint16_t prgKb;  // PRG ROM size in KB (rounded up)
    uint16_t chrKb;  // CHR ROM size in KB; 0 means CHR RAM
    uint8_t flags6;
    uint8_t flags7;     // 0 in an image whose bytes 7-15 are not a valid header
    uint8_t mirroring;  // see Mirroring
    uint16_t mapperNumber;  // 0-4095
    uint8_t submapper;      // 0-15, from a NES 2.0 header
    bool nes2;              // the header is NES 2.0
    uint8_t timing;         // see Timing
    bool trainer;           // 512 bytes for 0x7000-0x71FF came before the PRG ROM
    uint32_t workRamBytes;     // PRG RAM without a battery, the first part of prgRam
    uint32_t batteryRamBytes;  // PRG RAM kept by a battery, after the work RAM: the .sav file's bytes
    uint32_t chrRamBytes;      // CHR RAM, with or without a battery: in chrMemory after the CHR ROM
    uint32_t checksum;         // CRC32 of the PRG ROM, then the CHR ROM, as loaded (see romChecksum)
    std::array<uint8_t, CartridgeArraySize + MaxPrgRamBytes> prgRom;  // and the PRG RAM's copy at PrgRamCopy
    std::array<uint8_t, CartridgeArraySize> chrMemory;
    std::array<uint8_t, MaxPrgRamBytes> prgRam;  // the CPU sees it at 0x6000-0x7FFF
};

inline Cartridge cartridge{};

enum class LoadResult {
    Loaded,
    FileMissing,  // (reading the file) the path cannot be opened or read
    NotAFile,     // (reading the file) a folder, FIFO, device or socket, or larger than any valid image
    NotInes,      // wrong magic: "Not a valid iNES ROM file!" was printed
    Refused,      // sizes that do not fit the cartridge arrays: a line saying why was printed
};

// Reads an iNES or NES 2.0 image into `cartridge`, sets mirroring, page maps and the board's start
// state, and prints the loader's console lines to `out`.
LoadResult loadCartridgeImage(std::span<const uint8_t> image, std::ostream& out);

// All PRG RAM: the work RAM and the battery-backed RAM.
inline uint32_t prgRamBytes() { return cartridge.workRamBytes + cartridge.batteryRamBytes; }

// Sets nametableMap from a mirroring value (0 horizontal, 1 vertical, 2 four-screen).
void applyMirroring(uint8_t mirroring);

// The cartridge's changeable memories in a save state, each of the running cartridge's size.
struct CartridgeMemories {
    uint8_t mirroring;
    std::array<uint8_t, MaxChrRamBytes> chrRam;  // as in `chrMemory` after the CHR ROM
    std::array<uint8_t, MaxPrgRamBytes> prgRam;
    bool prgRamKept;  // false in a state older than format 4, whose PRG RAM was in the CPU's memory
    std::array<uint8_t, MaxFlashBytes> flash;  // a flash board's PRG, as its game has written it
    bool flashKept;   // false on other boards, and in a state older than format 10
};

// The cartridge's memories in a save state. A state older than format 4 holds 8 KB of CHR RAM and
// no PRG RAM.
class StateIo;
void cartridgeStateFields(StateIo& io, CartridgeMemories& memories);

// CRC32 of the image as loaded: the PRG ROM, then the CHR ROM (before a flash board's game wrote
// its PRG). A save state names its game by it.
inline uint32_t romChecksum() { return cartridge.checksum; }
