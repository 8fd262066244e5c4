#include "cart/cartridge.h"

#include <algorithm>
#include <ostream>

#include "cart/boards.h"
#include "cart/page_maps.h"
#include "state/state_io.h"

namespace {

constexpr uint32_t MaxKb = CartridgeArraySize / 1024;

// Copies up to `count` bytes from the front of `image` into `target` and drops them from `image`;
// whatever the image does not hold reads as 0.
void takeBlock(std::span<const uint8_t>& image, uint8_t* target, uint32_t count)
{
    const size_t got = std::min<size_t>(image.size(), count);
    std::copy_n(image.begin(), got, target);
    std::fill(target + got, target + count, uint8_t{0});
    image = image.subspan(got);
}

}  // namespace

void applyMirroring(uint8_t mirroring)
{
    switch (mirroring) {
    case Mirroring::Horizontal: nametableMap = {0x2000, 0x2000, 0x2400, 0x2400}; break;
    case Mirroring::Vertical: nametableMap = {0x2000, 0x2400, 0x2000, 0x2400}; break;
    default: nametableMap = {0x2000, 0x2400, 0x2800, 0x2C00}; break;
    }
}

LoadResult loadCartridgeImage(std::span<const uint8_t> image, std::ostream& out)
{
    std::array<uint8_t, InesHeaderSize> header{};
    takeBlock(image, header.data(), InesHeaderSize);

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
    takeBlock(image, cartridge.prgRom.data(), cartridge.prgKb * 1024u);
    takeBlock(image, cartridge.chrMemory.data(), cartridge.chrKb * 1024u);
    std::fill(cartridge.prgRom.begin() + cartridge.prgKb * 1024, cartridge.prgRom.end(), uint8_t{0});
    std::fill(cartridge.chrMemory.begin() + cartridge.chrKb * 1024, cartridge.chrMemory.end(), uint8_t{0});

    for (uint32_t i = 0; i < chrPageMap.size(); ++i)
        chrPageMap[i] = i * 1024;
    startBoard();

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
