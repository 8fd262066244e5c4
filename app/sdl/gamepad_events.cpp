#include "app/sdl/gamepad_events.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <iostream>
#include <string>
#include <thread>

#include "app/config_screen.h"
#include "app/gamepad.h"
#include "app/sdl/video.h"
#include "app/user_files.h"

namespace {

int openedPads = 0;
std::array<int, MaxGamepads> padButtonCounts{};         // the number of buttons of each followed pad
std::array<SDL_Joystick*, MaxGamepads> padHandles{};  // null when not open

// The pad an event comes from and what it reports; nothing for pads beyond the followed ones.
std::optional<std::pair<uint32_t, PadEvent>> padEventOf(const SDL_Event& event)
{
    uint8_t which = 0;
    PadEvent pad{};
    switch (event.type) {
    case SDL_JOYBUTTONDOWN:
    case SDL_JOYBUTTONUP:
        which = event.jbutton.which;
        pad = {PadInputKind::Button, event.jbutton.button, static_cast<int16_t>(event.type == SDL_JOYBUTTONDOWN)};
        break;
    case SDL_JOYHATMOTION:
        which = event.jhat.which;
        pad = {PadInputKind::Hat, event.jhat.hat, event.jhat.value};
        break;
    case SDL_JOYAXISMOTION:
        which = event.jaxis.which;
        pad = {PadInputKind::Axis, event.jaxis.axis, event.jaxis.value};
        break;
    default:
        return std::nullopt;
    }
    if (which >= MaxGamepads)
        return std::nullopt;
    return std::pair{static_cast<uint32_t>(which), pad};
}

enum class Answer { Input, Quit };

// Waits for a pad input that has just been pressed (stored as the button's only input) or the quit request.
Answer waitForPadInput(uint32_t button)
{
    for (;;) {
        SDL_PumpEvents();
        SDL_Event event;
        if (!SDL_PollEvent(&event)) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        if (event.type == SDL_QUIT)
            return Answer::Quit;
        const auto report = padEventOf(event);
        if (!report)
            continue;
        const GamepadState before = gamepads[report->first];
        applyPadEvent(report->first, report->second);
        if (const auto input = newlyPressedInput(report->second, before, gamepads[report->first])) {
            gamepadConfig[button] = PadBinding{*input};
            return Answer::Input;
        }
    }
}

}  // namespace

void openGamepads()
{
    if (SDL_WasInit(SDL_INIT_JOYSTICK) == 0 && SDL_InitSubSystem(SDL_INIT_JOYSTICK) != 0)
        return;  // no joystick support: the keyboard alone plays
    SDL_JoystickEventState(SDL_ENABLE);
    openedPads = 0;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        SDL_Joystick* joystick = SDL_JoystickOpen(index);
        if (joystick == nullptr)
            continue;
        if (index < static_cast<int>(MaxGamepads)) {
            padButtonCounts[index] = std::max(SDL_JoystickNumButtons(joystick), 0);
            padHandles[index] = joystick;
        }
        const char* name = SDL_JoystickName(index);
        std::cout << "Gamepad " << index + 1 << ": " << (name ? name : "(no name)");
        std::cout << (index < static_cast<int>(MaxGamepads) ? " plays controller " + std::to_string(index + 1)
                                                             : std::string(" is not used (two controllers)"))
                  << ".\n";
        ++openedPads;
    }
}

void connectGamepads()
{
    SDL_JoystickUpdate();
    for (uint32_t pad = 0; pad < MaxGamepads; ++pad) {
        SDL_Joystick* joystick = padHandles[pad];
        if (joystick == nullptr)
            continue;
        connectGamepad(pad, static_cast<uint32_t>(padButtonCounts[pad]));
        // Start from what the pad holds now: a trigger resting at one end of its axis is not a new push.
        const auto take = [pad](PadInputKind kind, int count, auto read) {
            for (int index = 0; index < count; ++index)
                applyPadEvent(pad, {kind, static_cast<uint8_t>(index), static_cast<int16_t>(read(index))});
        };
        take(PadInputKind::Button, std::min(padButtonCounts[pad], int{PadButtonCount}),
             [joystick](int i) { return SDL_JoystickGetButton(joystick, i); });
        take(PadInputKind::Hat, std::min(SDL_JoystickNumHats(joystick), int{PadHatCount}),
             [joystick](int i) { return SDL_JoystickGetHat(joystick, i); });
        take(PadInputKind::Axis, std::min(SDL_JoystickNumAxes(joystick), int{PadAxisCount}),
             [joystick](int i) { return SDL_JoystickGetAxis(joystick, i); });
    }
}

bool isPadEvent(Uint8 type)
{
    return type == SDL_JOYAXISMOTION || type == SDL_JOYHATMOTION || type == SDL_JOYBUTTONDOWN ||
           type == SDL_JOYBUTTONUP;
}

void applyJoystickEvent(const SDL_Event& event)
{
    if (const auto report = padEventOf(event))
        applyPadEvent(report->first, report->second);
}

bool configurePad(const std::string& path)
{
    if (openedPads == 0) {
        std::cout << "No gamepad found: plug one in and start again with -setpad.\n";
        return true;
    }
    connectGamepads();  // so that the screen can tell a fresh press from an input already held
    drawConfigScreen();
    drawText(0, 0, std::string(TextColumns, ' '));
    drawText(0, 0, "Gamepad configure");
    for (uint32_t button = 0; button < ButtonNames.size(); ++button) {
        drawText(0, static_cast<int32_t>(button) + 2, "Press pad input for " + std::string(ButtonNames[button]));
        presentFrame();
        if (waitForPadInput(button) == Answer::Quit)
            return false;
    }
    if (const std::string folderError = makeFolderOf(path); !folderError.empty())
        std::cout << folderError << ": the pad inputs are used for this run only and will not be kept.\n";
    else if (!saveGamepadConfig(path, gamepadConfig))
        std::cout << "The gamepad inputs could not be saved to " << path
                  << ": they are used for this run only and will not be kept.\n";
    return true;
}
