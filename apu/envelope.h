// The volume unit of the console's squares and noise, and of the MMC5's pulses.
#pragma once

#include <cstdint>

// The volume unit of the squares and the noise (register bits --LC VVVV).
struct Envelope {
    uint8_t loop;      // L: the decay starts again at 15 after 0; also halts the length counter
    uint8_t constant;  // C: the level is `volume`
    uint8_t volume;    // V: the constant level, or the divider's reload
    uint8_t start;     // set by a write to the channel's fourth register
    uint8_t divider;
    uint8_t decay;     // 0-15

    bool operator==(const Envelope&) const = default;
};
