// Reset, NMI and IRQ entry sequences. They are called between runs, never inside an instruction.
#pragma once

#include "cpu/cpu_state.h"

void cpuReset();
void cpuNmi();
void cpuIrq();

// A device (an IrqFrom* bit) raises the IRQ line: entered at once when I is clear, otherwise held
// until a run boundary at which I is clear (see serviceHeldIrq).
void requestIrq(uint8_t source);

// The same, but never entered at once: taken at the next run boundary at which I is clear. For a
// device whose IRQ rises in the middle of an instruction (a register write) or of the APU's look.
inline void holdIrq(uint8_t source) { cpu.irqPending |= source; }

// The PPU raises the NMI during an instruction: entered after it (see serviceHeldIrq).
inline void holdNmi() { cpu.irqPending |= NmiHeld; }

// A device lowers its IRQ: its held IRQ that has not been taken yet is dropped (the MMC3
// acknowledge, the APU's flags cleared); another device's stays.
void acknowledgeIrq(uint8_t source);

// Called by the scheduler after every run: enters a held NMI, or else a held IRQ once I is clear.
inline void serviceHeldIrq()
{
    if (cpu.irqPending & NmiHeld) [[unlikely]] {
        cpu.irqPending &= static_cast<uint8_t>(~NmiHeld);
        cpuNmi();
    } else if (cpu.irqPending && !(cpu.p & FlagI)) [[unlikely]] {
        cpu.irqPending = 0;
        cpuIrq();
    }
}
