#include "bus/cartridge.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <ostream>

#include "bus/cpu_bus.h"
#include "bus/mappers.h"
#include "bus/page_maps.h"
#include "state/state_io.h"

namespace {

constexpr uint32_t HeaderSize = 16;
constexpr uint32_t MaxKb = CartridgeArraySize / 1024;

// Reads up to `count` bytes into `target`; whatever the file does not hold reads as 0.
void readBlock(std::ifstream& file, uint8_t* target, uint32_t count)
{
    file.read(reinterpret_cast<char*>(target), count);
    const auto got = static_cast<uint32_t>(std::max<std::streamsize>(file.gcount(), 0));
    std::fill(target + got, target + count, uint8_t{0});
}

void setMapperStartState()
{
    const uint32_t lastBank = cartridge.prgKb / 16 - 1;
    const uint32_t prg8kBanks = cartridge.prgKb / 8;
    switch (cartridge.mapperNumber) {
    case 1:
        // The MMC1 reset write; boards of 512 KB start in their first 256 KB half.
        cpuWrite(0x8000, 0x80);
        mapPrg(0, 0, 16384);
        mapPrg(1, std::min<uint32_t>(cartridge.prgKb, 256) / 16 - 1, 16384);
        break;
    case 0:
    case 2:
    case 3:
    case 71:
        mapPrg(0, 0, 16384);
        mapPrg(1, lastBank, 16384);
        break;
    case 4:
        resetMmc3();
        mapperState.mmc3IrqCounter = 0;
        mapperState.mmc3IrqReload = 0;
        mapperState.mmc3IrqEnabled = 0;
        break;
    case 7:
    case 11:
    case 34:
    case 66:
        mapPrg(0, 0, 32768);
        mapChr(0, 0, 8192);
        break;
    case 9:
        mapPrg(0, 0, 8192);
        mapPrg(1, prg8kBanks - 3, 8192);
        mapPrg(2, prg8kBanks - 2, 8192);
        mapPrg(3, prg8kBanks - 1, 8192);
        mapperState.mmc2Latch = 0xFE;
        break;
    default:
        break;  // unsupported: every PRG page stays at offset 0
    }
}

}  // namespace

bool isSupportedMapper(uint8_t mapperNumber)
{
    switch (mapperNumber) {
    case 0: case 1: case 2: case 3: case 4: case 7: case 9: case 11: case 34: case 66: case 71:
        return true;
    default:
        return false;
    }
}

void applyMirroring(uint8_t mirroring)
{
    switch (mirroring) {
    case Mirroring::Horizontal: nametableMap = {0x2000, 0x2000, 0x2400, 0x2400}; break;
    case Mirroring::Vertical: nametableMap = {0x2000, 0x2400, 0x2000, 0x2400}; break;
    default: nametableMap = {0x2000, 0x2400, 0x2800, 0x2C00}; break;
    }
}

LoadResult loadCartridge(const std::string& path, std::ostream& out)
{
    out << "Loading ROM: " << path << "\n";

    std::error_code error;
    std::ifstream file;
    if (!std::filesystem::is_directory(path, error))
        file.open(path, std::ios::binary);
    if (!file.is_open()) {
        out << "File does not exist!\n";
        return LoadResult::FileMissing;
    }

    std::array<uint8_t, HeaderSize> header{};
    readBlock(file, header.data(), HeaderSize);
    if (file.bad()) {
        out << "File does not exist!\n";
        return LoadResult::FileMissing;
    }

    std::copy_n(header.begin(), 4, cartridge.magic.begin());
    cartridge.prgKb = static_cast<uint16_t>(header[4] * 16);
    cartridge.chrKb = static_cast<uint16_t>(header[5] * 8);
    cartridge.flags6 = header[6];
    cartridge.flags7 = header[7];

    if (header[0] != 'N' || header[1] != 'E' || header[2] != 'S' || header[3] != 0x1A) {
        out << "Not a valid iNES ROM file!\n";
        return LoadResult::NotInes;
    }

    if (cartridge.flags7 == 0x44)
        cartridge.flags7 = 0;
    cartridge.mapperNumber = static_cast<uint8_t>((cartridge.flags6 >> 4) | (cartridge.flags7 & 0xF0));
    out << "Mapper: " << int{cartridge.mapperNumber} << "\n";
    if (!isSupportedMapper(cartridge.mapperNumber))
        out << "Mapper " << int{cartridge.mapperNumber}
            << " is not supported: the game will load but will not run correctly.\n";

    if (cartridge.prgKb == 0) {
        out << "The image has no PRG ROM: it cannot be loaded.\n";
        return LoadResult::Refused;
    }
    if (cartridge.prgKb > MaxKb || cartridge.chrKb > MaxKb) {
        out << "The image announces " << cartridge.prgKb << " KB PRG and " << cartridge.chrKb
            << " KB CHR, more than the " << MaxKb << " KB of each that Tallowby supports.\n";
        return LoadResult::Refused;
    }

    cartridge.mirroring = (cartridge.flags6 & 0x08) ? Mirroring::FourScreen : (cartridge.flags6 & 0x01);
    applyMirroring(cartridge.mirroring);

    // The trainer bit is not examined: PRG data always start at offset 16.
    readBlock(file, cartridge.prgRom.data(), cartridge.prgKb * 1024u);
    readBlock(file, cartridge.chrMemory.data(), cartridge.chrKb * 1024u);
    std::fill(cartridge.prgRom.begin() + cartridge.prgKb * 1024, cartridge.prgRom.end(), uint8_t{0});
    std::fill(cartridge.chrMemory.begin() + cartridge.chrKb * 1024, cartridge.chrMemory.end(), uint8_t{0});

    for (uint32_t i = 0; i < chrPageMap.size(); ++i)
        chrPageMap[i] = i * 1024;
    setMapperStartState();

    out << "Loaded " << cartridge.prgKb << " KB PRG, " << cartridge.chrKb << " KB CHR.\n";
    return LoadResult::Loaded;
}

void cartridgeStateFields(StateIo& io, uint8_t& mirroring, std::array<uint8_t, ChrRamKb * 1024>& chrRam)
{
    io.field(mirroring, 0, Mirroring::FourScreen);
    io.bytes(chrRam, cartridge.chrKb == 0 ? chrRam.size() : 0);
}

uint32_t romChecksum()
{
    const uint32_t prg = crc32(std::span(cartridge.prgRom).first(cartridge.prgKb * 1024u));
    return crc32(std::span(cartridge.chrMemory).first(cartridge.chrKb * 1024u), prg);
}
