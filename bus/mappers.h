// Bank-switching hardware on the cartridge: MMC1, UxROM, MMC3, AxROM and MMC2.
#pragma once

#include <cstdint>

struct MapperState {
    uint32_t mmc1Control;
    uint32_t mmc1Chr0;
    uint32_t mmc1Chr1;
    uint32_t mmc1Prg;
    uint32_t mmc1ShiftCount;
    uint8_t mmc1Shift;
    uint8_t mmc2Latch;
    uint8_t mmc3BankSelect;
    uint8_t mmc3PrgWindow;
    uint32_t mmc3ChrInvert;
    uint32_t mmc3IrqCounter;
    uint32_t mmc3IrqReload;
    uint8_t mmc3IrqEnabled;

    bool operator==(const MapperState&) const = default;
};

inline MapperState mapperState{};

// Every CPU write passes through here first; addresses below 0x8000 are ignored.
void mapperWrite(uint32_t address, uint8_t value);

// One step of the MMC3 scanline counter, called once per visible line after its pixel part.
// Raises the IRQ through requestIrq when the counter reaches 0 with the interrupt enabled.
void clockMmc3Irq();

class StateIo;
// The mapper registers in a save state, in order.
void mapperStateFields(StateIo& io, MapperState& state);
