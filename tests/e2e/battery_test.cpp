// Battery saves of the real program: GAME.sav carries the save memory from one run to the next, is
// stored while the game runs and when the display goes away under it, and a damaged one is moved
// aside.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <thread>

#include "support/process.h"

namespace {

// A battery game whose NMI handler counts the frames in 0x6000-0x6002: 8 KB of save memory from an
// iNES header, or 2 KB from a NES 2.0 header.
InesImage countingGame(bool nes2 = false)
{
    InesImage image(2, 1, 0x02, nes2 ? 0x08 : 0);
    image.header[10] = nes2 ? 0x50 : 0;
    image.put(0x8000, {0xA9, 0x80, 0x8D, 0x00, 0x20, 0x4C, 0x05, 0x80,  // NMI on; spin
                       0xEE, 0x00, 0x60, 0xD0, 0x08, 0xEE, 0x01, 0x60,  // nmi: INC $6000 (carrying
                       0xD0, 0x03, 0xEE, 0x02, 0x60, 0x40});            // into $6001, $6002); RTI
    image.setVectors(0x8000, 0x8008);
    return image;
}

// The frame count a save file holds, or -1 when it is not a whole save file of `size` bytes.
int32_t savedCount(const std::string& path, size_t size = 8192)
{
    const std::vector<uint8_t> bytes = fileBytes(path);
    return bytes.size() == size ? bytes[0] | bytes[1] << 8 | bytes[2] << 16 : -1;
}

TEST(BatterySave, CarriedOverStoredWhileRunningAndMovedAsideWhenDamaged)
{
    for (const size_t size : {2048u, 8192u}) {
        const TempFile rom(countingGame(size == 2048).bytes(), "game.nes");
        const std::string save = (rom.folder() / "game.sav").string();
        const auto run = [&](int frames) {
            return runProcess({tallowbyBinary().string(), rom.path(), "-headless", "-frames", std::to_string(frames)}).output;
        };
        run(100);
        const int32_t first = savedCount(save, size);
        EXPECT_NE(run(50).find("Save memory loaded from " + save + ".\n"), std::string::npos);
        EXPECT_EQ(savedCount(save, size), first + 50) << size;
        if (size != 8192)
            continue;

        // A damaged file is moved aside; a run killed without warning leaves the file it stored
        // while the game ran, whole.
        std::filesystem::resize_file(save, 100);
        const std::string damaged = run(50);
        EXPECT_NE(damaged.find("The save file " + save + " is not 8192 bytes long: moved to " + save +
                               ".bad; the game starts with empty save memory.\n"),
                  std::string::npos) << damaged;
        EXPECT_EQ(std::filesystem::file_size(save + ".bad"), 100u);
        EXPECT_EQ(savedCount(save), 50);

        std::filesystem::remove(save);
        ChildProcess endless({tallowbyBinary().string(), rom.path(), "-headless"});
        for (int wait = 0; wait < 200 && savedCount(save) <= 0; ++wait)
            std::this_thread::sleep_for(50ms);
        endless.sendSignal(SIGKILL);
        endless.wait(10s);
        EXPECT_GT(savedCount(save), 0);
    }
}

// The program ends with a line and status 1 (no abort from a thread left running), and the save
// memory of the last moments is in GAME.sav.
TEST_F(WindowTest, DisplayLossEndsCleanlyAndKeepsTheSaveMemory)
{
    const Workspace workspace;
    const std::string rom = (workspace.folder() / "game.nes").string();
    std::filesystem::copy_file(TempFile(countingGame().bytes()).path(), rom);
    start({tallowbyBinary().string(), rom}, workspace.folder(), "Loaded 32 KB PRG");
    std::this_thread::sleep_for(500ms);  // frames run: the save memory has changed, and is not stored yet
    display_.shutDown();
    const ProcessResult result = program_->wait(10s);
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("The display was lost: Tallowby ends.\n"), std::string::npos) << result.output;
    EXPECT_GT(savedCount((workspace.folder() / "game.sav").string()), 10) << "frames counted before the display went";
}

}  // namespace
