#include "cpu/cpu_state.h"

#include "state/state_io.h"

void cpuStateFields(StateIo& io, CpuState& state)
{
    io.field(state.a, 0, 0xFF);
    io.field(state.x, 0, 0xFF);
    io.field(state.y, 0, 0xFF);
    io.field(state.p, 0, 0xFF);
    io.field(state.s);
    io.field(state.pc, 0, 0xFFFF);
    io.field(state.operandAddress);
    io.field(state.opcode);
    io.field(state.cycleCounter, 0, 255);  // the overshoot carried between frames, never negative
    io.field(state.totalCycles);
    io.field(state.irqPending, 0, IrqFromBoard | IrqFromApu | NmiHeld);
}
static_assert(fieldCount<CpuState>() == 11, "a CpuState field is missing from cpuStateFields");
