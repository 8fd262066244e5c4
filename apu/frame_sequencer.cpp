#include "apu/frame_sequencer.h"

#include "apu/channels.h"

namespace {

void clockLinearCounter()
{
    TriangleChannel& triangle = apu.triangle;
    if (triangle.linearReloadFlag)
        triangle.linearCounter = triangle.linearReload;
    else if (triangle.linearCounter > 0)
        --triangle.linearCounter;
    if (!triangle.control)
        triangle.linearReloadFlag = 0;
}

void clockLength(uint8_t& length, uint8_t halted)
{
    if (length > 0 && !halted)
        --length;
}

// Sweep: when its divider is at 0, the sweep enabled with a shift and the square not muted, the
// timer takes the target; then the divider reloads (at 0, or after a register write) or counts down.
void clockSweep(SquareChannel& square, bool firstSquare)
{
    if (square.sweepDivider == 0 && square.sweepEnabled && square.sweepShift > 0 && !squareMuted(square, firstSquare))
        square.timer = static_cast<uint16_t>(sweepTarget(square, firstSquare));
    if (square.sweepDivider == 0 || square.sweepReload) {
        square.sweepDivider = square.sweepPeriod;
        square.sweepReload = 0;
    } else {
        --square.sweepDivider;
    }
}

void clockQuarterFrame()
{
    clockEnvelope(apu.square1.envelope);
    clockEnvelope(apu.square2.envelope);
    clockEnvelope(apu.noise.envelope);
    clockLinearCounter();
}

void clockHalfFrame()
{
    clockLength(apu.square1.length, apu.square1.envelope.loop);
    clockLength(apu.square2.length, apu.square2.envelope.loop);
    clockLength(apu.triangle.length, apu.triangle.control);
    clockLength(apu.noise.length, apu.noise.envelope.loop);
    clockSweep(apu.square1, true);
    clockSweep(apu.square2, false);
}

}  // namespace

// Envelope: with its start flag, the decay starts at 15; otherwise the divider counts down from
// the volume, and each time it passes 0 the decay falls by one (back to 15 after 0 when looping).
void clockEnvelope(Envelope& envelope)
{
    if (envelope.start) {
        envelope.start = 0;
        envelope.decay = 15;
        envelope.divider = envelope.volume;
        return;
    }
    if (envelope.divider > 0) {
        --envelope.divider;
        return;
    }
    envelope.divider = envelope.volume;
    if (envelope.decay > 0)
        --envelope.decay;
    else if (envelope.loop)
        envelope.decay = 15;
}

void frameSequencerStep()
{
    const uint32_t step = apu.frameStepIndex + 1u;
    apu.frameStepIndex = static_cast<uint8_t>(step % apu.frameSteps);
    if (apu.frameSteps == 4) {
        clockQuarterFrame();
        if (step == 2 || step == 4)
            clockHalfFrame();
        if (step == 4 && !apu.irqInhibit) {
            apu.frameIrqFlag = 1;
            raiseApuIrq();
        }
        return;
    }
    if (step != 4)
        clockQuarterFrame();
    if (step == 2 || step == 5)
        clockHalfFrame();
}

void writeFrameCounter(uint8_t value)
{
    apu.frameSteps = (value & 0x80) ? 5 : 4;
    apu.irqInhibit = (value >> 6) & 1;
    if (apu.irqInhibit) {
        apu.frameIrqFlag = 0;
        lowerApuIrqWhenClear();
    }
    apu.frameStepIndex = 0;
    apu.lastFrameStepCycle = cpu.totalCycles;
    if (value & 0x80) {
        clockQuarterFrame();
        clockHalfFrame();
    }
}
