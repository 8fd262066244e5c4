#include "apu/apu_state.h"

#include <algorithm>

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
    if (io.since(10))
        expansionSoundFields(io, state.expansion);
}
static_assert(fieldCount<ApuState>() == 12, "an ApuState field is missing from apuStateFields");

void soundStreamFields(StateIo& io, SoundStream& state)
{
    io.field(state.frameStartCycle);
    io.field(state.frameCycles);
    io.field(state.integratedTo);
    io.field(state.heldSample, 0, MaxMixedSample + MaxExpansionPeak);
    io.field(state.area);
    io.field(state.produced, 0, MaxSamplesPerFrame);
}
static_assert(fieldCount<SoundStream>() == 6, "a SoundStream field is missing from soundStreamFields");

// Format 1 held the sound unit of Tallowby's earlier rules: squares of 16 steps whose register-0
// bit 5 forced level 15, no envelopes, no linear counter, a 14-bit noise register, no sample
// channel and no frame IRQ. Its states are read into today's records as closely as they go; the
// game's next register writes set the rest.
namespace {

struct SquareFormat1 {
    uint32_t duty, dutyStep, volume, halt, sweepEnabled, sweepNegate, sweepShift;
    int32_t sweepCount, length;
    uint32_t enabled;
    int64_t period;
    int8_t output;
    uint32_t lastStepCycle;
};

void squareFromFormat1(StateIo& io, SquareChannel& square)
{
    SquareFormat1 old{};
    io.field(old.duty, 0, 3);
    io.field(old.dutyStep, 0, 15);
    io.field(old.volume, 0, 15);
    io.field(old.halt);
    io.field(old.sweepEnabled);
    io.field(old.sweepNegate);
    io.field(old.sweepShift, 0, 7);
    io.field(old.sweepCount);
    io.field(old.length);
    io.field(old.enabled);
    io.field(old.period);
    io.field(old.output, -15, 15);
    io.field(old.lastStepCycle);
    square = SquareChannel{};
    square.duty = static_cast<uint8_t>(old.duty);
    square.dutyStep = static_cast<uint8_t>(old.dutyStep / 2);
    square.envelope = {0, 1, static_cast<uint8_t>(old.halt ? 15 : old.volume), 0, 0, 0};
    square.sweepEnabled = old.sweepEnabled != 0;
    square.sweepNegate = old.sweepNegate != 0;
    square.sweepShift = static_cast<uint8_t>(old.sweepShift);
    square.sweepPeriod = static_cast<uint8_t>(std::clamp(old.sweepCount - 1, 0, 7));
    square.sweepReload = 1;
    square.timer = static_cast<uint16_t>(std::clamp<int64_t>(old.period, 0, MaxTimer));
    square.length = static_cast<uint8_t>(std::clamp(old.length, 0, 255));
    square.enabled = old.enabled != 0;
    square.lastStepCycle = old.lastStepCycle;
}

}  // namespace

void apuStateFieldsFormat1(StateIo& io, ApuState& state)
{
    state = ApuState{};
    io.field(state.frameSteps, 4, 5);
    io.field(state.frameStepIndex, 0, 4);
    state.frameStepIndex = static_cast<uint8_t>(state.frameStepIndex % state.frameSteps);
    state.irqInhibit = 1;  // the frame IRQ did not exist: the game did not have to turn it off
    squareFromFormat1(io, state.square1);
    squareFromFormat1(io, state.square2);

    TriangleChannel& triangle = state.triangle;
    int32_t length = 0;
    uint32_t enabled = 0;
    int64_t period = 0;
    io.field(length);
    io.field(enabled);
    io.field(period);
    io.field(triangle.step, 0, 31);
    int8_t output = 0;
    io.field(output, 0, 15);
    io.field(triangle.lastStepCycle);
    triangle.length = static_cast<uint8_t>(std::clamp(length, 0, 255));
    triangle.enabled = enabled != 0;
    triangle.timer = static_cast<uint16_t>(std::clamp<int64_t>(period, 0, MaxTimer));
    triangle.output = output;
    // No linear counter then: it starts at its longest, so that the note goes on.
    triangle.linearReload = triangle.linearCounter = 127;

    NoiseChannel& noise = state.noise;
    uint32_t volume = 0, mode = 0;
    int32_t shiftRegister = 1;
    io.field(volume, 0, 31);
    io.field(length);
    io.field(enabled);
    io.field(mode);
    io.field(period);
    io.field(shiftRegister);
    io.field(output, 0, 31);
    io.field(noise.lastStepCycle);
    noise.envelope = {0, 1, static_cast<uint8_t>(volume & 15), 0, 0, 0};
    noise.length = static_cast<uint8_t>(std::clamp(length, 0, 255));
    noise.enabled = enabled != 0;
    noise.mode = mode != 0;
    const auto* index = std::find(NoisePeriodTable.begin(), NoisePeriodTable.end(), period);
    noise.periodIndex = static_cast<uint8_t>(index == NoisePeriodTable.end() ? 0 : index - NoisePeriodTable.begin());
    noise.shiftRegister = static_cast<uint16_t>((shiftRegister & 0x7FFF) != 0 ? shiftRegister & 0x7FFF : 1);

    io.field(state.lastSampleCycle);
    io.field(state.lastFrameStepCycle);
}

void soundStreamFieldsFormat1(StateIo& io, SoundStream& state)
{
    io.field(state.frameStartCycle);
    io.field(state.frameCycles);
    io.field(state.integratedTo);
    io.field(state.heldSample, -128, 127);
    io.field(state.area);
    io.field(state.produced, 0, MaxSamplesPerFrame);
    // Whole levels then, twentieths now.
    state.heldSample = std::clamp(state.heldSample * MixUnitsPerLevel, 0, MaxMixedSample);
    state.area *= MixUnitsPerLevel;
}
