#include "apu/apu_state.h"

#include "state/state_io.h"

namespace {

void squareFields(StateIo& io, SquareChannel& square)
{
    io.field(square.duty, 0, 3);
    io.field(square.dutyStep, 0, 15);
    io.field(square.volume, 0, 15);
    io.field(square.halt);
    io.field(square.sweepEnabled);
    io.field(square.sweepNegate);
    io.field(square.sweepShift, 0, 7);
    io.field(square.sweepCount);
    io.field(square.length);
    io.field(square.enabled);
    io.field(square.period);
    io.field(square.output, -15, 15);
    io.field(square.lastStepCycle);
}
static_assert(fieldCount<SquareChannel>() == 13, "a SquareChannel field is missing from squareFields");

void triangleFields(StateIo& io, TriangleChannel& triangle)
{
    io.field(triangle.length);
    io.field(triangle.enabled);
    io.field(triangle.period);
    io.field(triangle.step, 0, 31);
    io.field(triangle.output, 0, 15);
    io.field(triangle.lastStepCycle);
}
static_assert(fieldCount<TriangleChannel>() == 6, "a TriangleChannel field is missing from triangleFields");

void noiseFields(StateIo& io, NoiseChannel& noise)
{
    io.field(noise.volume, 0, 31);
    io.field(noise.length);
    io.field(noise.enabled);
    io.field(noise.mode);
    io.field(noise.period);
    io.field(noise.shiftRegister);
    io.field(noise.output, 0, 31);
    io.field(noise.lastStepCycle);
}
static_assert(fieldCount<NoiseChannel>() == 8, "a NoiseChannel field is missing from noiseFields");

}  // namespace

void apuStateFields(StateIo& io, ApuState& state)
{
    io.field(state.frameSteps, 4, 5);
    io.field(state.frameStepIndex, 0, 4);
    squareFields(io, state.square1);
    squareFields(io, state.square2);
    triangleFields(io, state.triangle);
    noiseFields(io, state.noise);
    io.field(state.lastSampleCycle);
    io.field(state.lastFrameStepCycle);
}
static_assert(fieldCount<ApuState>() == 8, "an ApuState field is missing from apuStateFields");

void soundStreamFields(StateIo& io, SoundStream& state)
{
    io.field(state.frameStartCycle);
    io.field(state.frameCycles);
    io.field(state.integratedTo);
    io.field(state.heldSample, -128, 127);
    io.field(state.area);
    io.field(state.produced, 0, SamplesPerFrame);
}
static_assert(fieldCount<SoundStream>() == 6, "a SoundStream field is missing from soundStreamFields");
