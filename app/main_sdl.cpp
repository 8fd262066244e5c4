// Tallowby's entry point: start-up, the frame loop and shutdown.
#include <iostream>
#include <string>
#include <vector>

#include "apu/audio_sdl.h"
#include "apu/mixer.h"
#include "app/display_sdl.h"
#include "apu/sound_fifo.h"
#include "app/machine.h"
#include "app/options.h"
#include "app/run_host.h"
#include "app/session.h"
#include "app/shell_sdl.h"
#include "app/state_files_host.h"
#include "app/user_files_host.h"
#include "bus/cartridge.h"
#include "cpu/interrupts.h"
#include "cpu/opcode_table.h"
#include "input/config_screen_sdl.h"
#include "input/gamepad.h"
#include "input/gamepad_sdl.h"
#include "input/keymap.h"

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
// the player choose the keys when there is none or -setkeys is given. False when the window was
// closed on the configuration screen.
bool prepareKeyMap()
{
    const std::string path = configFilePath(KeyMapFile);
    switch (loadKeyMap(path)) {
    case KeyMapLoad::Loaded:
        break;
    case KeyMapLoad::Incomplete:
        std::cout << path << " is incomplete: the buttons it does not cover have no key. "
                  << "Run with -setkeys to choose them again.\n";
        break;
    case KeyMapLoad::Missing:
        std::cout << "Controller configuration file not found!\n\n" << std::flush;
        if (!configureKeys(path))
            return false;
        options.setKeys = false;  // the screen has just run
        break;
    }
    if (options.setKeys && !configureKeys(path))
        return false;
    std::cout << std::flush;
    return true;
}

// Opens the pads and loads gamepad.cfg (in the working folder, else in the configuration folder), or has the player choose the pad inputs with -setpad.
// False when the window was closed on the configuration screen.
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
    const bool loaded = loadCartridge(path, std::cout) == LoadResult::Loaded;
    if (loaded)
        openBatteryFile(control.battery, path, std::cout);
    std::cout << std::flush;
    if (!loaded)
        return false;
    initOpcodeTable();
    cpuReset();
    session.romPath = path;
    if (!options.loadStatePath.empty()) {
        const std::string error = loadStateFile(options.loadStatePath);
        std::cout << error << (error.empty() ? "" : "\n") << std::flush;
        return error.empty();
    }
    return true;
}

// The run without SDL: no window, no sound device, no key map; the APU runs unless -silent.
int runWithoutWindow(const std::string& path, RunControl& control)
{
    if (!loadGame(path, control))
        return ExitFailure;
    if (!options.silent)
        apuRunning = true;
    emulationRunning = 1;
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
    if (!prepareKeyMap() || !prepareGamepads()) {
        SDL_Quit();
        return 0;
    }
    if (!options.silent)
        startAudioThread();  // before the ROM is looked at
    if (!loadGame(path, control)) {
        stopAudioThread();
        SDL_Quit();
        return ExitFailure;
    }

    emulationRunning = 1;
    runFrameLoop(control);

    stopAudioThread();
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
