// CPU test helpers: load a program, run it by instructions, look at registers and memory, trace.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "bus/cpu_bus.h"
#include "cpu/cpu_state.h"

// Vector targets of the programs built by loadProgram.
constexpr uint16_t TestNmiHandler = 0x9000;
constexpr uint16_t TestIrqHandler = 0xA000;
// Where startInRam puts its code: above the stack page, clear of zero-page pointers.
constexpr uint32_t TestCodeAddress = 0x0400;

// Code at an address of the 32 KB PRG ROM (0x8000-0xFFF9).
struct ProgramBlock {
    uint16_t address;
    std::vector<uint8_t> bytes;
};

// Loads a 32 KB NROM image holding the blocks into a fresh machine and resets the CPU: reset
// vector on the first block (0x8000 when there is none), NMI and IRQ on the handlers above.
void loadProgram(const std::vector<ProgramBlock>& blocks = {});
// A fresh machine with `code` in RAM at TestCodeAddress and pc on it.
void startInRam(const std::vector<uint8_t>& code);
// Loads a ROM file into a fresh machine and resets the CPU. False when the loader refused it.
bool loadRomFile(const std::filesystem::path& path);
// Writes `code` into RAM at `address` and points pc at it.
void placeCode(uint32_t address, const std::vector<uint8_t>& code);
// Executes `count` instructions; returns the cycles they charged to cycleCounter.
int32_t runInstructions(uint32_t count = 1);

// CpuMemory bytes, read and written directly: no device is involved.
inline uint8_t peek(uint32_t address) { return cpuMemory[address & 0xFFFF]; }
inline void poke(uint32_t address, uint8_t value) { cpuMemory[address & 0xFFFF] = value; }

// The registers; the defaults are those of a fresh reset.
struct CpuRegisters {
    uint32_t pc = 0, a = 0, x = 0, y = 0, p = FlagUnused, s = 0xFF;
    bool operator==(const CpuRegisters&) const = default;
};
CpuRegisters cpuRegisters();
// "C000 A:00 X:00 Y:00 P:24 SP:FD" for the registers given.
std::string traceLine(const CpuRegisters& registers = cpuRegisters());
