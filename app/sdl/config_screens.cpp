#include "app/sdl/config_screens.h"

#include <chrono>
#include <iostream>
#include <thread>

#include "app/config_screen.h"
#include "app/keymap.h"
#include "app/sdl/video.h"
#include "app/user_files.h"

namespace {

enum class Answer { Key, Quit };

// Waits for a key press (stored in keyMap[button], or for 8 and 9 in turboKeys, where Escape
// stands for no key) or the quit request; other events are dropped.
Answer waitForKey(uint32_t button)
{
    for (;;) {
        SDL_PumpEvents();
        SDL_Event event;
        if (SDL_PollEvent(&event)) {
            // A key SDL cannot name (symbol 0) cannot be told apart from others: it is not taken.
            if (event.type == SDL_KEYDOWN && event.key.keysym.sym != SDLK_UNKNOWN) {
                const auto key = static_cast<uint16_t>(event.key.keysym.sym & 0xFFFF);
                if (button < keyMap.size())
                    keyMap[button] = key;
                else
                    turboKeys[button - keyMap.size()] = key == SDLK_ESCAPE ? NoKey : key;
                return Answer::Key;
            }
            if (event.type == SDL_QUIT)
                return Answer::Quit;
            continue;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

}  // namespace

bool configureKeys(const std::string& path)
{
    drawConfigScreen();
    for (uint32_t button = 0; button < ButtonNames.size() + turboKeys.size(); ++button) {
        drawKeyPrompt(button);
        presentFrame();
        if (waitForKey(button) == Answer::Quit)
            return false;
    }
    if (const std::string folderError = makeFolderOf(path); !folderError.empty())
        std::cout << folderError << ": the keys are used for this run only and will not be kept.\n";
    else if (!saveKeyMap(path) || !saveTurboKeys(turboKeysPath(path)))
        std::cout << "The keys could not be saved to " << path
                  << ": they are used for this run only and will not be kept.\n";
    return true;
}
