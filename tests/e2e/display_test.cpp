// The program in a window of a real X server, captured with ImageMagick's import: at -scale 3 and
// in full screen, compared pixel for pixel with the configuration screen's frame enlarged; the
// window's size switched by F11 and Alt+Enter; save states from the player's keys; ./run.sh with
// no ROM; the key-configuration screen, keys sent with xdotool and keymap.cfg checked byte by byte,
// in the working folder or the configuration folder ($XDG_CONFIG_HOME/tallowby, a folder of the
// test). (The X server going away under a running game: tests/e2e/battery_test.cpp.)
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <thread>
#include <utility>

#include "app/config_screen.h"
#include "app/screen_geometry.h"
#include "support/harness.h"
#include "support/process.h"

namespace {

// The scene as game.nes, played in a window from a working folder with a key map.
class Player : public WindowTest {
protected:
    void startScene()
    {
        std::filesystem::copy_file(builtRom("scene"), keys_.folder() / "game.nes");
        start({tallowbyBinary().string(), (keys_.folder() / "game.nes").string()}, keys_.folder(), "Loaded 32 KB PRG");
        ASSERT_FALSE(window_.empty());
    }
    // The window's rows below the message box (4 + 12 frame rows, doubled).
    std::vector<uint8_t> picture() const
    {
        std::vector<uint8_t> pixels = captureWindow(window_, environment_);
        EXPECT_EQ(pixels.size(), 512u * 480 * 3);
        pixels.erase(pixels.begin(), pixels.begin() + std::min<size_t>(pixels.size(), 512u * 40 * 3));
        return pixels;
    }
    // The picture, captured until `wanted` holds for it (a slow build takes a while to show a change).
    template <typename Wanted>
    std::vector<uint8_t> pictureOnceItIs(const Wanted& wanted) const
    {
        std::vector<uint8_t> now = picture();
        for (int tries = 0; tries < 40 && !wanted(now); ++tries) {
            std::this_thread::sleep_for(250ms);
            now = picture();
        }
        return now;
    }
    // The file the program wrote into the working folder with `extension` (the last one found).
    std::filesystem::path written(const std::string& extension) const
    {
        std::filesystem::path found;
        for (const auto& entry : std::filesystem::directory_iterator(keys_.folder()))
            if (entry.path().extension() == extension)
                found = entry.path();
        return found;
    }

    const Workspace keys_;
};

// F9 records the pad into a movie while the scene's sprite moves right; Backspace held then runs
// the game backwards until the picture is the one from before the move. Then F5 saves, F7 loads,
// F12 takes a screenshot and F11 switches to full screen.
TEST_F(Player, TheHotkeysRecordRewindSaveLoadShootAndSwitchToFullScreen)
{
    ASSERT_NO_FATAL_FAILURE(startScene());
    std::this_thread::sleep_for(500ms);
    const std::vector<uint8_t> before = picture();
    xdotool({"key", "F9"});
    xdotool({"keydown", "Right"});  // the scene's sprite moves while a D-pad key is held
    std::this_thread::sleep_for(600ms);
    xdotool({"keyup", "Right"});
    xdotool({"key", "F9"});
    ASSERT_TRUE(program_->waitForOutput("Movie saved\n", 10s)) << program_->output();
    EXPECT_NE(picture(), before) << "the sprite moved";
    xdotool({"keydown", "BackSpace"});
    const bool rewound = pictureOnceItIs([&](const auto& now) { return now == before; }) == before;
    xdotool({"keyup", "BackSpace"});
    EXPECT_TRUE(rewound) << "rewound to the picture before the move";

    xdotool({"keydown", "Right"});  // a state away from the start
    std::this_thread::sleep_for(400ms);
    xdotool({"keyup", "Right"});
    std::vector<uint8_t> last;  // the picture follows the pad a frame or two later: wait until it is still
    pictureOnceItIs([&](const auto& now) { return std::exchange(last, now) == now; });
    for (const char* key : {"p", "3", "F5"})
        xdotool({"key", key});
    ASSERT_TRUE(program_->waitForOutput("Paused\nSlot 3\nState 3 saved\n", 10s)) << program_->output();
    const std::vector<uint8_t> saved = picture();  // paused: the state's picture
    xdotool({"key", "p"});
    xdotool({"keydown", "Down"});
    EXPECT_NE(pictureOnceItIs([&](const auto& now) { return now != saved; }), saved) << "the sprite moves on";
    xdotool({"keyup", "Down"});
    for (const char* key : {"F7", "p", "F12"})  // the screenshot: the emulated picture, paused, that the window shows
        xdotool({"key", key});
    ASSERT_TRUE(program_->waitForOutput("State 3 loaded\nPaused\nScreenshot saved\n", 10s)) << program_->output();
    EXPECT_TRUE(pictureOnceItIs([&](const auto& now) { return now == saved; }) == saved) << "the saved picture is back";
    // Only the rows that change are drawn: the message drawn over the picture and gone again leaves
    // the picture as it was.
    std::this_thread::sleep_for(3s);  // the message shows for two seconds
    const std::vector<uint8_t> after = captureWindow(window_, environment_);

    // Paused, F11 and Alt+Enter switch to full screen and back to the window at its scale.
    const auto size = [&] {  // "WIDTH=w\nHEIGHT=h"
        const std::string shell = runProcess({"xdotool", "getwindowgeometry", "--shell", window_}, environment_).output;
        const size_t at = shell.find("WIDTH=");
        return at == std::string::npos ? shell : shell.substr(at, shell.find("\nSCREEN") - at);
    };
    EXPECT_EQ(size(), "WIDTH=512\nHEIGHT=480");
    for (const auto& [key, expected] : {std::pair{"F11", "WIDTH=1280\nHEIGHT=1024"}, {"alt+Return", "WIDTH=512\nHEIGHT=480"}}) {
        xdotool({"key", key});
        std::this_thread::sleep_for(500ms);
        EXPECT_EQ(size(), expected) << key;
    }
    EXPECT_EQ(stop().exitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(keys_.folder() / "game.ss3"));
    const std::filesystem::path shot = written(".png");
    ASSERT_FALSE(shot.empty());
    const std::filesystem::path halved = keys_.folder() / "window.png";
    const std::filesystem::path raw = keys_.folder() / "window.rgb";
    std::ofstream(raw, std::ios::binary).write(reinterpret_cast<const char*>(after.data()), static_cast<std::streamsize>(after.size()));
    ASSERT_EQ(runProcess({"convert", "-size", "512x480", "-depth", "8", "rgb:" + raw.string(), "-filter", "point", "-resize",
                          "50%", halved.string()}).exitCode, 0);
    EXPECT_EQ(runProcess({"/bin/sh", "-c", "compare -metric AE \"$0\" \"$1\" null: 2>&1", halved.string(), shot.string()}).output,
              "0") << "pixels that differ from the emulated picture";
    const std::vector<uint8_t> bytes = fileBytes(written(".txt"));
    const std::string movie(bytes.begin(), bytes.end());
    EXPECT_NE(movie.find("# From the state: game-"), std::string::npos) << movie;
    EXPECT_NE(movie.find(" right\n"), std::string::npos) << movie;
}

// ./run.sh with no ROM: builds the Release program and plays the demo cartridge.
TEST_F(WindowTest, RunScriptWithoutARomPlaysTheDemoCartridge)
{
    const Workspace keys;
    start({std::string(TALLOWBY_SOURCE_DIR) + "/run.sh"}, keys.folder(), "demo.nes\nMapper: 0 (NROM)", 600s);
    ASSERT_FALSE(window_.empty()) << "the Release build and start-up";
    std::this_thread::sleep_for(1200ms);
    const std::vector<uint8_t> pixels = captureWindow(window_, environment_);
    ASSERT_EQ(pixels.size(), 512u * 480 * 3);

    // The demo's picture: a night sky over most of the window, many colours in all.
    std::map<uint32_t, int> colours;
    for (size_t i = 0; i < pixels.size(); i += 3)
        ++colours[(uint32_t{pixels[i]} << 16) | (uint32_t{pixels[i + 1]} << 8) | pixels[i + 2]];
    EXPECT_GE(colours.size(), 8u);
    const auto [sky, count] = *std::max_element(colours.begin(), colours.end(),
                                                [](const auto& a, const auto& b) { return a.second < b.second; });
    EXPECT_GT(count, 512 * 480 / 3) << "one colour fills the sky";
    EXPECT_GT(sky & 0xFF, (sky >> 16) & 0xFF) << "the sky is blue";

    const ProcessResult result = stop();
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_NE(result.output.find("No ROM given: playing the demo cartridge."), std::string::npos);
}

// The key-configuration screen.
// The eight buttons, then turbo A on "a" and no turbo B (Escape).
const std::vector<std::string> FirstKeys = {"Return", "space", "z", "x", "Up", "Down", "Left", "Right", "a", "Escape"};

class KeyConfiguration : public WindowTest {
protected:
    void startGame(const std::vector<std::string>& options = {}, const std::string& line = "")
    {
        environment_.push_back("XDG_CONFIG_HOME=" + configHome_.string());
        std::vector<std::string> args{tallowbyBinary().string(), rom_.path()};
        args.insert(args.end(), options.begin(), options.end());
        start(args, rom_.folder(), line);
        ASSERT_FALSE(window_.empty());
    }

    void sendKeys(const std::vector<std::string>& keys) const
    {
        for (const std::string& key : keys) {
            std::this_thread::sleep_for(150ms);
            xdotool({"key", key});
        }
    }

    const TempFile rom_{fileBytes(builtRom("scene")), "game.nes"};
    std::filesystem::path configHome_ = rom_.folder() / "config";
};

// The screen, shown in full screen at scale 4 whatever -scale says, centred on black, and in the
// window at -scale 3: its frame enlarged, pixel for pixel. Then -setkeys where no configuration
// folder can be made: reported once, and the game goes on. (A keymap.cfg in the working folder
// wins: tests/app/file_io_test.cpp.)
TEST_F(KeyConfiguration, FirstStartAsksForEachKeyAndWritesTheFileInTheConfigurationFolderIfItCan)
{
    drawConfigScreen();
    drawKeyPrompt(0);
    // Closed on the screen after two keys: nothing is written and no game starts.
    startGame({"-scale", "3", "-fullscreen"}, "Controller configuration file not found!\n\n");
    EXPECT_EQ(wrongPixels(captureWindow("root", environment_), fullScreenGeometry(1280, 1024)), 0) << "full screen";
    sendKeys({"Return", "space"});
    const ProcessResult closed = stop();
    EXPECT_EQ(closed.exitCode, 0);
    EXPECT_EQ(closed.output.find("Loading ROM"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(rom_.folder() / "keymap.cfg"));
    EXPECT_FALSE(std::filesystem::exists(configHome_));

    startGame({"-scale", "3"}, "Controller configuration file not found!\n\n");
    EXPECT_EQ(wrongPixels(captureWindow(window_, environment_), windowGeometry(3)), 0) << "the window at scale 3";
    sendKeys(FirstKeys);
    ASSERT_TRUE(program_->waitForOutput("Loaded 32 KB PRG, 8 KB CHR.\n", 10s)) << "the game starts after the turbo keys";
    EXPECT_EQ(fileBytes(configHome_ / "tallowby/keymap.cfg"),
              (std::vector<uint8_t>{0x0D, 0, 0x20, 0, 0x7A, 0, 0x78, 0, 0x11, 1, 0x12, 1, 0x14, 1, 0x13, 1}));
    const std::vector<uint8_t> turbo = fileBytes(configHome_ / "tallowby/turbo.cfg");
    EXPECT_EQ(std::string(turbo.begin(), turbo.end()), "# The turbo keys: SDL key symbols\nturbo_a 97\n");
    EXPECT_EQ(std::filesystem::status(configHome_ / "tallowby").permissions(), std::filesystem::perms::owner_all);
    EXPECT_FALSE(std::filesystem::exists(rom_.folder() / "keymap.cfg")) << "nothing in the working folder";
    EXPECT_EQ(stop().exitCode, 0);

    configHome_ = rom_.path();  // a file: no folder can be made below it
    startGame({"-setkeys"});
    sendKeys(FirstKeys);
    ASSERT_TRUE(program_->waitForOutput("Loaded 32 KB PRG", 10s));
    const ProcessResult result = stop();
    EXPECT_EQ(result.exitCode, 0);
    const std::string report = "The folder " + rom_.path() + "/tallowby could not be created (Not a directory): "
                               "the keys are used for this run only and will not be kept.\n";
    const size_t at = result.output.find(report);
    EXPECT_NE(at, std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("could not", at + report.size()), std::string::npos) << "reported once";
}

}  // namespace
