// APU registers, the four channels and the per-instruction tick.
#pragma once

#include <cstdint>

void apuRegisterWrite(uint16_t address, uint8_t value);
uint8_t apuStatusRead();

// Called after every instruction, once its cycles are in totalCycles.
inline void apuTick() {}

// Puts the APU and the sample ring back to their program-start values.
void resetApu();
