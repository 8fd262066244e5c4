#include "cpu/interrupts.h"

#include "bus/cpu_bus.h"

namespace {

void push(uint32_t value)
{
    cpuWrite(0x0100 + cpu.s, static_cast<uint8_t>(value));
    --cpu.s;
}

uint32_t readVector(uint32_t address)
{
    return cpuRead(address) | (cpuRead(address + 1) << 8);
}

void enterInterrupt(uint32_t vector)
{
    push(cpu.pc >> 8);
    push(cpu.pc & 0xFF);
    push(cpu.p);
    cpu.p |= FlagI;
    cpu.pc = readVector(vector);
    // Seven cycles, in both counters: the sound unit's clock keeps pace with the CPU's.
    cpu.cycleCounter += 7;
    cpu.totalCycles += 7;
}

}  // namespace

void cpuReset()
{
    cpu.cycleCounter = 0;
    cpu.a = cpu.x = cpu.y = 0;
    cpu.p = FlagUnused;
    cpu.s = 0xFF;
    cpu.pc = readVector(0xFFFC);
}

void cpuNmi() { enterInterrupt(0xFFFA); }

void cpuIrq() { enterInterrupt(0xFFFE); }

void requestIrq(uint8_t source)
{
    if (cpu.p & FlagI)
        cpu.irqPending |= source;
    else
        cpuIrq();
}

void acknowledgeIrq(uint8_t source) { cpu.irqPending &= static_cast<uint8_t>(~source); }
