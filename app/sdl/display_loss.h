// The display going away while a game runs (a logout, a dropped remote display): Xlib reports it
// and ends the program through exit(), from inside whatever SDL call met the broken connection.
// While a DisplayLossGuard lives, such an exit becomes an orderly end: the guard's `finish` runs
// (the audio thread joined, battery memory, screenshot and state stored), a line says the display
// was lost, and the program ends at once with status 1.
#pragma once

#include <functional>

class DisplayLossGuard {
public:
    explicit DisplayLossGuard(std::function<void()> finish);
    ~DisplayLossGuard();
    DisplayLossGuard(const DisplayLossGuard&) = delete;
    DisplayLossGuard& operator=(const DisplayLossGuard&) = delete;
};
