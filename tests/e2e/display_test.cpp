// The window at -scale 3 and full screen in a real X server: captured with ImageMagick's import and
// compared pixel for pixel with the configuration screen's frame enlarged. The X server going away
// under a running game.
#include <gtest/gtest.h>

#include <csignal>
#include <thread>

#include "app/config_screen.h"
#include "app/screen_geometry.h"
#include "support/harness.h"
#include "support/process.h"

namespace {

class Screen : public testing::Test {
protected:
    void SetUp() override
    {
        if (!display_.running())
            GTEST_SKIP() << "Xvfb could not be started";
    }

    // Starts the program in `folder` and waits for its window.
    std::string start(const std::filesystem::path& folder, const std::vector<std::string>& options, const char* line)
    {
        std::vector<std::string> args{tallowbyBinary().string(), (folder / "game.nes").string()};
        args.insert(args.end(), options.begin(), options.end());
        program_ = std::make_unique<ChildProcess>(args, display_.environment(), folder);
        EXPECT_TRUE(program_->waitForOutput(line, 10s)) << program_->output();
        const std::string window = findWindow(display_.environment());
        std::this_thread::sleep_for(300ms);
        return window;
    }

    // "WIDTH=w\nHEIGHT=h" of a window.
    std::string sizeOf(const std::string& window) const
    {
        const std::string shell =
            runProcess({"xdotool", "getwindowgeometry", "--shell", window}, display_.environment()).output;
        const size_t at = shell.find("WIDTH=");
        return at == std::string::npos ? shell : shell.substr(at, shell.find("\nSCREEN") - at);
    }

    void stop()
    {
        program_->sendSignal(SIGINT);
        EXPECT_EQ(program_->wait(10s).exitCode, 0);
    }

    VirtualDisplay display_{"1280x1024x24"};
    std::unique_ptr<ChildProcess> program_;
};

// Without keymap.cfg the configuration screen stays up: a known picture.
TEST_F(Screen, ScaleThreeWindowAndFullScreenShowTheEnlargedFrame)
{
    const TempFile rom(fileBytes(builtRom("scene")), "game.nes");
    drawConfigScreen();
    drawKeyPrompt(0);
    const std::string window = start(rom.folder(), {"-scale", "3"}, "Controller configuration file not found!\n\n");
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(wrongPixels(captureWindow(window, display_.environment()), windowGeometry(3)), 0) << "the window at scale 3";
    stop();

    start(rom.folder(), {"-fullscreen"}, "Controller configuration file not found!\n\n");
    EXPECT_EQ(wrongPixels(captureWindow("root", display_.environment()), fullScreenGeometry(1280, 1024)), 0)
        << "scale 4, centred on black";
    stop();
}

TEST_F(Screen, F11AndAltEnterSwitchDuringTheGame)
{
    const Workspace workspace;
    std::filesystem::copy_file(builtRom("scene"), workspace.folder() / "game.nes");
    const std::string window = start(workspace.folder(), {"-scale", "3", "-silent"}, "Loaded 32 KB PRG");
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(sizeOf(window), "WIDTH=768\nHEIGHT=720");
    for (const auto& [key, size] : {std::pair{"F11", "WIDTH=1280\nHEIGHT=1024"}, {"alt+Return", "WIDTH=768\nHEIGHT=720"}}) {
        EXPECT_EQ(runProcess({"xdotool", "key", "--window", window, key}, display_.environment()).exitCode, 0);
        std::this_thread::sleep_for(500ms);
        EXPECT_EQ(sizeOf(window), size) << key;
    }
    stop();
}

// The display goes away while a battery game runs: the program ends with a line and status 1 (no
// abort from a thread left running), and the save memory of the last moments is in GAME.sav.
TEST(DisplayLoss, EndsCleanlyAndKeepsTheSaveMemory)
{
    InesImage image(2, 1, 0x02);  // with a battery
    image.put(0x8000, {0xA9, 0x80, 0x8D, 0x00, 0x20, 0x4C, 0x05, 0x80,   // NMI on; spin
                       0xEE, 0x00, 0x60, 0xD0, 0x02, 0xEE, 0x01, 0x60,   // nmi: INC $6000 (carrying
                       0x40});                                           // into $6001); RTI
    image.setVectors(0x8000, 0x8008);
    const Workspace workspace;
    std::filesystem::copy_file(TempFile(image.bytes()).path(), workspace.folder() / "game.nes");
    VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb could not be started";
    ChildProcess program({tallowbyBinary().string(), (workspace.folder() / "game.nes").string()}, display.environment(),
                         workspace.folder());
    ASSERT_TRUE(program.waitForOutput("Loaded 32 KB PRG", 10s)) << program.output();
    std::this_thread::sleep_for(500ms);  // frames run: the save memory has changed, and is not stored yet
    display.shutDown();
    const ProcessResult result = program.wait(10s);
    EXPECT_EQ(result.exitCode, 1) << result.output;
    EXPECT_NE(result.output.find("The display was lost: Tallowby ends.\n"), std::string::npos) << result.output;
    const std::vector<uint8_t> save = fileBytes(workspace.folder() / "game.sav");
    ASSERT_EQ(save.size(), 8192u);
    EXPECT_GT(save[0] | save[1] << 8, 10) << "frames counted before the display went";
}

}  // namespace
