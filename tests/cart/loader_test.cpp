// The iNES loader and the page maps: console lines, refusals, header fields and start mappings.
// (Missing files, folders, FIFOs and devices are refused by the real program in tests/e2e.)
#include <gtest/gtest.h>

#include "bus/cpu_bus.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "support/harness.h"

namespace {

// An image of header bytes 4-15 and `size` bytes after the header, byte i holding i AND 0xFF.
std::vector<uint8_t> imageBytes(const std::array<uint8_t, 12>& header, size_t size)
{
    std::vector<uint8_t> bytes(InesHeaderSize + size);
    std::copy_n("NES\x1A", 4, bytes.begin());
    std::ranges::copy(header, bytes.begin() + 4);
    for (size_t i = 0; i < size; ++i)
        bytes[InesHeaderSize + i] = static_cast<uint8_t>(i);
    return bytes;
}

TEST(Loader, HeadersOfBothFormatsAndTheirRefusals)
{
    const std::string tooLarge = "The image announces 1040 KB PRG and 8 KB CHR, more than the 1024 KB of each that "
                                 "Tallowby supports.";
    // Header bytes 4-15, the bytes after the header, the result, and the console lines after the first.
    const std::vector<std::tuple<std::array<uint8_t, 12>, size_t, LoadResult, std::string>> cases = {
        // iNES 1.0: 8 KB of RAM, with a battery when byte 6 says so; CHR RAM without CHR ROM.
        {{2, 1, 0x00, 0}, 40960, LoadResult::Loaded, "Mapper: 0 (NROM), 32 KB PRG, 8 KB CHR, 8 KB RAM, NTSC"},
        {{8, 16, 0x42, 0x00}, 262144, LoadResult::Loaded, "Mapper: 4 (MMC3), 128 KB PRG, 128 KB CHR, 8 KB battery RAM, NTSC"},
        {{1, 0, 0x21}, 16384, LoadResult::Loaded, "Mapper: 2 (UxROM), 16 KB PRG, 8 KB CHR RAM, 8 KB RAM, NTSC"},
        // Bytes 7-15 that are no header ("DiskDude!", junk in 12-15): byte 6 alone names the mapper.
        {{1, 1, 0x10, 'D', 'i', 's', 'k', 'D', 'u', 'd', 'e', '!'}, 24576, LoadResult::Loaded,
         "Mapper: 1 (MMC1), 16 KB PRG, 8 KB CHR, 8 KB RAM, NTSC"},
        {{1, 1, 0x00, 0x40, 0, 0, 0, 0, 0, 0, 0, 1}, 24576, LoadResult::Loaded, "Mapper: 0 (NROM), 16 KB PRG, 8 KB CHR, 8 KB RAM, NTSC"},
        // NES 2.0: submapper, RAM sizes of their own, timing, a mapper above 255, exponent sizes.
        {{16, 16, 0x40, 0x08, 0x10, 0x00, 0x40, 0x00, 0x00}, 393216, LoadResult::Loaded,
         "Mapper: 4.1 (MMC6), 256 KB PRG, 128 KB CHR, 1 KB battery RAM, NTSC"},
        {{2, 0, 0x20, 0x08, 0, 0, 0x09, 0x09, 0x03}, 32768, LoadResult::Loaded,
         "Mapper: 2 (UxROM), 32 KB PRG, 32 KB CHR RAM, 32 KB RAM, Dendy"},
        {{1, 1, 0x30, 0x28, 0x01, 0, 0x70, 0, 0x02}, 24576, LoadResult::Loaded,
         "Mapper: 291, 16 KB PRG, 8 KB CHR, 8 KB battery RAM, multi-region\nMapper 291 is not supported: the game "
         "will load but will not run correctly."},
        {{0x34, 0x09, 0x00, 0x08, 0, 0xFF}, 8204, LoadResult::Loaded, "Mapper: 0 (NROM), 8 KB PRG, 12 bytes CHR, NTSC"},
        {{1, 0, 0x00, 0x08}, 16384, LoadResult::Loaded, "Mapper: 0 (NROM), 16 KB PRG, 8 KB CHR RAM, NTSC"},
        // NES 2.0 sizes beyond the file: not a NES 2.0 header, so byte 7 names nothing.
        {{2, 1, 0x10, 0x48}, 16384, LoadResult::Loaded, "Mapper: 1 (MMC1), 32 KB PRG, 8 KB CHR, 8 KB RAM, NTSC"},
        // Refusals.
        {{0, 1}, 8192, LoadResult::Refused, "Mapper: 0 (NROM), 0 KB PRG, 8 KB CHR, 8 KB RAM, NTSC\nThe image has no "
                                            "PRG ROM: it cannot be loaded."},
        {{65, 1}, 0, LoadResult::Refused, "Mapper: 0 (NROM), 1040 KB PRG, 8 KB CHR, 8 KB RAM, NTSC\n" + tooLarge},
        {{1, 1, 0, 0x08, 0, 0, 0x0B}, 24576, LoadResult::Refused,
         "Mapper: 0 (NROM), 16 KB PRG, 8 KB CHR, 128 KB RAM, NTSC\nThe image asks for 128 KB of PRG RAM and 0 KB of "
         "CHR RAM, more than the 64 KB and 32 KB that Tallowby supports."},
    };
    for (const auto& [header, size, result, lines] : cases) {
        std::string console;
        EXPECT_EQ(loadImageBytes(imageBytes(header, size), &console), result) << lines;
        EXPECT_EQ(console, lines + "\n" + (result == LoadResult::Loaded ? console.substr(console.rfind("Loaded")) : ""));
    }
    std::string console;
    EXPECT_EQ(loadImageBytes({'n', 'e', 's', 0x1A, 1, 1}, &console), LoadResult::NotInes);
    EXPECT_EQ(console, "Not a valid iNES ROM file!\n");
}

TEST(Loader, TrainerAndTheNametableMap)
{
    // The trainer (512 bytes before the PRG ROM) is at 0x7000 when the game starts.
    ASSERT_EQ(loadImageBytes(imageBytes({1, 1, 0x04}, 512 + 24576)), LoadResult::Loaded);
    EXPECT_EQ(std::tuple(cpuRead(0x7000), cpuRead(0x71FF), cpuRead(0x8000), cartridge.trainer),
              std::tuple(uint8_t{0}, uint8_t{0xFF}, uint8_t{0}, true));
    EXPECT_EQ(cartridge.prgRom[1], 0x01) << "PRG ROM after the trainer";
    const std::vector<std::pair<uint8_t, NametableMap>> cases = {
        {0x01, {0x2000, 0x2400, 0x2000, 0x2400}},  // vertical
        {0x00, {0x2000, 0x2000, 0x2400, 0x2400}},  // horizontal
        {0x09, {0x2000, 0x2400, 0x2800, 0x2C00}},  // the four-screen bit wins over bit 0
    };
    for (const auto& [flags6, nametables] : cases) {
        ASSERT_EQ(loadImage(InesImage(1, 1, flags6)), LoadResult::Loaded);
        EXPECT_EQ(nametableMap, nametables) << int{flags6};
    }
}

TEST(Loader, ATruncatedFileLoadsWithZeros)
{
    ASSERT_EQ(loadImage(InesImage(4, 2)), LoadResult::Loaded);  // other bytes in the arrays before
    std::vector<uint8_t> bytes = InesImage(2, 1).bytes();
    bytes.resize(16 + 20000);  // ends inside the second PRG bank
    ASSERT_EQ(loadImageBytes(bytes), LoadResult::Loaded);
    EXPECT_EQ(cartridge.prgRom[19999], 2);
    EXPECT_EQ(cartridge.prgRom[20000], 0);
    EXPECT_EQ(cartridge.prgRom[32767], 0);
    EXPECT_EQ(cartridge.chrMemory[0], 0);
    EXPECT_EQ(cartridge.prgKb, 32) << "the header's sizes stand";
}

// Which 16 KB bank (k + 1) or 8 KB bank each 8 KB CPU window shows, read through the CPU.
std::array<uint8_t, 4> windowBanks() { return {cpuRead(0x8000), cpuRead(0xA000), cpuRead(0xC000), cpuRead(0xE000)}; }

TEST(MapperStartState, PrgWindowsOfEveryMapper)
{
    ASSERT_EQ(loadImage(InesImage(1, 1)), LoadResult::Loaded);
    EXPECT_EQ(windowBanks(), (std::array<uint8_t, 4>{1, 1, 1, 1})) << "16 KB images mirror into 0xC000";
    // MMC2: bank 0 at 0x8000 and the last three 8 KB banks above it; the 32 KB boards the first
    // 32 KB; an unsupported mapper every page at the start.
    const std::vector<std::pair<uint8_t, std::array<uint8_t, 4>>> cases = {
        {0, {1, 1, 4, 4}}, {1, {1, 1, 4, 4}}, {2, {1, 1, 4, 4}}, {3, {1, 1, 4, 4}}, {4, {1, 1, 4, 4}},
        {71, {1, 1, 4, 4}}, {6, {1, 1, 1, 1}}, {7, {1, 1, 2, 2}}, {11, {1, 1, 2, 2}}, {34, {1, 1, 2, 2}},
        {66, {1, 1, 2, 2}}, {9, {1, 3, 4, 4}},
    };
    for (const auto& [mapper, banks] : cases) {
        ASSERT_EQ(loadImage(InesImage(4, 1, static_cast<uint8_t>(mapper << 4), mapper & 0xF0)), LoadResult::Loaded);
        EXPECT_EQ(windowBanks(), banks) << "mapper " << int{mapper};
    }
}

TEST(PageMaps, WindowsAndBanksBeyondTheImage)
{
    ASSERT_EQ(loadImage(InesImage(4, 2)), LoadResult::Loaded);  // 64 KB PRG, 16 KB CHR
    mapPrg(1, 3, 16384);
    for (uint32_t page = 16; page < 32; ++page)
        EXPECT_EQ(prgPageMap[page], 49152 + (page - 16) * 1024) << "page " << page;
    mapPrg(0, 5, 16384);
    EXPECT_EQ(cpuRead(0x8000), 2) << "bank 5 of 4 is bank 1";
    mapPrg(0, 0xFFFFFFFF, 8192);
    EXPECT_EQ(cpuRead(0x8000), 4) << "the largest bank number stays in the image";
    mapChr(0, 17, 1024);
    EXPECT_EQ(chrPageMap[0], 1024u);
    for (uint32_t bank = 0; bank < 300; bank += 7) {
        mapPrg(3, bank, 8192);
        mapChr(1, bank, 4096);
        EXPECT_LT(prgPageMap[31] + 1024, cartridge.prgKb * 1024u + 1);
        EXPECT_LT(chrPageMap[7] + 1024, cartridge.chrKb * 1024u + 1);
    }
    ASSERT_EQ(loadImage(InesImage(1, 0)), LoadResult::Loaded);
    mapChr(0, 3, 8192);
    for (uint32_t page = 0; page < 8; ++page)
        EXPECT_EQ(chrPageMap[page], page * 1024) << "CHR RAM keeps the identity map";
}

}  // namespace
