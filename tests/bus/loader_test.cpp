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

std::string loadPath(const std::string& path, LoadResult expected)
{
    resetMachine();
    std::ostringstream out;
    EXPECT_EQ(loadCartridge(path, out), expected) << path;
    return out.str();
}

TEST(LoaderFailures, MissingFileAndDirectory)
{
    EXPECT_EQ(loadPath("/no/such/file.nes", LoadResult::FileMissing),
              "Loading ROM: /no/such/file.nes\nFile does not exist!\n");
    const TempFile file({});
    EXPECT_EQ(loadPath(file.folder().string(), LoadResult::FileMissing),
              "Loading ROM: " + file.folder().string() + "\nFile does not exist!\n");
}

TEST(LoaderFailures, TheMagicMustBeExact)
{
    const std::vector<std::vector<uint8_t>> badImages = {
        {},                                     // empty file: the magic reads as zeros
        {'N', 'E', 'S'},                        // shorter than the magic
        {'N', 'E', 'S', 0x00, 1, 1, 0, 0},      // "NES" and another byte
        {'n', 'e', 's', 0x1A, 1, 1, 0, 0},      // wrong case
    };
    for (const auto& bytes : badImages) {
        std::string console;
        EXPECT_EQ(loadImageBytes(bytes, &console), LoadResult::NotInes);
        EXPECT_NE(console.find("\nNot a valid iNES ROM file!\n"), std::string::npos) << console;
        EXPECT_EQ(console.find("Mapper"), std::string::npos) << console;
    }
}

TEST(LoaderFailures, SizesThatDoNotFitAreRefused)
{
    for (const auto& [prgBanks, chrBanks] : {std::pair{0, 1}, std::pair{65, 1}, std::pair{1, 129}, std::pair{255, 255}}) {
        InesImage image(1, 1);
        image.header[4] = static_cast<uint8_t>(prgBanks);
        image.header[5] = static_cast<uint8_t>(chrBanks);
        std::string console;
        EXPECT_EQ(loadImage(image, &console), LoadResult::Refused) << prgBanks << " PRG, " << chrBanks << " CHR";
        EXPECT_EQ(console.find("Loaded"), std::string::npos) << console;
    }
    InesImage largest(64, 128);
    EXPECT_EQ(loadImage(largest), LoadResult::Loaded) << "1 MB of PRG and 1 MB of CHR fit exactly";
}

TEST(Loader, ConsoleLinesOfAGoodImage)
{
    std::string console;
    ASSERT_EQ(loadImage(InesImage(2, 1), &console), LoadResult::Loaded);
    const std::string path = console.substr(13, console.find('\n') - 13);
    EXPECT_EQ(console, "Loading ROM: " + path + "\nMapper: 0\nLoaded 32 KB PRG, 8 KB CHR.\n");
}

TEST(Loader, UnsupportedMapperLoadsWithAllPagesAtTheStartAndSaysSo)
{
    InesImage image(2, 1, 0x30);
    image.prg[0] = 0xAB;
    std::string console;
    ASSERT_EQ(loadImage(image, &console), LoadResult::Loaded);
    EXPECT_EQ(cartridge.mapperNumber, 3);
    EXPECT_NE(console.find("\nMapper: 3\nMapper 3 is not supported"), std::string::npos) << console;
    for (uint32_t page = 0; page < 32; ++page)
        EXPECT_EQ(prgPageMap[page], 0u) << "page " << page;
    EXPECT_EQ(cpuRead(0xFC00), 0xAB);
    cpuWrite(0x8000, 5);
    EXPECT_EQ(cpuRead(0x8000), 0xAB) << "mapper 3 ignores writes";
}

TEST(Loader, HeaderFields)
{
    ASSERT_EQ(loadImage(InesImage(1, 1, 0x11, 0x44)), LoadResult::Loaded);
    EXPECT_EQ(cartridge.flags7, 0) << "0x44 in byte 7 is taken as 0";
    EXPECT_EQ(cartridge.mapperNumber, 1);
    EXPECT_EQ(cartridge.mirroring, Mirroring::Vertical);
    EXPECT_EQ(nametableMap, (NametableMap{0x2000, 0x2400, 0x2000, 0x2400}));

    ASSERT_EQ(loadImage(InesImage(1, 1, 0x40, 0x90)), LoadResult::Loaded);
    EXPECT_EQ(cartridge.mapperNumber, 0x94);
    EXPECT_EQ(cartridge.mirroring, Mirroring::Horizontal);
    EXPECT_EQ(nametableMap, (NametableMap{0x2000, 0x2000, 0x2400, 0x2400}));

    ASSERT_EQ(loadImage(InesImage(1, 1, 0x09)), LoadResult::Loaded);
    EXPECT_EQ(cartridge.mirroring, Mirroring::FourScreen) << "the four-screen bit wins over bit 0";
    EXPECT_EQ(nametableMap, (NametableMap{0x2000, 0x2400, 0x2800, 0x2C00}));
}

TEST(Loader, TrainerBitIsNotExamined)
{
    InesImage image(1, 1, 0x04);
    image.prg[0] = 0x5A;
    ASSERT_EQ(loadImage(image), LoadResult::Loaded);
    EXPECT_EQ(cpuRead(0x8000), 0x5A);
}

TEST(Loader, ChrRam)
{
    std::string console;
    ASSERT_EQ(loadImage(InesImage(1, 0), &console), LoadResult::Loaded);
    EXPECT_NE(console.find("Loaded 16 KB PRG, 0 KB CHR."), std::string::npos);
    mapChr(0, 3, 8192);
    for (uint32_t page = 0; page < 8; ++page)
        EXPECT_EQ(chrPageMap[page], page * 1024) << "CHR RAM keeps the identity map";
}

TEST(Loader, ATruncatedFileLoadsWithZeros)
{
    InesImage image(2, 1);
    std::vector<uint8_t> bytes = image.bytes();
    bytes.resize(16 + 20000);  // ends inside the second PRG bank
    ASSERT_EQ(loadImageBytes(bytes), LoadResult::Loaded);
    EXPECT_EQ(cartridge.prgRom[19999], 2);
    EXPECT_EQ(cartridge.prgRom[20000], 0);
    EXPECT_EQ(cartridge.prgRom[32767], 0);
    EXPECT_EQ(cartridge.chrMemory[0], 0);
    EXPECT_EQ(cartridge.prgKb, 32) << "the header's sizes stand";
}

// Which 16 KB or 8 KB PRG bank each 8 KB CPU window shows, read through the CPU.
std::array<uint8_t, 4> windowBanks()
{
    return {cpuRead(0x8000), cpuRead(0xA000), cpuRead(0xC000), cpuRead(0xE000)};
}

TEST(MapperStartState, PrgWindowsOfEveryMapper)
{
    ASSERT_EQ(loadImage(InesImage(1, 1)), LoadResult::Loaded);
    EXPECT_EQ(windowBanks(), (std::array<uint8_t, 4>{1, 1, 1, 1})) << "16 KB images mirror into 0xC000";

    for (const uint8_t mapper : {0, 1, 2, 4}) {
        ASSERT_EQ(loadImage(InesImage(4, 1, static_cast<uint8_t>(mapper << 4))), LoadResult::Loaded);
        EXPECT_EQ(windowBanks(), (std::array<uint8_t, 4>{1, 1, 4, 4})) << "mapper " << int{mapper};
    }
    EXPECT_EQ(mapperState.mmc3IrqCounter, 0u);
    EXPECT_EQ(mapperState.mmc3IrqReload, 0u);
    EXPECT_EQ(mapperState.mmc3IrqEnabled, 0);

    ASSERT_EQ(loadImage(InesImage(4, 1, 0x70)), LoadResult::Loaded);
    EXPECT_EQ(windowBanks(), (std::array<uint8_t, 4>{1, 1, 2, 2})) << "AxROM shows the first 32 KB";

    // MMC2: bank 0 at 0x8000 and the last three 8 KB banks above it. 16 KB bank k holds k + 1,
    // so 8 KB banks 2k and 2k + 1 both read k + 1.
    ASSERT_EQ(loadImage(InesImage(4, 1, 0x90)), LoadResult::Loaded);
    EXPECT_EQ(windowBanks(), (std::array<uint8_t, 4>{1, 3, 4, 4}));
    EXPECT_EQ(mapperState.mmc2Latch, 0xFE);
}

TEST(MapperStartState, Mmc1ResetWriteSetsTheControlBits)
{
    ASSERT_EQ(loadImage(InesImage(2, 1, 0x10)), LoadResult::Loaded);
    EXPECT_EQ(mapperState.mmc1Control, 0x0Cu);
    EXPECT_EQ(mapperState.mmc1ShiftCount, 0u);
}

TEST(PageMaps, PrgWindows)
{
    ASSERT_EQ(loadImage(InesImage(4, 1)), LoadResult::Loaded);
    mapPrg(1, 3, 16384);
    for (uint32_t page = 16; page < 32; ++page)
        EXPECT_EQ(prgPageMap[page], 49152 + (page - 16) * 1024) << "page " << page;
    mapPrg(0, 0, 32768);
    for (uint32_t page = 0; page < 32; ++page)
        EXPECT_EQ(prgPageMap[page], page * 1024) << "page " << page;
}

TEST(PageMaps, BanksBeyondTheImageWrap)
{
    ASSERT_EQ(loadImage(InesImage(4, 2)), LoadResult::Loaded);  // 64 KB PRG, 16 KB CHR
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
}

}  // namespace
