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

// Code at an address of the 32 KB PRG ROM (0x8000-0xFFF9).
struct ProgramBlock {
    uint16_t address;
    std::vector<uint8_t> bytes;
};

// Builds a 32 KB NROM image holding the blocks, with the reset vector on the first block and the
// NMI and IRQ vectors on TestNmiHandler and TestIrqHandler, loads it into a fresh machine and
// resets the CPU through initOpcodeTable.
void loadProgram(const std::vector<ProgramBlock>& blocks);
void loadProgram(const std::vector<uint8_t>& code, uint16_t origin = 0x8000);
// The same with no code of its own: ROM holds the image's fill bytes.
void loadEmptyProgram();

// Where startInRam puts its code: above the stack page, clear of zero-page pointers.
constexpr uint32_t TestCodeAddress = 0x0400;

// A fresh machine (loadProgram with no code) with `code` in RAM at TestCodeAddress and pc on it.
void startInRam(const std::vector<uint8_t>& code);

// Loads a ROM file into a fresh machine and resets the CPU. False when the loader refused it.
bool loadRomFile(const std::filesystem::path& path);

// Writes `code` into CPU memory (RAM) at `address` and points pc at it.
void placeCode(uint32_t address, const std::vector<uint8_t>& code);

// Executes `count` instructions; returns the cycles they charged to cycleCounter.
int32_t runInstructions(uint32_t count = 1);

// Executes instructions until `done()` holds, at most `limit` of them. True when `done()` held.
template <typename Done>
bool runUntil(Done done, uint64_t limit)
{
    for (uint64_t i = 0; i < limit; ++i) {
        if (done())
            return true;
        runInstructions(1);
    }
    return done();
}

// A byte of CpuMemory, read without any device side effect.
uint8_t peek(uint32_t address);
// Sets a byte of CpuMemory directly (RAM set-up, no device is involved).
void poke(uint32_t address, uint8_t value);
// The zero-terminated text in CpuMemory from `address` (at most `limit` characters).
std::string peekText(uint32_t address, uint32_t limit = 1024);

// The registers in the order PC, A, X, Y, P, SP.
struct CpuRegisters {
    uint32_t pc, a, x, y, p, s;
    bool operator==(const CpuRegisters&) const = default;
};
CpuRegisters cpuRegisters();

// "C000 A:00 X:00 Y:00 P:24 SP:FD" for the registers given (the current ones by default).
std::string traceLine(const CpuRegisters& registers);
std::string traceLine();

// The registers an instruction case sets and checks; pc is checked from the code's length.
struct RegisterState {
    uint32_t a = 0, x = 0, y = 0, p = FlagUnused, s = 0xFF;
    bool operator==(const RegisterState&) const = default;
};
RegisterState registerState();
std::ostream& operator<<(std::ostream& out, const RegisterState& state);

// One instruction run from RAM (startInRam): its bytes, the registers before and after, and its cycles.
struct InstructionCase {
    const char* name;
    std::vector<uint8_t> code;
    RegisterState before;
    RegisterState after;
    int32_t cycles;
};
void PrintTo(const InstructionCase& c, std::ostream* out);

// Runs the case and checks registers, cycles and that pc moved past the code.
void expectInstruction(const InstructionCase& c);

// A test name from a case description for parameterised tests: letters and digits kept,
// everything else an underscore.
std::string testName(const std::string& description);
