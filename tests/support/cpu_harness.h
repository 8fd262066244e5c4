// CPU test helpers: load a program, run it by instructions, look at registers and memory, trace.
#pragma once

#include <cstdint>
#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

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

// Builds a 32 KB NROM image holding the blocks, with the reset vector on the first block and the
// NMI and IRQ vectors on TestNmiHandler and TestIrqHandler, loads it into a fresh machine and
// resets the CPU through initOpcodeTable.
void loadProgram(const std::vector<ProgramBlock>& blocks);
void loadProgram(const std::vector<uint8_t>& code = {}, uint16_t origin = 0x8000);

// A fresh machine (loadProgram with no code) with `code` in RAM at TestCodeAddress and pc on it.
void startInRam(const std::vector<uint8_t>& code);

// Loads a ROM file into a fresh machine and resets the CPU. False when the loader refused it.
bool loadRomFile(const std::filesystem::path& path);

// Writes `code` into CPU memory (RAM) at `address` and points pc at it.
void placeCode(uint32_t address, const std::vector<uint8_t>& code);

// Executes `count` instructions; returns the cycles they charged to cycleCounter.
int32_t runInstructions(uint32_t count = 1);

// Calls `step()` (one instruction by default) until `done()` holds, at most `limit` times.
// True when `done()` held.
template <typename Done, typename Step>
bool runUntil(Done done, uint64_t limit, Step step)
{
    for (uint64_t i = 0; i < limit && !done(); ++i)
        step();
    return done();
}

template <typename Done>
bool runUntil(Done done, uint64_t limit)
{
    return runUntil(done, limit, [] { runInstructions(1); });
}

// CpuMemory bytes, read and written directly: no device is involved.
uint8_t peek(uint32_t address);
void poke(uint32_t address, uint8_t value);
// The zero-terminated text in CpuMemory from `address` (at most `limit` characters).
std::string peekText(uint32_t address, uint32_t limit = 1024);

// The registers; the defaults are those of a fresh reset.
struct CpuRegisters {
    uint32_t pc = 0, a = 0, x = 0, y = 0, p = FlagUnused, s = 0xFF;
    bool operator==(const CpuRegisters&) const = default;
};
CpuRegisters cpuRegisters();

// "C000 A:00 X:00 Y:00 P:24 SP:FD" for the registers given (the current ones by default).
std::string traceLine(const CpuRegisters& registers);
std::string traceLine();

// One instruction run from RAM (startInRam): its bytes, the registers before and after (pc is
// ignored; it must end just past the code), and its cycles.
struct InstructionCase {
    const char* name;
    std::vector<uint8_t> code;
    CpuRegisters before;
    CpuRegisters after;
    int32_t cycles;
};
void PrintTo(const InstructionCase& c, std::ostream* out);
void expectInstruction(const InstructionCase& c);

// A name for a parameterised test from a case description: letters and digits kept, everything
// else an underscore.
std::string testName(const std::string& description);
