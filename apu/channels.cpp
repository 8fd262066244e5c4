#include "apu/channels.h"

#include "apu/sound_stream.h"

namespace {

uint32_t bit(uint8_t value, int index) { return (value >> index) & 1u; }

int32_t lengthFor(uint8_t value) { return LengthTable[value >> 3]; }

// Registers 0-3 of a square channel; `reg` is the address's offset within the channel.
void writeSquare(SquareChannel& square, uint32_t reg, uint8_t value)
{
    switch (reg) {
    case 0:
        square.duty = value >> 6;
        square.halt = bit(value, 5);
        square.volume = value & 0x0F;
        break;
    case 1:
        square.sweepEnabled = bit(value, 7);
        square.sweepCount = static_cast<int32_t>((value >> 4) & 7) + 1;
        square.sweepNegate = bit(value, 3);
        square.sweepShift = value & 7;
        break;
    case 2:
        // Keeps bits 8-11 and drops anything a sweep pushed above them.
        square.period = (square.period & 0xF00) + value;
        break;
    default:
        square.length = lengthFor(value);
        square.period = (square.period & 0xFF) + ((value & 7) << 8);
        square.dutyStep = 0;
        break;
    }
}

}  // namespace

void apuRegisterWrite(uint16_t address, uint8_t value)
{
    wakeApu();
    if (address >= 0x4000 && address <= 0x4003) {
        writeSquare(apu.square1, address - 0x4000, value);
        return;
    }
    if (address >= 0x4004 && address <= 0x4007) {
        writeSquare(apu.square2, address - 0x4004, value);
        return;
    }
    switch (address) {
    case 0x400A:
        apu.triangle.period = (apu.triangle.period & 0xF00) + value;
        break;
    case 0x400B:
        apu.triangle.period = (apu.triangle.period & 0xFF) + ((value & 7) << 8);
        apu.triangle.length = lengthFor(value);
        break;
    case 0x400C:
        // All five low bits: bit 4 adds 16. Bit 5 leaves the noise level alone.
        apu.noise.volume = value & 0x1F;
        break;
    case 0x400E:
        apu.noise.mode = bit(value, 7);
        apu.noise.period = NoisePeriodTable[value & 0x0F];
        break;
    case 0x400F:
        apu.noise.length = lengthFor(value);
        break;
    case 0x4015:
        apu.square1.enabled = bit(value, 0);
        apu.square2.enabled = bit(value, 1);
        apu.triangle.enabled = bit(value, 2);
        apu.noise.enabled = bit(value, 3);
        break;
    case 0x4017:
        apu.frameSteps = (value & 0x80) ? 5 : 4;
        apu.frameStepIndex = 0;
        break;
    default:
        break;  // the linear counter, the delta-modulation channel: accepted, no effect
    }
}

uint8_t apuStatusRead()
{
    return static_cast<uint8_t>((apu.square1.length != 0 ? 0x01 : 0) | (apu.square2.length != 0 ? 0x02 : 0) |
                                (apu.triangle.length != 0 ? 0x04 : 0) | (apu.noise.length != 0 ? 0x08 : 0));
}

void stepSquare(SquareChannel& square)
{
    if (square.halt)
        square.volume = 15;
    // The level times the waveform's sign at this step, without a branch on the waveform.
    square.output = static_cast<int8_t>(SquareSigns[square.duty][square.dutyStep] * static_cast<int32_t>(square.volume));
    square.dutyStep = (square.dutyStep + 1) % 16;
}

void stepTriangle()
{
    TriangleChannel& triangle = apu.triangle;
    if (!triangle.enabled || triangle.length <= 0)
        return;
    triangle.output = TriangleTable[triangle.step];
    triangle.step = static_cast<int8_t>((triangle.step + 1) % 32);
}

void stepNoise()
{
    NoiseChannel& noise = apu.noise;
    const int32_t tap = noise.mode ? 6 : 1;
    const int32_t feedback = (noise.shiftRegister ^ (noise.shiftRegister >> tap)) & 1;
    // 14 bits: the feedback enters at bit 13.
    noise.shiftRegister = (noise.shiftRegister >> 1) + (feedback << 13);
    // The level while bit 0 is clear, 0 while it is set, without a branch on the random bit.
    noise.output = static_cast<int8_t>(noise.volume & (0u - static_cast<uint32_t>(~noise.shiftRegister & 1)));
}

void apuTick()
{
    const uint32_t now = cpu.totalCycles;
    if (!apuRunning) {
        // Sound may be switched on between frames: look again, with a full pass, next time.
        apuIdleUntil = apuDue.fullPass = now;
        return;
    }

    // An active event runs when `period` cycles have passed since its stamp. The cycles left
    // until each one is due give apuIdleUntil: a stamp's elapsed count grows with totalCycles and
    // reaches the period before it can wrap. Waits past 2^30 (a stamp seen as lying ahead, a
    // period pushed far up by the sweep) are cut short, which only brings the next look forward;
    // the look that ends such a wait is a full pass again.
    constexpr int64_t LongestWait = int64_t{1} << 30;
    int64_t wait = LongestWait;
    bool cutShort = false;
    const auto whenDue = [&](bool active, int64_t period, uint32_t& stamp, uint32_t& due, auto step) {
        if (!active)
            return false;
        int64_t left = period - cyclesSince(stamp, now);
        if (left <= 0) {
            step();
            stamp = now;
            left = period;
        }
        cutShort = cutShort || left >= LongestWait;
        due = now + static_cast<uint32_t>(std::min(left, LongestWait));
        wait = std::min(wait, left);
        return true;
    };
    const NoiseChannel& noise = apu.noise;
    apuDue.triangleActive = whenDue(apu.triangle.enabled, apu.triangle.period, apu.triangle.lastStepCycle,
                                    apuDue.triangle, stepTriangle);
    apuDue.square1Active = whenDue(squareIsActive(apu.square1), apu.square1.period, apu.square1.lastStepCycle,
                                   apuDue.square1, [] { stepSquare(apu.square1); });
    apuDue.square2Active = whenDue(squareIsActive(apu.square2), apu.square2.period, apu.square2.lastStepCycle,
                                   apuDue.square2, [] { stepSquare(apu.square2); });
    apuDue.noiseActive = whenDue(noise.length > 0 && noise.enabled && noise.period >= MinimumPeriod, noise.period,
                                 apu.noise.lastStepCycle, apuDue.noise, stepNoise);
    whenDue(true, SamplePeriodCycles, apu.lastSampleCycle, apuDue.sample, mixSample);
    // The frame step changes lengths and periods: look again, with a full pass, after the next instruction.
    bool stepped = false;
    whenDue(true, FrameStepCycles, apu.lastFrameStepCycle, apuDue.fullPass, [&stepped] {
        frameSequencerStep();
        stepped = true;
    });
    if (stepped)
        wait = 0;
    if (stepped || cutShort)
        apuDue.fullPass = now + static_cast<uint32_t>(wait);
    apuIdleUntil = now + static_cast<uint32_t>(std::max<int64_t>(wait, 0));
}

void apuStepDueEvents()
{
    const uint32_t now = cpu.totalCycles;
    ApuDueTimes& due = apuDue;
    if (cyclesSince(due.fullPass, now) >= 0) [[unlikely]] {
        apuTick();
        return;
    }
    int32_t wait = cyclesSince(now, due.fullPass);
    const auto whenDue = [&](bool active, uint32_t period, uint32_t& stamp, uint32_t& at, auto step) {
        if (!active)
            return;
        if (cyclesSince(at, now) >= 0) {
            step();
            stamp = now;
            at = now + period;
        }
        wait = std::min(wait, cyclesSince(now, at));
    };
    // Periods below 2^30 here: a longer one makes the full pass cut its wait short.
    whenDue(due.triangleActive, static_cast<uint32_t>(apu.triangle.period), apu.triangle.lastStepCycle,
            due.triangle, stepTriangle);
    whenDue(due.square1Active, static_cast<uint32_t>(apu.square1.period), apu.square1.lastStepCycle, due.square1,
            [] { stepSquare(apu.square1); });
    whenDue(due.square2Active, static_cast<uint32_t>(apu.square2.period), apu.square2.lastStepCycle, due.square2,
            [] { stepSquare(apu.square2); });
    whenDue(due.noiseActive, static_cast<uint32_t>(apu.noise.period), apu.noise.lastStepCycle, due.noise, stepNoise);
    whenDue(true, SamplePeriodCycles, apu.lastSampleCycle, due.sample, mixSample);
    apuIdleUntil = now + static_cast<uint32_t>(wait);
}

void resetApu()
{
    wakeApu();
    apu = ApuState{};
    apuRunning = false;
    resetSoundStream();
}
