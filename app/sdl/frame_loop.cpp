#include "app/sdl/frame_loop.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <iostream>
#include <string>

#include "app/keymap.h"
#include "app/movie.h"
#include "app/music.h"
#include "app/options.h"
#include "app/run.h"
#include "app/sdl/gamepad_events.h"
#include "app/sdl/hotkeys.h"
#include "app/sdl/video.h"
#include "app/session.h"
#include "console/console.h"
#include "console/rewind.h"

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point lastFrameTick{};

// A frame lasts 1/60 s, or 1/50 s on a PAL or Dendy console.
Clock::duration framePeriod()
{
    return std::chrono::round<Clock::duration>(std::chrono::duration<double>(1.0 / framesPerSecond()));
}

// A frame that took 60/57 of its period or more raises the frame skip; a shorter one lowers it.
void adjustFrameSkip(Clock::duration elapsed, Clock::duration period)
{
    if (elapsed * 57 >= period * 60)
        ++options.frameSkip;
    else if (elapsed < period)
        --options.frameSkip;
    options.frameSkip = std::clamp(options.frameSkip, 1, 30);
}

// Sleeps until `deadline` on the monotonic clock (the steady clock's own), waking within a fraction
// of a millisecond; a signal that cuts the sleep short only ends it early.
void sleepUntil(Clock::time_point deadline)
{
    const auto sinceEpoch = deadline.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(sinceEpoch);
    const timespec wake{static_cast<time_t>(seconds.count()),
                        static_cast<long>(std::chrono::nanoseconds(sinceEpoch - seconds).count())};
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &wake, nullptr);
}

// Waits until a frame's period has passed since the end of the previous wait, adjusting the frame
// skip on every pass in automatic mode. Sleeps to the deadline so no core stays busy.
void pace()
{
    const Clock::duration period = framePeriod();
    for (;;) {
        const Clock::time_point now = Clock::now();
        const Clock::duration elapsed = now - lastFrameTick;
        if (options.autoFrameSkip)
            adjustFrameSkip(elapsed, period);
        if (elapsed >= period) {
            // The next period counts from when this one was due, so a late wake-up is made up and the
            // frames (and the sound they make) keep their rate; after a stall the count starts afresh.
            lastFrameTick = elapsed < 2 * period ? lastFrameTick + period : now;
            return;
        }
        sleepUntil(lastFrameTick + period);
    }
}

}  // namespace

void ignoreUnusedEvents()
{
    for (Uint8 type = 0; type < SDL_NUMEVENTS; ++type)
        if (type != SDL_KEYDOWN && type != SDL_KEYUP && type != SDL_QUIT && type != SDL_VIDEOEXPOSE && !isPadEvent(type))
            SDL_EventState(type, SDL_IGNORE);
}

void takeWindowEvent()
{
    SDL_PumpEvents();
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP:
            if (!takeHotKey(event.key.keysym, event.type == SDL_KEYDOWN))
                applyKeyEvent(event.key.keysym.sym, event.type == SDL_KEYDOWN);
            return;
        case SDL_QUIT:
            emulationRunning = false;
            return;
        case SDL_VIDEOEXPOSE:  // the window was covered: the next picture is drawn whole
            forgetShownPicture();
            break;
        case SDL_JOYAXISMOTION:
        case SDL_JOYHATMOTION:
        case SDL_JOYBUTTONDOWN:
        case SDL_JOYBUTTONUP:
            applyJoystickEvent(event);  // pads report in floods (every stick movement): not counted
            break;
        default:
            break;  // not used by the emulator: dropped without counting
        }
    }
}

void runFrameLoop(RunControl& control)
{
    control.start = Clock::now();
    applyInputScript(control.script, framesRun());  // a loaded state starts past frame 0
    while (emulationRunning) {
        const LoopPass pass = planLoopPass();
        // Rewinding, a frame runs backwards (or the picture stays at the history's start).
        const bool rewound = pass.runsFrame && session.rewinding && rewindFrame(frameSettings());
        const bool runs = pass.runsFrame && !session.rewinding;
        if (runs) {
            const ControllerInput input = heldButtons();
            rememberFrame(input);
            movie.frame(framesRun(), input);
            runConsoleFrame(input, frameSettings());
        }
        if (pass.presents) {
            presentFrame();
            drawMessageOverlay(screenSurface);
        }
        takeWindowEvent();
        if (musicFileLoaded())
            if (const std::string done = takeMusicButtons(heldButtons()); !done.empty())
                showMessage(done, SDL_GetTicks(), std::cout);
        if (pass.paces)
            pace();
        if (runs) {
            countFrame();
            afterFrame(control);
        } else if (rewound) {
            applyInputScript(control.script, framesRun());
        }
    }
}
