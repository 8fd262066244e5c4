// Save states from the player's keys in a real window, and from the command line.
#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <thread>
#include <utility>

#include "support/harness.h"
#include "support/process.h"

namespace {

std::vector<uint8_t> readFile(const std::filesystem::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// Window rows below the message box (4 + 12 frame rows, doubled), as RGB bytes.
std::vector<uint8_t> pictureBelowMessages(const std::string& window, const std::vector<std::string>& environment)
{
    const TempFile folder({}, "unused");
    const std::string raw = (folder.folder() / "window.rgb").string();
    EXPECT_EQ(runProcess({"import", "-window", window, "-depth", "8", "rgb:" + raw}, environment).exitCode, 0);
    std::vector<uint8_t> pixels = readFile(raw);
    EXPECT_EQ(pixels.size(), 512u * 480 * 3);
    pixels.erase(pixels.begin(), pixels.begin() + std::min<size_t>(pixels.size(), 512u * 40 * 3));
    return pixels;
}

TEST(PlayKeys, SaveWithF5PlayOnAndLoadWithF7RestoresThePicture)
{
    const VirtualDisplay display;
    if (!display.running())
        GTEST_SKIP() << "Xvfb could not be started";
    const Workspace keys;
    const auto rom = keys.folder() / "game.nes";
    std::filesystem::copy_file(builtRom("scene"), rom);
    const auto environment = display.environment();
    ChildProcess program({tallowbyBinary().string(), rom.string()}, environment, keys.folder());
    const ProcessResult found = runProcess({"xdotool", "search", "--sync", "--name", "Tallowby"}, environment, 10s);
    const std::string window = found.output.substr(0, found.output.find('\n'));
    ASSERT_FALSE(window.empty());
    const auto send = [&](const std::vector<std::string>& action) {
        std::vector<std::string> args{"xdotool"};
        args.insert(args.end(), action.begin(), action.end());
        args.insert(args.begin() + 2, {"--window", window});
        EXPECT_EQ(runProcess(args, environment).exitCode, 0);
    };
    // The picture, captured until `wanted` holds for it (a slow build takes a while to show a change).
    const auto pictureOnceItIs = [&](const auto& wanted) {
        std::vector<uint8_t> picture = pictureBelowMessages(window, environment);
        for (int tries = 0; tries < 40 && !wanted(picture); ++tries) {
            std::this_thread::sleep_for(250ms);
            picture = pictureBelowMessages(window, environment);
        }
        return picture;
    };

    ASSERT_TRUE(program.waitForOutput("Loaded 32 KB PRG", 10s));
    send({"keydown", "Right"});  // the scene's sprite moves while a D-pad key is held
    std::this_thread::sleep_for(400ms);
    send({"keyup", "Right"});
    std::vector<uint8_t> last;  // the picture follows the pad a frame or two later: wait until it is still
    pictureOnceItIs([&](const auto& picture) { return std::exchange(last, picture) == picture; });
    for (const char* key : {"p", "3", "F5"})
        send({"key", key});
    ASSERT_TRUE(program.waitForOutput("Paused\nSlot 3\nState 3 saved\n", 10s)) << program.output();
    const std::vector<uint8_t> saved = pictureBelowMessages(window, environment);  // paused: the state's picture
    send({"key", "p"});
    send({"keydown", "Down"});
    EXPECT_NE(pictureOnceItIs([&](const auto& picture) { return picture != saved; }), saved) << "the sprite moves on";
    send({"keyup", "Down"});
    for (const char* key : {"F7", "F12", "p"})
        send({"key", key});
    ASSERT_TRUE(program.waitForOutput("State 3 loaded\nScreenshot saved\nPaused\n", 10s)) << program.output();
    EXPECT_TRUE(pictureOnceItIs([&](const auto& picture) { return picture == saved; }) == saved) << "the saved picture is back";
    program.sendSignal(SIGINT);
    EXPECT_EQ(program.wait(10s).exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(keys.folder() / "game.ss3"));
}

TEST(PlayKeys, StatesFromTheCommandLineContinueTheRunExactly)
{
    const TempFile folder({}, "unused");
    const std::string rom = builtRom("mmc3_irq").string();
    const auto path = [&](const char* name) { return (folder.folder() / name).string(); };
    const auto run = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {tallowbyBinary().string(), rom, "-headless"});
        return runProcess(args, {}, 30s);
    };
    EXPECT_EQ(run({"-frames", "100", "-savestate", path("at100")}).exitCode, 0);
    EXPECT_EQ(run({"-frames", "150", "-loadstate", path("at100"), "-screenshot", path("resumed.png")}).exitCode, 0);
    EXPECT_EQ(run({"-frames", "150", "-screenshot", path("straight.png")}).exitCode, 0);
    EXPECT_EQ(readFile(path("resumed.png")), readFile(path("straight.png")));
    const ProcessResult missing = run({"-loadstate", path("nothing")});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.output.find("The state file " + path("nothing") + " does not exist."), std::string::npos);
}

}  // namespace
