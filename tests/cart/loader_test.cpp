// The iNES loader and the page maps: console lines, refusals, header fields and start mappings.
// (Missing files, folders, FIFOs and devices are refused by the real program in tests/e2e.)
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "bus/cpu_bus.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "console/machine.h"
#include "support/harness.h"

namespace {

std::vector<uint8_t> imageBytes(uint8_t prgBanks, uint8_t chrBanks, uint8_t flags6 = 0)
{
    InesImage image(1, 1, flags6);
    image.header[4] = prgBanks;
    image.header[5] = chrBanks;
    image.prg.resize(prgBanks * 16384u);
    image.chr.resize(chrBanks * 8192u);
    return image.bytes();
}

TEST(Loader, ResultAndConsoleLines)
{
    const std::string notInes = "Not a valid iNES ROM file!\n";
    const std::string tooLarge = "Mapper: 0\nThe image announces 1040 KB PRG and 8 KB CHR, more than the 1024 KB of "
                                 "each that Tallowby supports.\n";
    const std::vector<std::tuple<std::vector<uint8_t>, LoadResult, std::string>> cases = {
        {{}, LoadResult::NotInes, notInes},  // empty file: the magic reads as zeros
        {{'N', 'E', 'S', 0x00, 1, 1, 0, 0}, LoadResult::NotInes, notInes},
        {{'n', 'e', 's', 0x1A, 1, 1, 0, 0}, LoadResult::NotInes, notInes},
        {imageBytes(0, 1), LoadResult::Refused, "Mapper: 0\nThe image has no PRG ROM: it cannot be loaded.\n"},
        {imageBytes(65, 1), LoadResult::Refused, tooLarge},
        {imageBytes(1, 129), LoadResult::Refused, "Mapper: 0\nThe image announces 16 KB PRG and 1032 KB CHR, more "
                                                  "than the 1024 KB of each that Tallowby supports.\n"},
        {imageBytes(64, 128), LoadResult::Loaded, "Mapper: 0\nLoaded 1024 KB PRG, 1024 KB CHR.\n"},
        {imageBytes(1, 0), LoadResult::Loaded, "Mapper: 0\nLoaded 16 KB PRG, 0 KB CHR.\n"},
        {imageBytes(2, 1, 0x50), LoadResult::Loaded, "Mapper: 5\nMapper 5 is not supported: the game will load "
                                                     "but will not run correctly.\nLoaded 32 KB PRG, 8 KB CHR.\n"},
    };
    for (const auto& [bytes, result, lines] : cases) {
        std::string console;
        EXPECT_EQ(loadImageBytes(bytes, &console), result) << lines;
        EXPECT_EQ(console, lines);
    }
}

TEST(Loader, HeaderFieldsAndTheNametableMap)
{
    const std::vector<std::tuple<uint8_t, uint8_t, uint8_t, NametableMap>> cases = {
        {0x11, 0x44, 1, {0x2000, 0x2400, 0x2000, 0x2400}},     // 0x44 in byte 7 is taken as 0; vertical
        {0x40, 0x90, 0x94, {0x2000, 0x2000, 0x2400, 0x2400}},  // horizontal
        {0x09, 0, 0, {0x2000, 0x2400, 0x2800, 0x2C00}},        // the four-screen bit wins over bit 0
        {0x04, 0, 0, {0x2000, 0x2000, 0x2400, 0x2400}},        // the trainer bit is not examined
    };
    for (const auto& [flags6, flags7, mapper, nametables] : cases) {
        InesImage image(1, 1, flags6, flags7);
        image.prg[0] = 0x5A;
        ASSERT_EQ(loadImage(image), LoadResult::Loaded);
        EXPECT_EQ(cartridge.mapperNumber, mapper);
        EXPECT_EQ(nametableMap, nametables) << int{flags6};
        EXPECT_EQ(cartridge.prgRom[0], 0x5A);
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
        {71, {1, 1, 4, 4}}, {5, {1, 1, 1, 1}}, {7, {1, 1, 2, 2}}, {11, {1, 1, 2, 2}}, {34, {1, 1, 2, 2}},
        {66, {1, 1, 2, 2}}, {9, {1, 3, 4, 4}},
    };
    for (const auto& [mapper, banks] : cases) {
        ASSERT_EQ(loadImage(InesImage(4, 1, static_cast<uint8_t>(mapper << 4), mapper & 0xF0)), LoadResult::Loaded);
        EXPECT_EQ(windowBanks(), banks) << "mapper " << int{mapper};
    }
    EXPECT_EQ(mapperState.chrLatches, (std::array<uint8_t, 2>{0xFE, 0xFE})) << "mapper 9's latches";
    ASSERT_EQ(loadImage(InesImage(2, 1, 0x10)), LoadResult::Loaded);
    EXPECT_EQ(mapperState.mmc1Control, 0x0Cu) << "MMC1's reset write";
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
