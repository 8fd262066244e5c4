// Bank-switching hardware on the cartridge: MMC1, UxROM, CNROM, MMC3, AxROM, MMC2, Color Dreams,
// BNROM, GxROM and Camerica.
#pragma once

#include <array>
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
    uint8_t mmc3PrgWindow;   // 0: R6 at 0x8000, second-to-last bank at 0xC000; 2: the two swapped
    uint32_t mmc3ChrInvert;  // 0: R0/R1 at 0x0000; 0x1000: R0/R1 at 0x1000, R2-R5 at 0x0000
    std::array<uint8_t, 8> mmc3Registers;  // R0-R7 as last written (R0/R1 2 KB banks, R6/R7 8 KB)
    uint32_t mmc3IrqCounter;
    uint32_t mmc3IrqReload;
    uint8_t mmc3IrqEnabled;

    bool operator==(const MapperState&) const = default;
};

inline MapperState mapperState{};

// The MMC3's power-on registers: R0-R5 show the first 8 KB of CHR in order, R6/R7 the first two
// 8 KB PRG banks, and every window mapped from them.
void resetMmc3();

// Every CPU write passes through here first; addresses below 0x8000 are ignored.
void mapperWrite(uint32_t address, uint8_t value);

// One step of the MMC3 scanline counter, called once per visible line after its pixel part.
// Raises the IRQ through requestIrq when the counter reaches 0 with the interrupt enabled.
void clockMmc3Irq();

class StateIo;
// The mapper registers in a save state, in order.
void mapperStateFields(StateIo& io, MapperState& state);
