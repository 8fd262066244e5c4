#include "cart/cartridge.h"

#include <algorithm>
#include <ostream>
#include <string>

#include "cart/boards.h"
#include "cart/flash.h"
#include "cart/page_maps.h"
#include "cart/save_memory.h"
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

// What a header says about the cartridge.
struct Header {
    bool nes2 = false;
    bool tagged = false;  // bytes 7-15 hold no header: a ripper's tag or junk
    uint16_t mapper = 0;
    uint8_t submapper = 0;
    uint64_t prgBytes = 0;
    uint64_t chrBytes = 0;
    uint32_t workRam = 0;
    uint32_t batteryRam = 0;
    uint32_t chrRam = 0;
    uint8_t timing = Timing::Ntsc;
};

// A NES 2.0 ROM size: byte `low` with the nibble `high` above it, in units of `unit` bytes; when
// the nibble is 0xF, `low` is EEEEEEMM and the size 2^E x (2 MM + 1) bytes.
uint64_t romSize(uint8_t low, uint8_t high, uint32_t unit)
{
    if (high != 0xF)
        return (uint64_t{high} << 8 | low) * unit;
    const uint32_t exponent = low >> 2;
    return exponent > 40 ? UINT64_MAX : (uint64_t{1} << exponent) * ((low & 3) * 2 + 1);
}

// A NES 2.0 RAM size nibble: 0 none, n 64 << n bytes.
uint32_t ramSize(uint32_t shift) { return shift == 0 ? 0 : 64u << shift; }

// Reads the header. NES 2.0 when byte 7 says so and the sizes it gives fit in the file; iNES 1.0
// when byte 7 says so and bytes 12-15 are 0; otherwise bytes 7-15 are a ripper's tag or junk
// ("DiskDude!") and only byte 6 counts.
Header readHeader(const std::array<uint8_t, InesHeaderSize>& h, size_t fileBytes)
{
    Header header;
    const uint64_t before = InesHeaderSize + ((h[6] & 0x04) ? TrainerSize : 0);
    if ((h[7] & 0x0C) == 0x08) {
        header.prgBytes = romSize(h[4], h[9] & 0x0F, 16384);
        header.chrBytes = romSize(h[5], h[9] >> 4, 8192);
        if (header.prgBytes <= fileBytes && header.chrBytes <= fileBytes &&
            before + header.prgBytes + header.chrBytes <= fileBytes) {
            header.nes2 = true;
            header.mapper = static_cast<uint16_t>((h[8] & 0x0F) << 8 | (h[7] & 0xF0) | h[6] >> 4);
            header.submapper = h[8] >> 4;
            header.workRam = ramSize(h[10] & 0x0F);
            header.batteryRam = ramSize(h[10] >> 4);
            header.chrRam = ramSize(h[11] & 0x0F) + ramSize(h[11] >> 4);
            if (header.chrBytes == 0 && header.chrRam == 0)
                header.chrRam = DefaultRamBytes;  // no board has no CHR at all
            header.timing = h[12] & 3;
            return header;
        }
    }
    header.tagged = (h[7] & 0x0C) != 0 || h[12] != 0 || h[13] != 0 || h[14] != 0 || h[15] != 0;
    header.mapper = static_cast<uint16_t>((header.tagged ? 0 : h[7] & 0xF0) | h[6] >> 4);
    header.prgBytes = h[4] * 16384u;
    header.chrBytes = h[5] * 8192u;
    // The board's PRG RAM (8 KB on most); 8 KB of CHR RAM without CHR ROM, or what the board has.
    const Board* board = findBoard(header.mapper);
    ((h[6] & 0x02) ? header.batteryRam : header.workRam) = board != nullptr ? board->prgRamBytes : DefaultRamBytes;
    // TQROM (119) has its 8 KB of CHR RAM beside the CHR ROM.
    if (header.chrBytes == 0 || header.mapper == 119)
        header.chrRam = board != nullptr && board->chrRamBytes != 0 ? board->chrRamBytes : DefaultRamBytes;
    return header;
}

// "8 KB", or "512 bytes" for a size that is not a whole number of KB.
std::string sizeText(uint64_t bytes)
{
    return bytes % 1024 == 0 ? std::to_string(bytes / 1024) + " KB" : std::to_string(bytes) + " bytes";
}

// The line that says what the header describes, e.g. "Mapper: 4.1 (MMC6), 256 KB PRG, 128 KB CHR,
// 1 KB battery RAM, NTSC".
std::string describe(const Header& header)
{
    std::string line = "Mapper: " + std::to_string(header.mapper);
    if (header.submapper != 0)
        line += "." + std::to_string(header.submapper);
    const bool mmc6 = header.nes2 && header.mapper == 4 && header.submapper == 1;
    if (const Board* board = findBoard(header.mapper); board != nullptr)
        line += std::string(" (") + (mmc6 ? "MMC6" : board->name) + ")";
    line += ", " + sizeText(header.prgBytes) + " PRG";
    if (header.chrBytes != 0)
        line += ", " + sizeText(header.chrBytes) + " CHR";
    if (header.chrRam != 0)
        line += ", " + sizeText(header.chrRam) + " CHR RAM";
    if (header.workRam != 0)
        line += ", " + sizeText(header.workRam) + " RAM";
    if (header.batteryRam != 0)
        line += ", " + sizeText(header.batteryRam) + " battery RAM";
    constexpr std::array<const char*, 4> TimingNames = {"NTSC", "PAL", "multi-region", "Dendy"};
    return line + ", " + TimingNames[header.timing];
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
    const size_t fileBytes = image.size();
    std::array<uint8_t, InesHeaderSize> bytes{};
    takeBlock(image, bytes.data(), InesHeaderSize);
    std::copy_n(bytes.begin(), 4, cartridge.magic.begin());
    if (bytes[0] != 'N' || bytes[1] != 'E' || bytes[2] != 'S' || bytes[3] != 0x1A) {
        out << "Not a valid iNES ROM file!\n";
        return LoadResult::NotInes;
    }

    const Header header = readHeader(bytes, fileBytes);
    out << describe(header) << "\n";
    if (!isSupportedMapper(header.mapper))
        out << "Mapper " << header.mapper << " is not supported: the game will load but will not run correctly.\n";

    if (header.prgBytes == 0) {
        out << "The image has no PRG ROM: it cannot be loaded.\n";
        return LoadResult::Refused;
    }
    const uint64_t prgKb = (header.prgBytes + 1023) / 1024, chrKb = (header.chrBytes + 1023) / 1024;
    if (prgKb > MaxKb || chrKb > MaxKb) {
        out << "The image announces " << sizeText(header.prgBytes) << " PRG and " << sizeText(header.chrBytes)
            << " CHR, more than the " << MaxKb << " KB of each that Tallowby supports.\n";
        return LoadResult::Refused;
    }
    if (header.workRam + header.batteryRam > MaxPrgRamBytes || header.chrRam > MaxChrRamBytes) {
        out << "The image asks for " << sizeText(header.workRam + header.batteryRam) << " of PRG RAM and "
            << sizeText(header.chrRam) << " of CHR RAM, more than the " << sizeText(MaxPrgRamBytes) << " and "
            << sizeText(MaxChrRamBytes) << " that Tallowby supports.\n";
        return LoadResult::Refused;
    }

    if (chrKb * 1024 + header.chrRam > DisabledChrPage) {
        out << "The image's CHR ROM and CHR RAM together pass the " << sizeText(DisabledChrPage)
            << " Tallowby has for them.\n";
        return LoadResult::Refused;
    }

    cartridge.prgKb = static_cast<uint16_t>(prgKb);
    cartridge.chrKb = static_cast<uint16_t>(chrKb);
    cartridge.flags6 = bytes[6];
    cartridge.flags7 = header.tagged ? 0 : bytes[7];
    cartridge.mapperNumber = header.mapper;
    cartridge.submapper = header.submapper;
    cartridge.nes2 = header.nes2;
    cartridge.timing = header.timing;
    cartridge.workRamBytes = header.workRam;
    cartridge.batteryRamBytes = header.batteryRam;
    cartridge.chrRamBytes = header.chrRam;
    cartridge.mirroring = (cartridge.flags6 & 0x08) ? Mirroring::FourScreen : (cartridge.flags6 & 0x01);
    applyMirroring(cartridge.mirroring);

    // The trainer goes to 0x7000-0x71FF of the PRG RAM, as a copier loaded it before the game ran.
    cartridge.prgRam.fill(0);
    prgRamWindow = PrgRamWindow{};
    cartridge.trainer = (cartridge.flags6 & 0x04) != 0;
    if (cartridge.trainer) {
        std::array<uint8_t, TrainerSize> trainer{};
        takeBlock(image, trainer.data(), TrainerSize);
        for (uint32_t i = 0; i < TrainerSize; ++i)
            prgRamWrite(0x7000 + i, trainer[i]);
    }
    takeBlock(image, cartridge.prgRom.data(), cartridge.prgKb * 1024u);
    takeBlock(image, cartridge.chrMemory.data(), cartridge.chrKb * 1024u);
    std::fill(cartridge.prgRom.begin() + cartridge.prgKb * 1024, cartridge.prgRom.end(), uint8_t{0});
    const uint32_t prgChecksum = crc32(std::span(cartridge.prgRom).first(cartridge.prgKb * 1024u));
    cartridge.checksum = crc32(std::span(cartridge.chrMemory).first(cartridge.chrKb * 1024u), prgChecksum);
    std::fill(cartridge.chrMemory.begin() + cartridge.chrKb * 1024, cartridge.chrMemory.end(), uint8_t{0});

    for (uint32_t i = 0; i < chrPageMap.size(); ++i)
        chrPageMap[i] = i * 1024;
    startBoard();

    out << "Loaded " << cartridge.prgKb << " KB PRG, " << cartridge.chrKb << " KB CHR.\n";
    return LoadResult::Loaded;
}

void cartridgeStateFields(StateIo& io, CartridgeMemories& memories)
{
    io.field(memories.mirroring, 0, Mirroring::FourScreen);
    // Format 8 keeps CHR RAM beside CHR ROM too (TQROM); formats 4-7 kept it only without CHR ROM,
    // and older ones 8 KB of it.
    const uint32_t chrRamBytes = io.since(4) ? cartridge.chrRamBytes : DefaultRamBytes;
    io.bytes(memories.chrRam, io.since(8) || cartridge.chrKb == 0 ? chrRamBytes : 0);
    memories.prgRamKept = io.since(4);
    if (memories.prgRamKept)
        io.bytes(memories.prgRam, prgRamBytes());
    memories.flashKept = io.since(10) && isFlashBoard();
    if (memories.flashKept)
        io.bytes(memories.flash, cartridge.prgKb * 1024u);
}

