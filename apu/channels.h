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

// The totalCycles value before which apuTick has nothing to do: no channel step, sample or frame
// step can fall due earlier. apuTick sets it after its work. Every APU register write and the
// start of every CPU run bring it back to the current count (wakeApu), so a change made by
// anything but apuTick itself is looked at after the next instruction.
inline uint32_t apuIdleUntil = 0;

inline void wakeApu() { apuIdleUntil = cpu.totalCycles; }

// Called after every instruction, once its cycles are in totalCycles. Each channel steps at
// most once; a stamp is set to the current count, so lateness is not made up. Nothing runs
// until the audio thread has switched sound on (never under -silent).
inline void apuTick()
{
    const uint32_t now = cpu.totalCycles;
    if (!apuRunning.load(std::memory_order_relaxed)) {
        apuIdleUntil = now;  // sound may be switched on at any moment: look again next time
        return;
    }

    // An active event runs when `period` cycles have passed since its stamp. The cycles left
    // until each one is due give apuIdleUntil: a stamp's elapsed count grows with totalCycles and
    // reaches the period before it can wrap. Waits past 2^30 (a stamp seen as lying ahead, a
    // period pushed far up by the sweep) are cut short, which only brings the next look forward.
    int64_t wait = int64_t{1} << 30;
    const auto whenDue = [&](bool active, int64_t period, uint32_t& stamp, auto step) {
        if (!active)
            return;
        int64_t left = period - cyclesSince(stamp, now);
        if (left <= 0) {
            step();
            stamp = now;
            left = period;
        }
        wait = std::min(wait, left);
    };
    whenDue(apu.triangle.enabled, apu.triangle.period, apu.triangle.lastStepCycle, stepTriangle);
    whenDue(squareIsActive(apu.square1), apu.square1.period, apu.square1.lastStepCycle,
            [] { stepSquare(apu.square1); });
    whenDue(squareIsActive(apu.square2), apu.square2.period, apu.square2.lastStepCycle,
            [] { stepSquare(apu.square2); });
    const NoiseChannel& noise = apu.noise;
    whenDue(noise.length > 0 && noise.enabled && noise.period >= MinimumPeriod, noise.period,
            apu.noise.lastStepCycle, stepNoise);
    whenDue(true, SamplePeriodCycles, apu.lastSampleCycle, mixSample);
    // The frame step changes lengths and periods: look again after the next instruction.
    whenDue(true, FrameStepCycles, apu.lastFrameStepCycle, [&wait] {
        frameSequencerStep();
        wait = 0;
    });
    apuIdleUntil = now + static_cast<uint32_t>(std::max<int64_t>(wait, 0));
}

// apuTick's fast path, run after every instruction: the whole apuTick only once something is due.
inline void apuTickWhenDue()
{
    if (cyclesSince(apuIdleUntil, cpu.totalCycles) >= 0)
        apuTick();
}

// Puts the APU and the sound stream back to their program-start values.
void resetApu();
