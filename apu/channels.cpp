#include "apu/channels.h"

#include <algorithm>

#include "apu/frame_sequencer.h"
#include "apu/mixer.h"
#include "apu/sound_stream.h"
#include "bus/cpu_bus.h"
#include "cpu/interrupts.h"

namespace {

uint8_t bit(uint8_t value, int index) { return (value >> index) & 1u; }

// A channel whose schedule is further behind than this many steps (a state loaded from elsewhere)
// takes one step and starts its schedule afresh, instead of catching up. Between two mixes the
// busiest channel (the triangle at its shortest period) takes about 50.
constexpr uint32_t MaxCatchUpSteps = 256;

// The length counter takes its table value only while the channel is enabled.
void loadLength(uint8_t& length, uint8_t enabled, uint8_t value)
{
    if (enabled)
        length = LengthTable[value >> 3];
}

// Registers 0-3 of a square channel; `reg` is the address's offset within the channel.
void writeSquare(SquareChannel& square, uint32_t reg, uint8_t value)
{
    switch (reg) {
    case 0:
        square.duty = value >> 6;
        writeEnvelope(square.envelope, value);
        break;
    case 1:
        square.sweepEnabled = bit(value, 7);
        square.sweepPeriod = (value >> 4) & 7;
        square.sweepNegate = bit(value, 3);
        square.sweepShift = value & 7;
        square.sweepReload = 1;
        break;
    case 2:
        square.timer = static_cast<uint16_t>((square.timer & 0x700) | value);
        break;
    default:
        square.timer = static_cast<uint16_t>((square.timer & 0xFF) | (value & 7) << 8);
        loadLength(square.length, square.enabled, value);
        square.dutyStep = 0;
        square.envelope.start = 1;
        break;
    }
}

void restartSample()
{
    apu.sample.address = apu.sample.startAddress;
    apu.sample.bytesRemaining = apu.sample.sampleLength;
}

// The sample channel reads its next byte through the CPU's bus when its buffer is empty and
// bytes remain; after the last one it starts again (loop) or raises its IRQ.
void fetchSampleByte()
{
    SampleChannel& sample = apu.sample;
    if (sample.bufferFull || sample.bytesRemaining == 0)
        return;
    sample.buffer = cpuRead(sample.address);
    sample.bufferFull = 1;
    sample.address = sample.address == 0xFFFF ? 0x8000 : static_cast<uint16_t>(sample.address + 1);
    if (--sample.bytesRemaining != 0)
        return;
    if (sample.loop) {
        restartSample();
    } else if (sample.irqEnabled) {
        sample.irqFlag = 1;
        raiseApuIrq();
    }
}

void writeStatus(uint8_t value)
{
    const auto enable = [](uint8_t& enabled, uint8_t& length, uint8_t on) {
        enabled = on;
        if (!on)
            length = 0;
    };
    enable(apu.square1.enabled, apu.square1.length, bit(value, 0));
    enable(apu.square2.enabled, apu.square2.length, bit(value, 1));
    enable(apu.triangle.enabled, apu.triangle.length, bit(value, 2));
    enable(apu.noise.enabled, apu.noise.length, bit(value, 3));
    SampleChannel& sample = apu.sample;
    sample.irqFlag = 0;
    lowerApuIrqWhenClear();
    if (!bit(value, 4)) {
        sample.bytesRemaining = 0;
    } else if (sample.bytesRemaining == 0) {
        restartSample();
        fetchSampleByte();  // a sample of one byte ends here, and may raise the IRQ at once
    }
}

// One step of each channel, `steps` times over.
void stepSquare(SquareChannel& square, uint32_t steps) { square.dutyStep = (square.dutyStep + steps) & 7; }

void stepTriangle(uint32_t steps)
{
    TriangleChannel& triangle = apu.triangle;
    triangle.output = TriangleTable[(triangle.step + steps - 1) & 31];
    triangle.step = (triangle.step + steps) & 31;
}

void stepNoise(uint32_t steps)
{
    NoiseChannel& noise = apu.noise;
    const int tap = noise.mode ? 6 : 1;
    for (uint32_t k = 0; k < steps; ++k) {
        const uint32_t feedback = (noise.shiftRegister ^ (noise.shiftRegister >> tap)) & 1;
        noise.shiftRegister = static_cast<uint16_t>((noise.shiftRegister >> 1) | feedback << 14);
    }
}

// Each bit moves the output by 2 up (a 1) or down (a 0), within 0-127; after eight bits the next
// byte is taken from the buffer, or the output stands until there is one.
void stepSample(uint32_t steps)
{
    SampleChannel& sample = apu.sample;
    for (uint32_t k = 0; k < steps; ++k) {
        if (!sample.silent) {
            if (sample.shift & 1)
                sample.output = sample.output <= 125 ? static_cast<uint8_t>(sample.output + 2) : sample.output;
            else
                sample.output = sample.output >= 2 ? static_cast<uint8_t>(sample.output - 2) : sample.output;
        }
        sample.shift >>= 1;
        if (--sample.bitsRemaining != 0)
            continue;
        sample.bitsRemaining = 8;
        sample.silent = !sample.bufferFull;
        if (sample.bufferFull) {
            sample.shift = sample.buffer;
            sample.bufferFull = 0;
            fetchSampleByte();
        } else if (sample.bytesRemaining == 0) {
            sample.period = 0;  // nothing more to play: the channel stands until it is started again
            return;
        }
    }
}

// The steps of a channel up to `now`: as many as whole periods have passed since its last step was
// due, each next step due exactly a period after the one before. A schedule far behind (a state
// from elsewhere, a stamp seen as lying ahead) takes one step and starts afresh.
template <typename Step>
[[gnu::always_inline]] inline void catchUp(uint16_t period, uint32_t& stamp, uint32_t now, Step step)
{
    if (period == 0)
        return;
    const uint32_t elapsed = now - stamp;
    if (elapsed < period)
        return;
    // Mostly one step: the division only for a channel whose period is shorter than the mix's.
    const uint32_t steps = elapsed < 2u * period ? 1 : elapsed / period;
    if (steps > MaxCatchUpSteps) {
        step(1);
        stamp = now;
        return;
    }
    step(steps);
    stamp += steps * period;
}

// The squares, the triangle and the noise: their steps change nothing but what the mix hears, so
// they are brought up to date just before a mix, a register write or a frame step looks at them.
void catchUpTonalChannels(uint32_t now)
{
    catchUp(apu.square1.period, apu.square1.lastStepCycle, now, [](uint32_t n) { stepSquare(apu.square1, n); });
    catchUp(apu.square2.period, apu.square2.lastStepCycle, now, [](uint32_t n) { stepSquare(apu.square2, n); });
    catchUp(apu.triangle.period, apu.triangle.lastStepCycle, now, stepTriangle);
    catchUp(apu.noise.period, apu.noise.lastStepCycle, now, stepNoise);
}

// The events the APU wakes for between full passes: the sample channel's bits (it reads memory and
// raises its IRQ at its own moments) and the mix. Worked out from the saved stamps and periods by
// every full pass, so nothing here needs saving.
struct ApuDueTimes {
    uint32_t sample, mix;
};
ApuDueTimes apuDue{};

// A sample channel that stands is due so far ahead that only a full pass (at least every frame
// step) can start it again.
constexpr uint32_t Standing = 1u << 30;

uint32_t sampleDue() { return apu.sample.lastStepCycle + (apu.sample.period != 0 ? apu.sample.period : Standing); }

// The sample channel's bits and the mix when they are due; the cycles until the next of them.
int32_t stepDueEvents(uint32_t now, int32_t wait)
{
    if (cyclesSince(apuDue.sample, now) >= 0) {
        catchUp(apu.sample.period, apu.sample.lastStepCycle, now, stepSample);
        apuDue.sample = sampleDue();  // it stands once it has nothing left to play
    }
    if (cyclesSince(apuDue.mix, now) >= 0) {
        catchUpTonalChannels(now);
        mixSample();
        apu.lastSampleCycle = now;
        apuDue.mix = now + SamplePeriodCycles;
    }
    return std::min({wait, cyclesSince(now, apuDue.sample), cyclesSince(now, apuDue.mix)});
}

// The next look: after `wait` cycles, or earlier when the device clock is due.
uint32_t nextLook(uint32_t now, int32_t wait)
{
    if (deviceClock != nullptr)
        wait = std::min(wait, cyclesSince(now, deviceClockDue));
    return now + static_cast<uint32_t>(std::max(wait, 0));
}

// A channel's period, 0 while it stands: a square that is silent (no length, muted, or at level
// 0), a triangle without both counters, a noise channel without length or level, a sample
// channel with nothing to play. One that starts again starts its schedule at `now`.
void updatePeriods(uint32_t now)
{
    const auto set = [now](uint16_t& period, uint32_t& stamp, bool steps, uint32_t cycles) {
        if (steps && period == 0)
            stamp = now;
        period = static_cast<uint16_t>(steps ? cycles : 0);
    };
    const auto square = [&](SquareChannel& s, bool first) {
        const bool sounds = s.length > 0 && !squareMuted(s, first) && envelopeLevel(s.envelope) > 0;
        set(s.period, s.lastStepCycle, sounds, 2u * (s.timer + 1u));
    };
    square(apu.square1, true);
    square(apu.square2, false);
    TriangleChannel& triangle = apu.triangle;
    set(triangle.period, triangle.lastStepCycle, triangle.length > 0 && triangle.linearCounter > 0, triangle.timer + 1u);
    NoiseChannel& noise = apu.noise;
    set(noise.period, noise.lastStepCycle, noise.length > 0 && envelopeLevel(noise.envelope) > 0,
        (*apuTiming.noisePeriods)[noise.periodIndex]);
    SampleChannel& sample = apu.sample;
    set(sample.period, sample.lastStepCycle, !sample.silent || sample.bufferFull || sample.bytesRemaining > 0,
        (*apuTiming.sampleRates)[sample.rateIndex]);
}

}  // namespace

void writeEnvelope(Envelope& envelope, uint8_t value)
{
    envelope.loop = bit(value, 5);
    envelope.constant = bit(value, 4);
    envelope.volume = value & 0x0F;
}

void apuRegisterWrite(uint16_t address, uint8_t value)
{
    if (apuRunning)
        catchUpTonalChannels(cpu.totalCycles);  // the steps before the write, at the registers before it
    wakeApu();
    if (address >= 0x4000 && address <= 0x4003) {
        writeSquare(apu.square1, address - 0x4000, value);
        return;
    }
    if (address >= 0x4004 && address <= 0x4007) {
        writeSquare(apu.square2, address - 0x4004, value);
        return;
    }
    TriangleChannel& triangle = apu.triangle;
    SampleChannel& sample = apu.sample;
    switch (address) {
    case 0x4008:
        triangle.control = bit(value, 7);
        triangle.linearReload = value & 0x7F;
        break;
    case 0x400A:
        triangle.timer = static_cast<uint16_t>((triangle.timer & 0x700) | value);
        break;
    case 0x400B:
        triangle.timer = static_cast<uint16_t>((triangle.timer & 0xFF) | (value & 7) << 8);
        loadLength(triangle.length, triangle.enabled, value);
        triangle.linearReloadFlag = 1;
        break;
    case 0x400C:
        writeEnvelope(apu.noise.envelope, value);
        break;
    case 0x400E:
        apu.noise.mode = bit(value, 7);
        apu.noise.periodIndex = value & 0x0F;
        break;
    case 0x400F:
        loadLength(apu.noise.length, apu.noise.enabled, value);
        apu.noise.envelope.start = 1;
        break;
    case 0x4010:
        sample.irqEnabled = bit(value, 7);
        sample.loop = bit(value, 6);
        sample.rateIndex = value & 0x0F;
        if (!sample.irqEnabled) {
            sample.irqFlag = 0;
            lowerApuIrqWhenClear();
        }
        break;
    case 0x4011:
        sample.output = value & 0x7F;
        break;
    case 0x4012:
        sample.startAddress = static_cast<uint16_t>(0xC000 + 64 * value);
        break;
    case 0x4013:
        sample.sampleLength = static_cast<uint16_t>(16 * value + 1);
        break;
    case 0x4015:
        writeStatus(value);
        break;
    case 0x4017:
        writeFrameCounter(value);
        break;
    default:
        break;  // 0x4009 and 0x400D: no register
    }
}

uint8_t apuStatusRead()
{
    const uint8_t status = static_cast<uint8_t>(
        (apu.square1.length > 0 ? 0x01 : 0) | (apu.square2.length > 0 ? 0x02 : 0) |
        (apu.triangle.length > 0 ? 0x04 : 0) | (apu.noise.length > 0 ? 0x08 : 0) |
        (apu.sample.bytesRemaining > 0 ? 0x10 : 0) | (apu.frameIrqFlag ? 0x40 : 0) | (apu.sample.irqFlag ? 0x80 : 0));
    if (apu.frameIrqFlag) {
        apu.frameIrqFlag = 0;
        lowerApuIrqWhenClear();
    }
    return status;
}

void raiseApuIrq() { holdIrq(IrqFromApu); }

void lowerApuIrqWhenClear()
{
    if (!apu.frameIrqFlag && !apu.sample.irqFlag)
        acknowledgeIrq(IrqFromApu);
}

void apuTick()
{
    const uint32_t now = cpu.totalCycles;
    if (!apuRunning) {
        // Sound may be switched on between frames: look again, with a full pass, next time.
        apuIdleUntil = apuFullPassDue = now;
        return;
    }
    // Up to the present at the periods they had, then the frame step, then the new periods.
    catchUpTonalChannels(now);
    catchUp(apu.sample.period, apu.sample.lastStepCycle, now, stepSample);
    const int32_t sinceFrameStep = cyclesSince(apu.lastFrameStepCycle, now);
    const int64_t stepCycles = apuTiming.frameStepCycles;
    if (sinceFrameStep >= stepCycles) {
        frameSequencerStep();
        // A schedule far behind (a state loaded from elsewhere) starts afresh.
        apu.lastFrameStepCycle = sinceFrameStep >= 2 * stepCycles ? now : apu.lastFrameStepCycle + static_cast<uint32_t>(stepCycles);
    }
    updatePeriods(now);
    apuFullPassDue = apu.lastFrameStepCycle + static_cast<uint32_t>(stepCycles);
    apuDue = {sampleDue(), apu.lastSampleCycle + static_cast<uint32_t>(SamplePeriodCycles)};
    apuIdleUntil = nextLook(now, stepDueEvents(now, cyclesSince(now, apuFullPassDue)));
}

void apuStepDueEvents()
{
    const uint32_t now = cpu.totalCycles;
    if (deviceClock != nullptr && cyclesSince(deviceClockDue, now) >= 0) [[unlikely]]
        deviceClockDue = deviceClock(now);
    if (cyclesSince(apuFullPassDue, now) >= 0 || !apuRunning) [[unlikely]] {
        apuTick();
        return;
    }
    apuIdleUntil = nextLook(now, stepDueEvents(now, cyclesSince(now, apuFullPassDue)));
}

void resetApu()
{
    apu = ApuState{};
    apuRunning = false;
    wakeApu();
    resetSoundStream();
}
