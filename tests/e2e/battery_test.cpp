// Battery saves of the real program: GAME.sav beside the ROM carries the save memory from one run
// to the next, survives a kill, and a damaged one is moved aside.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <thread>

#include "support/harness.h"
#include "support/process.h"

namespace {

// A battery cartridge whose NMI handler counts frames in 0x6000-0x6002.
InesImage frameCounterRom()
{
    InesImage image(2, 1, 0x02);
    image.put(0x8000, {0xA9, 0x80, 0x8D, 0x00, 0x20,  // NMI on
                       0x4C, 0x05, 0x80,              // spin
                       0xEE, 0x00, 0x60, 0xD0, 0x08,  // nmi: INC $6000; BNE done
                       0xEE, 0x01, 0x60, 0xD0, 0x03,  //      INC $6001; BNE done
                       0xEE, 0x02, 0x60, 0x40});      //      INC $6002; done: RTI
    image.setVectors(0x8000, 0x8008);
    return image;
}

std::vector<uint8_t> readAll(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// The frame count stored in a save file, or -1 when it is not a whole save file.
int32_t savedCount(const std::filesystem::path& path)
{
    const auto bytes = readAll(path);
    return bytes.size() == 8192 ? bytes[0] | bytes[1] << 8 | bytes[2] << 16 : -1;
}

ProcessResult runFrames(const std::string& rom, int frames)
{
    return runProcess({tallowbyBinary().string(), rom, "-headless", "-frames", std::to_string(frames)}, {}, 60s);
}

TEST(BatterySave, TheNextRunContinuesAndADamagedFileIsMovedAside)
{
    const TempFile rom(frameCounterRom().bytes(), "game.nes");
    const auto save = rom.folder() / "game.sav";
    EXPECT_EQ(runFrames(rom.path(), 100).exitCode, 0);
    const int32_t first = savedCount(save);
    EXPECT_GE(first, 99);
    ProcessResult second = runFrames(rom.path(), 50);
    EXPECT_NE(second.output.find("Save memory loaded from " + save.string() + ".\n"), std::string::npos);
    EXPECT_EQ(savedCount(save), first + 50);

    std::filesystem::resize_file(save, 100);
    const ProcessResult damaged = runFrames(rom.path(), 50);
    EXPECT_EQ(damaged.exitCode, 0);
    EXPECT_NE(damaged.output.find("The save file " + save.string() + " is not 8192 bytes long: moved to " +
                                  save.string() + ".bad; the game starts with empty save memory.\n"),
              std::string::npos)
        << damaged.output;
    EXPECT_EQ(std::filesystem::file_size(save.string() + ".bad"), 100u);
    EXPECT_EQ(savedCount(save), 50);
}

TEST(BatterySave, AKilledRunHasStoredItsProgressAlready)
{
    const TempFile rom(frameCounterRom().bytes(), "game.nes");
    const auto save = rom.folder() / "game.sav";
    ChildProcess run({tallowbyBinary().string(), rom.path(), "-headless"});
    for (int wait = 0; wait < 200 && savedCount(save) <= 0; ++wait)
        std::this_thread::sleep_for(50ms);
    const int32_t stored = savedCount(save);
    run.sendSignal(SIGKILL);
    run.wait(10s);
    EXPECT_GT(stored, 0) << "stored while running";
    EXPECT_GE(savedCount(save), stored) << "a whole file after the kill";
}

}  // namespace
