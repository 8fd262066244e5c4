// The instruction step and the run loop.
#pragma once

#include <cstdint>

#include "apu/channels.h"
#include "bus/cpu_bus.h"
#include "cpu/cpu_state.h"

// Placeholder step until the interpreter lands: every opcode is a two-cycle no-operation.
inline void stepInstruction()
{
    cpu.opcode = cpuRead(cpu.pc);
    cpu.pc = (cpu.pc + 1) & 0xFFFF;
    cpu.cycleCounter += 2;
    cpu.totalCycles += 2;
    apuTick();
}

// Executes instructions while cycleCounter <= budget (signed); the overshoot stays in cycleCounter.
inline void runCpuUntil(int32_t budget)
{
    while (cpu.cycleCounter <= budget)
        stepInstruction();
}
