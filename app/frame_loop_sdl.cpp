#include <algorithm>
#include <chrono>
#include <cmath>
#include <thread>

#include "app/machine.h"
#include "app/options.h"
#include "app/run_host.h"
#include "app/scheduler.h"
#include "app/session.h"
#include "app/shell_sdl.h"
#include "input/controller.h"

namespace {

using Clock = std::chrono::steady_clock;

// Pacing thresholds: a frame that took 1/57 s or more raises the frame skip; the period is 1/60 s.
const Clock::duration SlowFrame = std::chrono::round<Clock::duration>(std::chrono::duration<double>(1.0 / 57));
const Clock::duration FramePeriod = std::chrono::round<Clock::duration>(std::chrono::duration<double>(1.0 / 60));
// The last stretch of a wait is spent yielding rather than sleeping, for an exact period.
constexpr auto SpinStretch = std::chrono::milliseconds(1);

Clock::time_point lastFrameTick{};

void adjustFrameSkip(Clock::duration elapsed)
{
    if (elapsed >= SlowFrame)
        ++options.frameSkip;
    else if (elapsed < FramePeriod)
        --options.frameSkip;
    options.frameSkip = std::clamp(options.frameSkip, 1, 30);
}

// Waits until 1/60 s has passed since the end of the previous wait, adjusting the frame skip
// on every pass in automatic mode. Sleeps through most of the wait so no core stays busy.
void pace()
{
    for (;;) {
        const Clock::time_point now = Clock::now();
        const Clock::duration elapsed = now - lastFrameTick;
        if (options.autoFrameSkip)
            adjustFrameSkip(elapsed);
        if (elapsed >= FramePeriod) {
            lastFrameTick = now;
            return;
        }
        const Clock::duration remaining = FramePeriod - elapsed;
        if (remaining > SpinStretch)
            std::this_thread::sleep_for(remaining - SpinStretch);
        else
            std::this_thread::yield();
    }
}

}  // namespace

void ignoreUnusedEvents()
{
    for (Uint8 type = 0; type < SDL_NUMEVENTS; ++type)
        if (type != SDL_KEYDOWN && type != SDL_KEYUP && type != SDL_QUIT)
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
            emulationRunning = 0;
            return;
        default:
            break;  // not used by the emulator: dropped without counting
        }
    }
}

void runFrameLoop(RunControl& control)
{
    control.start = Clock::now();
    applyInputScript(control.script, scheduler.frameCounter);  // a loaded state starts past frame 0
    while (emulationRunning) {
        const LoopPass pass = planLoopPass();
        if (pass.runsFrame)
            runFrame();
        if (pass.presents) {
            presentFrame();
            drawMessageOverlay(screenSurface);
        }
        takeWindowEvent();
        if (pass.paces)
            pace();
        if (pass.runsFrame) {
            ++scheduler.frameCounter;
            afterFrame(control);
        }
    }
}
