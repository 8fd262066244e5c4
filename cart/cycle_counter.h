// The boards' IRQ counters that count CPU cycles run only when looked at (before a register write,
// and when their IRQ falls due through deviceClock): each run covers the cycles since the last.
#pragma once

#include <cstdint>

// The CPU cycles since `lastCycle`, which moves on to `now`: how far a counter has to run.
inline uint32_t cyclesToRun(uint32_t& lastCycle, uint32_t now)
{
    const uint32_t cycles = now - lastCycle;
    lastCycle = now;
    return cycles;
}

// Counts the bits `mask` of `counter` down by `cycles` (the other bits stay); true when they pass
// from 0 to all ones on the way.
inline bool countDown(uint16_t& counter, uint32_t cycles, uint32_t mask = 0xFFFF)
{
    const uint32_t low = counter & mask;
    counter = static_cast<uint16_t>((counter & ~mask) | ((low - cycles) & mask));
    return cycles > low;
}
