// What each of the 256 opcode bytes does: base cycles, instruction and addressing mode.
#pragma once

#include <array>
#include <cstdint>

struct OpcodeTable {
    std::array<uint32_t, 256> baseCycles;
    std::array<uint32_t, 256> instructionId;
    std::array<uint32_t, 256> addressingMode;
};

// Prepares the CPU for its first instruction (the table itself is compile-time data), then resets it.
void initOpcodeTable();
