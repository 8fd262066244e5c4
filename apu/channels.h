// APU registers, the four channels and the per-instruction tick.
#pragma once

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

inline bool squareIsDue(const SquareChannel& square, uint32_t now)
{
    return square.length > 0 && square.enabled && square.period >= MinimumPeriod &&
           cyclesSince(square.lastStepCycle, now) >= square.period;
}

// Called after every instruction, once its cycles are in totalCycles. Each channel steps at
// most once; a stamp is set to the current count, so lateness is not made up. Nothing runs
// until the audio thread has set the block length (never under -silent).
inline void apuTick()
{
    if (sampleRing.writeIndex >= sampleRing.ringSize.load(std::memory_order_relaxed))
        return;
    const uint32_t now = cpu.totalCycles;

    if (apu.triangle.enabled && cyclesSince(apu.triangle.lastStepCycle, now) >= apu.triangle.period) {
        stepTriangle();
        apu.triangle.lastStepCycle = now;
    }
    if (squareIsDue(apu.square1, now)) {
        stepSquare(apu.square1);
        apu.square1.lastStepCycle = now;
    }
    if (squareIsDue(apu.square2, now)) {
        stepSquare(apu.square2);
        apu.square2.lastStepCycle = now;
    }
    const NoiseChannel& noise = apu.noise;
    if (noise.length > 0 && noise.enabled && noise.period >= MinimumPeriod &&
        cyclesSince(noise.lastStepCycle, now) >= noise.period) {
        stepNoise();
        apu.noise.lastStepCycle = now;
    }
    if (cyclesSince(apu.lastSampleCycle, now) >= SamplePeriodCycles) {
        mixSample();
        apu.lastSampleCycle = now;
    }
    if (cyclesSince(apu.lastFrameStepCycle, now) >= FrameStepCycles) {
        frameSequencerStep();
        apu.lastFrameStepCycle = now;
    }
}

// Puts the APU and the sample ring back to their program-start values.
void resetApu();
