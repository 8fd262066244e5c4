// Tallowby's entry point: start-up, the frame loop and shutdown.
#include <iostream>
#include <string>
#include <vector>

#include "apu/audio_sdl.h"
#include "app/machine.h"
#include "app/options.h"
#include "app/shell_sdl.h"
#include "bus/cartridge.h"
#include "cpu/interrupts.h"
#include "cpu/opcode_table.h"
#include "input/config_screen_sdl.h"
#include "input/keymap.h"

namespace {

constexpr int ExitFailure = 1;

// Brings up SDL with every subsystem; on a machine without a sound device, with video alone.
bool initializeSdl()
{
    std::cout << "Initializing SDL... " << std::flush;
    if (SDL_Init(SDL_INIT_EVERYTHING) == 0) {
        std::cout << "OK!\n";
        return true;
    }
    if (SDL_Init(SDL_INIT_VIDEO) == 0) {
        std::cout << "OK!\n" << "No sound device could be opened: running without sound.\n";
        return true;
    }
    std::cout << "failed!\n";
    return false;
}

bool createWindow()
{
    std::cout << "Creating SDL screen context... " << std::flush;
    screenSurface = SDL_SetVideoMode(ScreenWidth, ScreenHeight, 32, 0);
    if (screenSurface == nullptr) {
        std::cout << "failed!\n";
        return false;
    }
    std::cout << "OK!\n";
    SDL_WM_SetCaption(ProgramTitle.c_str(), nullptr);
    SDL_ShowCursor(0);
    preparePalette(screenSurface->format);
    ignoreUnusedEvents();
    return true;
}

// Loads keymap.cfg, or has the player choose the keys when it is missing or -setkeys is given.
// False when the window was closed on the configuration screen.
bool prepareKeyMap()
{
    switch (loadKeyMap(KeyMapFile)) {
    case KeyMapLoad::Loaded:
        break;
    case KeyMapLoad::Incomplete:
        std::cout << KeyMapFile << " is incomplete: the buttons it does not cover have no key. "
                  << "Run with -setkeys to choose them again.\n";
        break;
    case KeyMapLoad::Missing:
        std::cout << "Controller configuration file not found!\n\n" << std::flush;
        if (!configureKeys())
            return false;
        options.setKeys = false;  // the screen has just run
        break;
    }
    if (options.setKeys && !configureKeys())
        return false;
    std::cout << std::flush;
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv, argv + argc);
    printBanner(std::cout);
    if (const auto exitCode = parseCommandLine(args, std::cout))
        return *exitCode;

    if (!initializeSdl())
        return ExitFailure;
    if (!createWindow()) {
        SDL_Quit();
        return ExitFailure;
    }

    if (!prepareKeyMap()) {
        SDL_Quit();
        return 0;
    }

    if (!options.silent)
        startAudioThread();  // before the ROM is looked at

    if (loadCartridge(args[1], std::cout) != LoadResult::Loaded) {
        std::cout << std::flush;
        stopAudioThread();
        SDL_Quit();
        return ExitFailure;
    }
    std::cout << std::flush;

    initOpcodeTable();
    cpuReset();

    emulationRunning = 1;
    runFrameLoop();

    stopAudioThread();
    SDL_Quit();
    return 0;
}
