#include "apu/apu_state.h"

#include "state/state_io.h"

namespace {

void envelopeFields(StateIo& io, Envelope& envelope)
{
    io.field(envelope.loop, 0, 1);
    io.field(envelope.constant, 0, 1);
    io.field(envelope.volume, 0, 15);
    io.field(envelope.start, 0, 1);
    io.field(envelope.divider, 0, 15);
    io.field(envelope.decay, 0, 15);
}
static_assert(fieldCount<Envelope>() == 6, "an Envelope field is missing from envelopeFields");

void squareFields(StateIo& io, SquareChannel& square)
{
    io.field(square.duty, 0, 3);
    io.field(square.dutyStep, 0, 7);
    envelopeFields(io, square.envelope);
    io.field(square.sweepEnabled, 0, 1);
    io.field(square.sweepPeriod, 0, 7);
    io.field(square.sweepNegate, 0, 1);
    io.field(square.sweepShift, 0, 7);
    io.field(square.sweepDivider, 0, 7);
    io.field(square.sweepReload, 0, 1);
    io.field(square.timer, 0, MaxTimer);
    io.field(square.length);
    io.field(square.enabled, 0, 1);
    io.field(square.period, 0, 2 * (MaxTimer + 1));
    io.field(square.lastStepCycle);
}
static_assert(fieldCount<SquareChannel>() == 14, "a SquareChannel field is missing from squareFields");

void triangleFields(StateIo& io, TriangleChannel& triangle)
{
    io.field(triangle.control, 0, 1);
    io.field(triangle.linearReload, 0, 127);
    io.field(triangle.linearCounter, 0, 127);
    io.field(triangle.linearReloadFlag, 0, 1);
    io.field(triangle.timer, 0, MaxTimer);
    io.field(triangle.length);
    io.field(triangle.enabled, 0, 1);
    io.field(triangle.step, 0, 31);
    io.field(triangle.output, 0, 15);
    io.field(triangle.period, 0, MaxTimer + 1);
    io.field(triangle.lastStepCycle);
}
static_assert(fieldCount<TriangleChannel>() == 11, "a TriangleChannel field is missing from triangleFields");

void noiseFields(StateIo& io, NoiseChannel& noise)
{
    envelopeFields(io, noise.envelope);
    io.field(noise.length);
    io.field(noise.enabled, 0, 1);
    io.field(noise.mode, 0, 1);
    io.field(noise.periodIndex, 0, 15);
    io.field(noise.shiftRegister, 0, 0x7FFF);
    io.field(noise.period, 0, NoisePeriodTable.back());
    io.field(noise.lastStepCycle);
}
static_assert(fieldCount<NoiseChannel>() == 8, "a NoiseChannel field is missing from noiseFields");

void sampleFields(StateIo& io, SampleChannel& sample)
{
    io.field(sample.irqEnabled, 0, 1);
    io.field(sample.loop, 0, 1);
    io.field(sample.rateIndex, 0, 15);
    io.field(sample.output, 0, 127);
    io.field(sample.startAddress);
    io.field(sample.sampleLength, 0, 0xFF1);
    io.field(sample.address);
    io.field(sample.bytesRemaining, 0, 0xFF1);
    io.field(sample.buffer);
    io.field(sample.bufferFull, 0, 1);
    io.field(sample.shift);
    io.field(sample.bitsRemaining, 1, 8);
    io.field(sample.silent, 0, 1);
    io.field(sample.irqFlag, 0, 1);
    io.field(sample.period, 0, SampleRateTable.front());
    io.field(sample.lastStepCycle);
}
static_assert(fieldCount<SampleChannel>() == 16, "a SampleChannel field is missing from sampleFields");

}  // namespace

void apuStateFields(StateIo& io, ApuState& state)
{
    io.field(state.frameSteps, 4, 5);
    io.field(state.frameStepIndex, 0, 4);
    io.check(state.frameStepIndex < state.frameSteps);
    io.field(state.irqInhibit, 0, 1);
    io.field(state.frameIrqFlag, 0, 1);
    squareFields(io, state.square1);
    squareFields(io, state.square2);
    triangleFields(io, state.triangle);
    noiseFields(io, state.noise);
    sampleFields(io, state.sample);
    io.field(state.lastSampleCycle);
    io.field(state.lastFrameStepCycle);
}
static_assert(fieldCount<ApuState>() == 11, "an ApuState field is missing from apuStateFields");

void soundStreamFields(StateIo& io, SoundStream& state)
{
    io.field(state.frameStartCycle);
    io.field(state.frameCycles);
    io.field(state.integratedTo);
    io.field(state.heldSample, 0, MaxMixedSample);
    io.field(state.area);
    io.field(state.produced, 0, SamplesPerFrame);
}
static_assert(fieldCount<SoundStream>() == 6, "a SoundStream field is missing from soundStreamFields");
