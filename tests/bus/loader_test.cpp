// The iNES loader and the page maps: console lines, refusals, header fields and start mappings.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "app/machine.h"
#include "bus/cartridge.h"
#include "bus/cpu_bus.h"
#include "bus/mappers.h"
#include "bus/page_maps.h"
#include "support/harness.h"

namespace {

TEST(Loader, MissingFileOrDirectory)
{
    const TempFile file({});
    for (const std::string& path : {std::string("/no/such/file.nes"), file.folder().string()}) {
        resetMachine();
        std::ostringstream out;
        EXPECT_EQ(loadCartridge(path, out), LoadResult::FileMissing) << path;
        EXPECT_EQ(out.str(), "Loading ROM: " + path + "\nFile does not exist!\n");
    }
}

std::vector<uint8_t> imageBytes(uint8_t prgBanks, uint8_t chrBanks, uint8_t flags6 = 0)
{
    InesImage image(1, 1, flags6);
    image.header[4] = prgBanks;
    image.header[5] = chrBanks;
    image.prg.resize(prgBanks * 16384u);
    image.chr.resize(chrBanks * 8192u);
    return image.bytes();
}

TEST(Loader, ResultAndConsoleLinesAfterTheFirst)
{
    const std::string notInes = "Not a valid iNES ROM file!\n";
    const std::string tooLarge = "Mapper: 0\nThe image announces 1040 KB PRG and 8 KB CHR, more than the 1024 KB of "
                                 "each that Tallowby supports.\n";
    const std::vector<std::tuple<std::vector<uint8_t>, LoadResult, std::string>> cases = {
        {{}, LoadResult::NotInes, notInes},  // empty file: the magic reads as zeros
        {{'N', 'E', 'S'}, LoadResult::NotInes, notInes},
        {{'N', 'E', 'S', 0x00, 1, 1, 0, 0}, LoadResult::NotInes, notInes},
        {{'n', 'e', 's', 0x1A, 1, 1, 0, 0}, LoadResult::NotInes, notInes},
        {imageBytes(0, 1), LoadResult::Refused, "Mapper: 0\nThe image has no PRG ROM: it cannot be loaded.\n"},
        {imageBytes(65, 1), LoadResult::Refused, tooLarge},
        {imageBytes(1, 129), LoadResult::Refused, "Mapper: 0\nThe image announces 16 KB PRG and 1032 KB CHR, more "
                                                  "than the 1024 KB of each that Tallowby supports.\n"},
        {imageBytes(64, 128), LoadResult::Loaded, "Mapper: 0\nLoaded 1024 KB PRG, 1024 KB CHR.\n"},
        {imageBytes(2, 1), LoadResult::Loaded, "Mapper: 0\nLoaded 32 KB PRG, 8 KB CHR.\n"},
        {imageBytes(1, 0), LoadResult::Loaded, "Mapper: 0\nLoaded 16 KB PRG, 0 KB CHR.\n"},
        {imageBytes(2, 1, 0x30), LoadResult::Loaded, "Mapper: 3\nMapper 3 is not supported: the game will load "
                                                     "but will not run correctly.\nLoaded 32 KB PRG, 8 KB CHR.\n"},
    };
    for (const auto& [bytes, result, lines] : cases) {
        std::string console;
        EXPECT_EQ(loadImageBytes(bytes, &console), result) << lines;
        EXPECT_EQ(console.substr(console.find('\n') + 1), lines);
        EXPECT_EQ(console.rfind("Loading ROM: ", 0), 0u);
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
    const TempFile file(bytes);
    std::ostringstream console;
    ASSERT_EQ(loadCartridge(file.path(), console), LoadResult::Loaded);
    EXPECT_EQ(cartridge.prgRom[19999], 2);
    EXPECT_EQ(cartridge.prgRom[20000], 0);
    EXPECT_EQ(cartridge.prgRom[32767], 0);
    EXPECT_EQ(cartridge.chrMemory[0], 0);
    EXPECT_EQ(cartridge.prgKb, 32) << "the header's sizes stand";
}

}  // namespace
