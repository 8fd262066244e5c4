// Reset, NMI and IRQ entry sequences. They are called between runs, never inside an instruction.
#pragma once

#include "cpu/cpu_state.h"

void cpuReset();
void cpuNmi();
void cpuIrq();

// Raises the IRQ line: entered at once when I is clear, otherwise held until a run
// boundary at which I is clear (see serviceHeldIrq).
void requestIrq();

// Drops a held IRQ that has not been taken yet (the MMC3 acknowledge).
void acknowledgeIrq();

// Called by the scheduler after every run: enters a held IRQ once I is clear.
inline void serviceHeldIrq()
{
    if (cpu.irqPending && !(cpu.p & FlagI)) [[unlikely]] {
        cpu.irqPending = false;
        cpuIrq();
    }
}
