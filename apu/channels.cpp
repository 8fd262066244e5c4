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
    const auto level = static_cast<int8_t>(square.volume);
    if (DutyTable[square.duty][square.dutyStep])
        square.output = square.duty == 3 ? static_cast<int8_t>(-level) : level;
    else
        square.output = 0;
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
    noise.output = (noise.shiftRegister & 1) ? 0 : static_cast<int8_t>(noise.volume);
}

void resetApu()
{
    wakeApu();
    apu = ApuState{};
    apuRunning = false;
    resetSoundStream();
}
