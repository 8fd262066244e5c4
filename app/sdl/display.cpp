#include "app/sdl/display.h"

#include <iostream>

#include "app/options.h"
#include "app/sdl/video.h"

namespace {

int32_t desktopWidth = 0;
int32_t desktopHeight = 0;
bool fullScreenShown = false;

}  // namespace

void noteDesktopSize()
{
    if (const SDL_VideoInfo* info = SDL_GetVideoInfo()) {
        desktopWidth = info->current_w;
        desktopHeight = info->current_h;
    }
}

bool openScreen(int32_t scale, bool fullScreen)
{
    const ScreenGeometry window = windowGeometry(scale);
    // A desktop of unknown size is taken to be the window's size.
    const ScreenGeometry geometry = !fullScreen ? window
                                    : desktopWidth > 0 && desktopHeight > 0
                                        ? fullScreenGeometry(desktopWidth, desktopHeight)
                                        : fullScreenGeometry(window.width, window.height);
    screenSurface = SDL_SetVideoMode(geometry.width, geometry.height, 32, fullScreen ? SDL_FULLSCREEN : SDL_SWSURFACE);
    // The picture is drawn without clipping: a surface smaller than asked for is not used.
    if (screenSurface != nullptr && (screenSurface->w < geometry.width || screenSurface->h < geometry.height))
        screenSurface = nullptr;
    if (screenSurface == nullptr)
        return false;
    screenGeometry = geometry;
    fullScreenShown = fullScreen;
    SDL_ShowCursor(SDL_DISABLE);
    preparePalette(screenSurface->format);
    SDL_FillRect(screenSurface, nullptr, SDL_MapRGB(screenSurface->format, 0, 0, 0));
    forgetShownPicture();
    return true;
}

bool isScreenToggleKey(const SDL_keysym& key)
{
    return key.sym == SDLK_F11 || (key.sym == SDLK_RETURN && (key.mod & KMOD_ALT) != 0);
}

void toggleFullScreen()
{
    const bool wanted = !fullScreenShown;
    if (!openScreen(options.scale, wanted)) {
        std::cout << (wanted ? "Full screen is not available here: the window stays.\n"
                             : "The window could not be made again.\n")
                  << std::flush;
        if (!openScreen(options.scale, !wanted))
            return;  // nothing to draw into; SDL keeps reporting events, and closing still ends the program
    }
    presentFrame();
}
