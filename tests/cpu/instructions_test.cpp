// Instruction semantics that nestest's log does not show (it follows the common opcodes): decimal
// ADC and SBC, the BIT, INC A, TSB, TRB and STZ forms, and where read-modify-write takes its flags.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "cart/page_maps.h"
#include "ppu/ppu_state.h"
#include "support/cpu_harness.h"

namespace {

constexpr uint32_t P = FlagUnused;  // bit 5, set in every status byte here
constexpr uint32_t D = P | FlagD;

TEST(Instruction, GivesRegistersFlagsMemoryAndCycles)
{
    // What the case shows, the bytes of one instruction run from RAM, a, x and p before, a and p
    // after (x and y stay, pc must end just past the code), the cycles, and zero-page byte 0x10
    // before and after.
    const std::tuple<const char*, std::vector<uint8_t>, uint32_t, uint32_t, uint32_t, uint32_t, uint32_t, int32_t,
                     uint8_t, uint8_t> cases[] = {
        // Decimal ADC and SBC: the adjustment, and no extra cycle.
        {"ADC decimal 15 plus 27", {0x69, 0x27}, 0x15, 0, D, 0x42, D, 3, 0, 0},
        {"ADC decimal 58 plus 46 plus carry, V from the binary sum", {0x69, 0x46}, 0x58, 0, D | FlagC, 0x05,
         D | FlagC | FlagV, 3, 0, 0},
        {"ADC decimal drops the binary carry", {0x69, 0x90}, 0x90, 0, D, 0x20, D | FlagV, 3, 0, 0},
        {"ADC decimal 05 plus 05: a low digit of exactly 10 carries", {0x69, 0x05}, 0x05, 0, D, 0x10, D, 3, 0, 0},
        {"SBC decimal 42 minus 15", {0xE9, 0x15}, 0x42, 0, D | FlagC, 0x27, D | FlagC, 3, 0, 0},
        {"SBC decimal 15 minus 27 borrows", {0xE9, 0x27}, 0x15, 0, D | FlagC, 0x88, D | FlagN, 3, 0, 0},
        // BIT: Z from a AND m, N and V from m.
        {"BIT immediate takes N and V from the operand", {0x89, 0xC0}, 0, 0, P, 0, P | FlagZ | FlagN | FlagV, 2, 0, 0},
        {"BIT zp,X", {0x34, 0x0C}, 0x01, 4, P, 0x01, P | FlagN | FlagZ, 4, 0x80, 0x80},
        {"BIT abs,X", {0x3C, 0x0C, 0x00}, 0x01, 4, P, 0x01, P | FlagN, 4, 0x81, 0x81},
        {"INC A wraps to zero", {0x1A}, 0xFF, 0, P, 0x00, P | FlagZ, 2, 0, 0},
        // Memory forms on zero-page byte 0x10.
        {"TSB sets Z from a AND m, and the bits of a", {0x04, 0x10}, 0x0F, 0, P, 0x0F, P | FlagZ, 3, 0xF0, 0xFF},
        {"TRB clears the bits of a", {0x14, 0x10}, 0x0F, 0, P | FlagZ, 0x0F, P, 3, 0xFF, 0xF0},
        {"STZ stores zero and changes no flag", {0x64, 0x10}, 0x12, 0, P | FlagN, 0x12, P | FlagN, 3, 0xAB, 0x00},
    };
    for (const auto& [name, code, a, x, p, aAfter, pAfter, cycles, memory, memoryAfter] : cases) {
        SCOPED_TRACE(name);
        startInRam(code);
        poke(0x10, memory);
        std::tie(cpu.a, cpu.x, cpu.y, cpu.p) = std::tuple(a, x, 0u, p);
        EXPECT_EQ(runInstructions(1), cycles);
        const uint32_t pc = TestCodeAddress + static_cast<uint32_t>(code.size());
        EXPECT_EQ(traceLine(), traceLine({.pc = pc, .a = aAfter, .x = x, .p = pAfter}));
        EXPECT_EQ(peek(0x10), memoryAfter);
    }
}

TEST(Instruction, PlxTakesNAndZFromThePulledByte)
{
    startInRam({0xFA});
    cpu.s = 0xFE;
    poke(0x01FF, 0x80);
    runInstructions(1);
    EXPECT_EQ(std::pair(cpu.x, cpu.p & (FlagN | FlagZ)), std::pair(0x80u, FlagN));
}

// The PPU's data port answers each nametable read with the byte of the read before (its
// buffer), which shows where read-modify-write instructions take their flags from.
TEST(Instruction, IncAndDecTakeFlagsFromASecondReadAndShiftsFromTheValue)
{
    // Opcode, the buffered byte (the first read), the byte at the port's address (the second
    // read), and p after.
    const std::tuple<uint8_t, uint8_t, uint8_t, uint32_t> cases[] = {
        {0xEE, 0xFF, 0x01, P},                  // INC: reads 0xFF, writes 0, reads back 1
        {0xCE, 0x01, 0x80, P | FlagN},          // DEC: reads 1, writes 0, reads back 0x80
        {0x4E, 0x01, 0x80, P | FlagC | FlagZ},  // LSR: reads 1, writes 0, no read back
    };
    for (const auto& [opcode, buffered, held, pAfter] : cases) {
        startInRam({opcode, 0x07, 0x20});
        ppu.readBuffer = buffered;
        ppu.vramAddress = 0x2000;
        ppu.memory[nametableMap[0]] = held;
        runInstructions(1);
        EXPECT_EQ(cpu.p, pAfter) << std::hex << int{opcode};
    }
}

}  // namespace
