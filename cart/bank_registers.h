// The registers of the boards that keep little more than bank numbers and an IRQ counter (Sunsoft-3,
// Irem H3001, Jaleco SS88006, the Taito boards, Tengen RAMBO-1): each board numbers its own.
#pragma once

#include <array>
#include <cstdint>

struct BankRegisters {
    std::array<uint8_t, 16> banks;  // PRG and CHR bank numbers, in the board's own order
    uint8_t mirroring;
    uint8_t mode;                   // the board's mode bits: a PRG layout, a bank select, a write toggle
    uint16_t irqCounter;
    uint16_t irqReload;
    uint8_t irqControl;             // the board's IRQ bits
    uint8_t irqPrescaler;
    uint32_t irqLastCycle;          // totalCycles up to which a cycle counter has run

    bool operator==(const BankRegisters&) const = default;
};

class StateIo;
void bankRegistersFields(StateIo& io, BankRegisters& state);
