// APU registers, the four channels and the per-instruction tick.
#pragma once

#include <algorithm>
#include <cstdint>

#include "apu/apu_state.h"
#include "apu/mixer.h"
#include "cpu/cpu_state.h"

void apuRegisterWrite(uint16_t address, uint8_t value);
uint8_t apuStatusRead();

// One step of a channel; called from apuTick when the channel's period has run out.
void stepSquare(SquareChannel& square);
void stepTriangle();
void stepNoise();

inline bool squareIsActive(const SquareChannel& square)
{
    return square.length > 0 && square.enabled && square.period >= MinimumPeriod;
}

// The totalCycles value before which the APU has nothing to do: no channel step, sample or frame
// step can fall due earlier.
inline uint32_t apuIdleUntil = 0;

// When each event falls due next (a totalCycles value) and which events are active, as apuTick's
// full pass left them. Between two full passes only the events' own steps move these, so
// apuStepDueEvents steps the due events without looking at the channels' registers again.
struct ApuDueTimes {
    uint32_t triangle, square1, square2, noise, sample;
    // The next full pass: the next frame step, sooner when a wait was cut short, and the present
    // after a frame step or a change from outside.
    uint32_t fullPass;
    bool triangleActive, square1Active, square2Active, noiseActive;
};

inline ApuDueTimes apuDue{};

// Every APU register write, a reset and a loaded state call this: the APU looks again, with a
// full pass, after the current instruction.
inline void wakeApu()
{
    apuIdleUntil = apuDue.fullPass = cpu.totalCycles;
}

// The full pass, after an instruction once its cycles are in totalCycles. Each channel steps at
// most once; a stamp is set to the current count, so lateness is not made up. Nothing runs while
// the sound is not emulated (apuRunning).
void apuTick();

// The steps of the events that are due, in the full pass's order, from the due times it left;
// the full pass itself when one is needed.
void apuStepDueEvents();

// Run after every instruction: nothing until an event is due.
[[gnu::always_inline]] inline void apuTickWhenDue()
{
    if (cyclesSince(apuIdleUntil, cpu.totalCycles) >= 0) [[unlikely]]
        apuStepDueEvents();
}

// Puts the APU and the sound stream back to their program-start values.
void resetApu();
