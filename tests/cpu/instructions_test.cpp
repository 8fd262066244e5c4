// Instruction semantics that nestest's log does not show (it follows the common opcodes): decimal
// ADC and SBC, the BIT, INC A, TSB, TRB and STZ forms, and where read-modify-write takes its flags.
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "input/controller.h"
#include "support/cpu_harness.h"

namespace {

constexpr uint32_t P = FlagUnused;  // bit 5, set in every status byte here
constexpr uint32_t D = P | FlagD;

TEST(Instruction, GivesRegistersFlagsMemoryAndCycles)
{
    // The bytes of one instruction run from RAM, the registers before and after (pc is left out: it
    // must end just past the code), its cycles, and zero-page byte 0x10 before and after.
    const struct {
        const char* name;
        std::vector<uint8_t> code;
        CpuRegisters before, after;
        int32_t cycles;
        uint8_t memory = 0, memoryAfter = 0;
    } cases[] = {
        // Decimal ADC and SBC: the adjustment, and no extra cycle.
        {"ADC decimal 15 plus 27", {0x69, 0x27}, {.a = 0x15, .p = D}, {.a = 0x42, .p = D}, 3},
        {"ADC decimal 58 plus 46 plus carry, V from the binary sum", {0x69, 0x46}, {.a = 0x58, .p = D | FlagC},
         {.a = 0x05, .p = D | FlagC | FlagV}, 3},
        {"ADC decimal drops the binary carry", {0x69, 0x90}, {.a = 0x90, .p = D}, {.a = 0x20, .p = D | FlagV}, 3},
        {"SBC decimal 42 minus 15", {0xE9, 0x15}, {.a = 0x42, .p = D | FlagC}, {.a = 0x27, .p = D | FlagC}, 3},
        {"SBC decimal 15 minus 27 borrows", {0xE9, 0x27}, {.a = 0x15, .p = D | FlagC}, {.a = 0x88, .p = D | FlagN}, 3},

        // BIT: Z from a AND m, N and V from m.
        {"BIT immediate takes N and V from the operand", {0x89, 0xC0}, {.a = 0x00},
         {.a = 0x00, .p = P | FlagZ | FlagN | FlagV}, 2},
        {"BIT zp,X", {0x34, 0x0C}, {.a = 0x01, .x = 4}, {.a = 0x01, .x = 4, .p = P | FlagN | FlagZ}, 4, 0x80, 0x80},
        {"BIT abs,X", {0x3C, 0x0C, 0x00}, {.a = 0x01, .x = 4}, {.a = 0x01, .x = 4, .p = P | FlagN}, 4, 0x81, 0x81},

        {"INC A wraps to zero", {0x1A}, {.a = 0xFF}, {.a = 0x00, .p = P | FlagZ}, 2},

        // Memory forms on zero-page byte 0x10.
        {"TSB sets Z from a AND m, and the bits of a", {0x04, 0x10}, {.a = 0x0F}, {.a = 0x0F, .p = P | FlagZ}, 3,
         0xF0, 0xFF},
        {"TRB clears the bits of a", {0x14, 0x10}, {.a = 0x0F, .p = P | FlagZ}, {.a = 0x0F}, 3, 0xFF, 0xF0},
        {"STZ stores zero and changes no flag", {0x64, 0x10}, {.a = 0x12, .p = P | FlagN}, {.a = 0x12, .p = P | FlagN},
         3, 0xAB, 0x00},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startInRam(c.code);
        poke(0x10, c.memory);
        std::tie(cpu.a, cpu.x, cpu.y, cpu.p) = std::tuple(c.before.a, c.before.x, c.before.y, c.before.p);
        EXPECT_EQ(runInstructions(1), c.cycles);
        CpuRegisters expected = c.after;
        expected.pc = TestCodeAddress + static_cast<uint32_t>(c.code.size());
        EXPECT_EQ(traceLine(), traceLine(expected));
        EXPECT_EQ(peek(0x10), c.memoryAfter);
    }
}

// The controller port answers a read after a write (which restarts it) differently from the
// read before, which shows where read-modify-write instructions take their flags from.
TEST(Instruction, IncAndDecTakeFlagsFromASecondReadAndShiftsFromTheValue)
{
    struct PortCase {
        uint8_t opcode;
        uint32_t buttonA, buttonB;  // the read after the write returns A, the first read B
        uint32_t pAfter;
    };
    const PortCase cases[] = {
        {0xEE, 0, 1, P | FlagZ},           // INC: reads 1, writes 2, reads back 0
        {0xCE, 1, 0, P},                   // DEC: reads 0, writes 0xFF, reads back 1
        {0x4E, 1, 1, P | FlagC | FlagZ},   // LSR: reads 1, writes 0, no read back
    };
    for (const PortCase& c : cases) {
        startInRam({c.opcode, 0x16, 0x40});
        buttonState.fill(0);
        buttonState[ButtonA] = c.buttonA;
        buttonState[ButtonB] = c.buttonB;
        controllerReadIndex = 1;
        runInstructions(1);
        EXPECT_EQ(cpu.p, c.pAfter) << std::hex << int{c.opcode};
    }
}

}  // namespace
