// Tallowby's entry point: start-up, the frame loop and shutdown.
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/gamepad.h"
#include "app/keymap.h"
#include "app/music.h"
#include "app/options.h"
#include "app/rom_file.h"
#include "app/run.h"
#include "app/sdl/audio_device.h"
#include "app/sdl/config_screens.h"
#include "app/sdl/display.h"
#include "app/sdl/display_loss.h"
#include "app/sdl/frame_loop.h"
#include "app/sdl/gamepad_events.h"
#include "app/session.h"
#include "app/sound_fifo.h"
#include "app/state_files.h"
#include "app/user_files.h"
#include "console/console.h"

namespace {

constexpr int ExitFailure = 1;

// Brings up SDL's video, then its sound unless -silent. A machine without a sound device runs
// the game silently.
bool initializeSdl()
{
    std::cout << "Initializing SDL... " << std::flush;
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::cout << "failed!\n";
        return false;
    }
    std::cout << "OK!\n";
    if (!options.silent && SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        std::cout << "No sound device could be opened: running without sound.\n";
    return true;
}

bool createWindow()
{
    std::cout << "Creating SDL screen context... " << std::flush;
    noteDesktopSize();
    const bool fullScreen = options.fullScreen && openScreen(options.scale, true);
    if (!fullScreen && !openScreen(options.scale, false)) {
        std::cout << "failed!\n";
        return false;
    }
    std::cout << "OK!\n";
    if (options.fullScreen && !fullScreen)
        std::cout << "Full screen is not available here: using a window.\n";
    SDL_WM_SetCaption(ProgramTitle.c_str(), nullptr);
    ignoreUnusedEvents();
    return true;
}

// Loads the key map (keymap.cfg in the working folder, else in the configuration folder), or has
// the player choose the keys when there is none or -setkeys is given. The exit code when the
// program must end: the window was closed on the configuration screen, or the key map is not a
// file that can be read.
std::optional<int> prepareKeyMap()
{
    const std::string path = configFilePath(KeyMapFile);
    loadTurboKeys(turboKeysPath(path));
    switch (loadKeyMap(path)) {
    case KeyMapLoad::Loaded:
        break;
    case KeyMapLoad::NotAFile:
        std::cout << path << " is not a key map: a folder, FIFO, device, socket or a file of more than "
                  << KeyMapFileLimit << " bytes.\n";
        return ExitFailure;
    case KeyMapLoad::Incomplete:
        std::cout << path << " is incomplete: the buttons it does not cover have no key. "
                  << "Run with -setkeys to choose them again.\n";
        break;
    case KeyMapLoad::Missing:
        std::cout << "Controller configuration file not found!\n\n" << std::flush;
        if (!configureKeys(path))
            return 0;
        options.setKeys = false;  // the screen has just run
        break;
    }
    if (options.setKeys && !configureKeys(path))
        return 0;
    std::cout << std::flush;
    return std::nullopt;
}

// Opens the pads and loads gamepad.cfg (in the working folder, else in the configuration folder),
// or has the player choose the pad inputs with -setpad. False when the window was closed on the
// configuration screen.
bool prepareGamepads()
{
    const std::string path = configFilePath(GamepadConfigFile);
    openGamepads();
    loadGamepadConfig(path, std::cout);
    if (options.setPad && !configurePad(path))
        return false;
    connectGamepads();
    std::cout << std::flush;
    return true;
}

bool loadGame(const std::string& path, RunControl& control)
{
    const bool loaded = loadRomFile(path, std::cout) == LoadResult::Loaded;
    if (loaded)
        openBatteryFile(control.battery, path, std::cout);
    std::cout << std::flush;
    if (!loaded)
        return false;
    setSoundEmulated(!options.silent);
    chooseRegion(chosenRegion(options.region, path));
    if (currentRegion() != Region::Ntsc)
        std::cout << "Console: " << (currentRegion() == Region::Pal ? "PAL" : "Dendy") << ", 50 frames a second.\n"
                  << std::flush;
    session.romPath = path;
    if (musicFileLoaded()) {
        const bool started = startMusic(std::cout);
        std::cout << std::flush;
        return started;
    }
    if (!options.loadStatePath.empty()) {
        const std::string error = loadStateFile(options.loadStatePath);
        std::cout << error << (error.empty() ? "" : "\n") << std::flush;
        return error.empty();
    }
    return true;
}

// The run without SDL: no window, no sound device, no key map; the sound is emulated unless -silent.
int runWithoutWindow(const std::string& path, RunControl& control)
{
    if (!loadGame(path, control) || !startRecording(control))
        return ExitFailure;
    emulationRunning = true;
    startRewind();
    if (exportingAllTracks())
        return exportAllTracks(control, path);
    runHeadless(control);
    return finishRun(control);
}

int runInWindow(const std::string& path, RunControl& control)
{
    if (!initializeSdl())
        return ExitFailure;
    if (!createWindow()) {
        SDL_Quit();
        return ExitFailure;
    }
    if (const auto exitCode = prepareKeyMap()) {
        SDL_Quit();
        return *exitCode;
    }
    if (!prepareGamepads()) {  // the window was closed on the configuration screen
        SDL_Quit();
        return 0;
    }
    std::optional<AudioDevice> audio;
    if (!options.silent)
        audio.emplace();  // opened before the ROM is looked at
    if (!loadGame(path, control) || !startRecording(control)) {
        audio.reset();
        SDL_Quit();
        return ExitFailure;
    }

    emulationRunning = true;
    startRewind();
    {
        const DisplayLossGuard guard([&] {
            if (audio)
                audio->stop();
            finishRun(control);
        });
        runFrameLoop(control);
    }

    audio.reset();
    if (soundFifo.deviceOpen)
        std::cerr << soundReport(deviceSampleRate()) << "\n";  // a diagnostic, apart from the progress lines
    const int exitCode = finishRun(control);
    SDL_Quit();
    return exitCode;
}

}  // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> args(argv, argv + argc);
    printBanner(std::cout);
    // Started without a ROM (from the desktop's menu, say), an installed program plays its demo.
    if (const std::string demo = args.size() == 1 ? installedDemoPath() : ""; !demo.empty()) {
        std::cout << "No ROM given: playing the demo cartridge " << demo << "\n";
        args.push_back(demo);
    }
    if (const auto exitCode = parseCommandLine(args, std::cout))
        return *exitCode;

    RunControl control;
    if (!prepareRun(control))
        return ExitFailure;
    return options.headless ? runWithoutWindow(args[1], control) : runInWindow(args[1], control);
}
