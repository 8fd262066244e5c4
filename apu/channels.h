// APU registers, the five channels and the per-instruction tick.
#pragma once

#include <cstdint>

#include "apu/apu_state.h"
#include "cpu/cpu_state.h"

// A CPU write of 0x4000-0x4013, 0x4015 or 0x4017.
void apuRegisterWrite(uint16_t address, uint8_t value);
// A CPU read of 0x4015: the status. The read clears the frame IRQ flag.
uint8_t apuStatusRead();

// The level of an envelope: its constant volume, or its decay.
inline uint32_t envelopeLevel(const Envelope& envelope)
{
    return envelope.constant ? envelope.volume : envelope.decay;
}

// Where a square's sweep would take its timer: t + (t >> S), or t minus that change when negating,
// minus one more on square 1 (its adder takes the ones' complement).
inline int32_t sweepTarget(const SquareChannel& square, bool firstSquare)
{
    const int32_t change = square.timer >> square.sweepShift;
    if (!square.sweepNegate)
        return square.timer + change;
    return square.timer - change - (firstSquare ? 1 : 0);
}

// The volume bits of a square's or the noise's first register (--LC VVVV).
void writeEnvelope(Envelope& envelope, uint8_t value);

// A square is muted while its timer is below 8 or its sweep's target passes 0x7FF, whether the
// sweep is enabled or not.
inline bool squareMuted(const SquareChannel& square, bool firstSquare)
{
    return square.timer < MinimumSquareTimer || sweepTarget(square, firstSquare) > static_cast<int32_t>(MaxTimer);
}

// The totalCycles value before which the APU has nothing to do: no mix, sample-channel bit or
// frame step can fall due earlier. (The squares, the triangle and the noise step when they are
// heard: just before a mix, a register write or a frame step.)
inline uint32_t apuIdleUntil = 0;

// When the next full pass falls due: the next frame step, or the present after anything that can
// change a channel's period or start or stop it (a register write). Between two full passes the
// channels step at the periods the last full pass left.
inline uint32_t apuFullPassDue = 0;

// A device beside the APU that counts CPU cycles (a cartridge's IRQ counter): the APU's look calls
// it as well, once totalCycles reaches deviceClockDue. It brings the device up to `now` and returns
// the cycle at which it is to be called next. nullptr without such a device, which then costs
// nothing.
inline uint32_t (*deviceClock)(uint32_t now) = nullptr;
inline uint32_t deviceClockDue = 0;

// The device's next moment may have moved (a register write, a loaded state): it is called after
// the current instruction.
inline void wakeDeviceClock() { deviceClockDue = apuIdleUntil = cpu.totalCycles; }

// Every APU register write, a reset and a loaded state call this: the APU looks again, with a
// full pass, after the current instruction.
inline void wakeApu()
{
    apuIdleUntil = apuFullPassDue = cpu.totalCycles;
}

// The full pass, after an instruction once its cycles are in totalCycles: every channel steps up
// to the present (as many steps as whole periods have passed since its last step was due, so no
// lateness is lost), the frame sequencer steps when due, and the periods and the next moment to
// look are worked out again. Nothing runs while the sound is not emulated (apuRunning).
void apuTick();

// The mix and the sample channel's bits when they are due, from the periods the full pass left;
// the full pass itself when one is due.
void apuStepDueEvents();

// Run after every instruction: nothing until an event is due.
[[gnu::always_inline]] inline void apuTickWhenDue()
{
    if (cyclesSince(apuIdleUntil, cpu.totalCycles) >= 0) [[unlikely]]
        apuStepDueEvents();
}

// The frame IRQ flag or the sample IRQ flag has been set: the CPU's IRQ line is raised, and the
// IRQ taken at the next run boundary at which I is clear. When both flags are clear again, a
// raised IRQ not yet taken is dropped.
void raiseApuIrq();
void lowerApuIrqWhenClear();

// Puts the APU and the sound stream back to their program-start values.
void resetApu();
