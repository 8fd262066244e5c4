// The reset of every emulated record to its program-start value.
#pragma once

// Puts every record of the console (CPU, memory, cartridge, page maps, boards, PPU, frame buffer,
// APU and sound stream, controller ports, Game Genie table, frame counter) back to its
// program-start value: a fresh machine, as tests need one per case.
void resetMachine();
