#include "app/sdl/display_loss.h"

#include <cstdlib>
#include <iostream>

namespace {

// The finish of the guard that lives now; empty when none does.
std::function<void()> armedFinish;

extern "C" void finishOnExit()
{
    if (!armedFinish)
        return;
    const std::function<void()> finish = std::move(armedFinish);
    armedFinish = nullptr;
    std::cout << "The display was lost: Tallowby ends.\n";
    finish();
    std::cout << std::flush;
    // Nothing else of the program runs: the objects of the interrupted frame loop are not
    // destroyed behind its back.
    std::_Exit(1);
}

}  // namespace

DisplayLossGuard::DisplayLossGuard(std::function<void()> finish)
{
    static const bool registered = std::atexit(finishOnExit) == 0;
    if (registered)
        armedFinish = std::move(finish);
}

DisplayLossGuard::~DisplayLossGuard() { armedFinish = nullptr; }
