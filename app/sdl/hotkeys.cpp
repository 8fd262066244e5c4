#include "app/sdl/hotkeys.h"

#include <algorithm>
#include <iostream>

#include "app/keymap.h"
#include "app/movie.h"
#include "app/music.h"
#include "app/sdl/display.h"
#include "app/sdl/video.h"
#include "app/session.h"
#include "app/state_files.h"
#include "console/console.h"
#include "console/rewind.h"

namespace {

constexpr std::string_view NoStatesForMusic = "Save states are not offered for music files";

}  // namespace

bool takeHotKey(const SDL_keysym& key, bool pressed)
{
    // F11 and Alt+Enter switch full screen even when a button has F11 or Enter (often start).
    // Releases go on to the buttons, so that a held button is never left pressed.
    if (pressed && isScreenToggleKey(key)) {
        toggleFullScreen();
        return true;
    }
    // Otherwise the key map keeps priority: a key assigned to a button is only that button.
    if (isMappedKey(key.sym))
        return false;
    if (key.sym == SDLK_TAB) {
        setFastForward(pressed);
        return true;
    }
    if (key.sym == SDLK_BACKSPACE && !musicFileLoaded()) {
        setRewinding(pressed);
        return true;
    }
    if (!pressed)
        return false;
    const auto say = [](const std::string& text) { showMessage(text, SDL_GetTicks(), std::cout); };
    if (key.sym >= SDLK_0 && key.sym <= SDLK_9) {
        session.slot = key.sym - SDLK_0;
        say("Slot " + std::to_string(session.slot));
        return true;
    }
    const bool music = musicFileLoaded();
    switch (key.sym) {
    case SDLK_F5: say(music ? std::string(NoStatesForMusic) : saveSlot(session.romPath, session.slot)); return true;
    case SDLK_F7:
        say(music ? std::string(NoStatesForMusic) : loadSlot(session.romPath, session.slot));
        clearRewindHistory();  // the history no longer leads to the game as it is
        return true;
    case SDLK_F12: say(takeScreenshot(session.romPath)); return true;
    case SDLK_F9: say(toggleMovie(session.romPath)); return true;
    case SDLK_p:
        setPaused(!session.paused);
        say(session.paused ? "Paused" : "Resumed");
        return true;
    case SDLK_r:
        if (!(key.mod & KMOD_CTRL))
            return false;
        music ? playTrack(trackPlaying()) : pressResetButton();
        movie.reset();
        clearRewindHistory();
        say("Reset");
        return true;
    default:
        return false;
    }
}

void drawMessageOverlay(SDL_Surface* surface)
{
    const std::string_view text = shownMessage(SDL_GetTicks());
    if (text.empty() || surface == nullptr)
        return;
    const MessagePicture picture = drawMessage(text);
    const int scale = std::max(1, surface->w / static_cast<int>(FrameWidth));
    const int left = 4 * scale;
    const int top = 4 * scale;
    const int width = std::min<int>(static_cast<int>(picture.width) * scale, surface->w - left);
    const int height = std::min<int>(static_cast<int>(picture.height) * scale, surface->h - top);
    const std::array<uint32_t, 2> colours = {SDL_MapRGB(surface->format, 0, 0, 0),
                                             SDL_MapRGB(surface->format, 255, 255, 255)};
    SDL_LockSurface(surface);
    auto* pixels = static_cast<uint8_t*>(surface->pixels);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<uint32_t*>(pixels + static_cast<size_t>(top + y) * surface->pitch) + left;
        for (int x = 0; x < width; ++x)
            row[x] = colours[picture.pixels[static_cast<size_t>(y / scale) * picture.width + x / scale]];
    }
    SDL_UnlockSurface(surface);
    SDL_UpdateRect(surface, left, top, static_cast<Uint32>(width), static_cast<Uint32>(height));
    forgetShownRows(top, top + height);  // the picture under it is drawn again once the message goes
}
