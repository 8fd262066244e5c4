// The eight PPU registers seen by the CPU and the PPU's own address space.
#pragma once

#include <cstdint>

uint8_t ppuRegisterRead(uint32_t address);
void ppuRegisterWrite(uint32_t address, uint8_t value);
uint8_t ppuBusRead(uint32_t address);
void ppuBusWrite(uint32_t address, uint8_t value);

// Start of a visible line after a pending mid-frame 0x2006 write: the background from this line
// on shows the written address (nametable, coarse X, coarse Y, fine Y), keeping the fine X.
void applySplit();
