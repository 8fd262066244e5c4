// A cartridge's sound chip, mixed beside the console's five channels. The chip's channels are
// stepped only when they are heard: when a sample is mixed and before each of its register writes,
// up to that cycle, so a game without one pays nothing.
#pragma once

#include <cstdint>

#include "apu/mmc5_sound.h"
#include "apu/namco163_sound.h"
#include "apu/sunsoft_5b_sound.h"
#include "apu/vrc6_sound.h"
#include "apu/vrc7_sound.h"

// The chips' records (only the loaded cartridge's chip is in use); saved with the APU.
struct ExpansionSoundState {
    Vrc6Sound vrc6;
    Sunsoft5bSound sunsoft5b;
    Namco163Sound namco163;
    Vrc7Sound vrc7;
    Mmc5Sound mmc5;

    bool operator==(const ExpansionSoundState&) const = default;
};

// The loaded cartridge's chip: its output at `now` (its channels run up to then) in the mixer's
// units (twentieths of a console level step), the largest output it can give, and whether the game
// plays it (a board whose chip only some of its games use: the mix makes room from then on). The
// board sets it at power-on; nullptr without a chip.
struct ExpansionSound {
    int32_t (*levelAt)(uint32_t now);
    int32_t peak;
    bool (*inUse)();
};
inline const ExpansionSound* expansionSound = nullptr;

// Whole periods of `period` cycles from `stamp` up to `now`; the stamp moves on by as many, so a
// channel keeps its phase from one look to the next.
inline uint32_t stepsSince(uint32_t& stamp, uint32_t period, uint32_t now)
{
    const uint32_t steps = (now - stamp) / period;
    stamp += steps * period;
    return steps;
}

class StateIo;
void expansionSoundFields(StateIo& io, ExpansionSoundState& state);
