// The processor's registers and cycle counters.
#pragma once

#include <cstdint>

// Status flag bits of CpuState::p.
constexpr uint32_t FlagC = 0x01;
constexpr uint32_t FlagZ = 0x02;
constexpr uint32_t FlagI = 0x04;
constexpr uint32_t FlagD = 0x08;
constexpr uint32_t FlagB = 0x10;
constexpr uint32_t FlagUnused = 0x20;
constexpr uint32_t FlagV = 0x40;
constexpr uint32_t FlagN = 0x80;

// The devices that raise the IRQ line, as bits of CpuState::irqPending.
constexpr uint8_t IrqFromBoard = 0x01;  // the cartridge's (the MMC3's scanline counter)
constexpr uint8_t IrqFromApu = 0x02;    // the frame IRQ and the sample channel's
// Not an IRQ: the PPU's NMI raised in the middle of an instruction (NMI enabled during vertical
// blank), held in the same byte and entered after that instruction whatever I says.
constexpr uint8_t NmiHeld = 0x80;

struct CpuState {
    uint32_t a;               // accumulator, 0..255
    uint32_t x;               // index X, 0..255
    uint32_t y;               // index Y, 0..255
    uint32_t p;               // status byte
    uint8_t s;                // stack pointer into page 1
    uint32_t pc;              // program counter, 16 bits
    uint32_t operandAddress;  // effective address; the signed branch offset in relative mode
    uint8_t opcode;           // opcode byte of the instruction being executed
    int32_t cycleCounter;     // cycles of the current run; the scheduler subtracts each budget
    uint32_t totalCycles;     // instruction cycles since start-up, wraps modulo 2^32
    uint8_t irqPending;       // IrqFrom* bits of IRQs raised while I was set, held until I clears; NmiHeld
};

inline CpuState cpu{};

class StateIo;
// The registers and counters in a save state, in order (see state/state_io.h).
void cpuStateFields(StateIo& io, CpuState& state);
