// Flag instructions, Z and N of loads, transfers, increments and shifts, and the memory forms.
#include <gtest/gtest.h>

#include <vector>

#include "input/controller.h"
#include "support/cpu_harness.h"

namespace {

constexpr uint32_t P = FlagUnused;

const std::vector<InstructionCase> registerCases = {
    {"CLC", {0x18}, {.p = 0xFF}, {.p = 0xFF & ~FlagC}, 2},
    {"SEC", {0x38}, {}, {.p = P | FlagC}, 2},
    {"CLI", {0x58}, {.p = 0xFF}, {.p = 0xFF & ~FlagI}, 2},
    {"SEI", {0x78}, {}, {.p = P | FlagI}, 2},
    {"CLV", {0xB8}, {.p = 0xFF}, {.p = 0xFF & ~FlagV}, 2},
    {"CLD", {0xD8}, {.p = 0xFF}, {.p = 0xFF & ~FlagD}, 2},
    {"SED", {0xF8}, {}, {.p = P | FlagD}, 2},

    {"LDA immediate zero sets Z", {0xA9, 0x00}, {.a = 0x12, .p = P | FlagN}, {.a = 0x00, .p = P | FlagZ}, 3},
    {"LDX immediate negative sets N", {0xA2, 0x80}, {.p = P | FlagZ}, {.x = 0x80, .p = P | FlagN}, 3},
    {"LDY immediate positive clears Z and N", {0xA0, 0x01}, {.p = P | FlagZ | FlagN}, {.y = 0x01}, 3},
    {"TAX", {0xAA}, {.a = 0x80}, {.a = 0x80, .x = 0x80, .p = P | FlagN}, 2},
    {"TAY", {0xA8}, {.y = 0x12}, {.p = P | FlagZ}, 2},
    {"TXA", {0x8A}, {.x = 0x7F, .p = P | FlagN}, {.a = 0x7F, .x = 0x7F}, 2},
    {"TYA", {0x98}, {.a = 0x55, .y = 0xC0}, {.a = 0xC0, .y = 0xC0, .p = P | FlagN}, 2},
    {"TSX of 0x80 sets N", {0xBA}, {.s = 0x80}, {.x = 0x80, .p = P | FlagN, .s = 0x80}, 2},
    {"TXS changes no flag", {0x9A}, {.x = 0x00, .p = P | FlagN}, {.p = P | FlagN, .s = 0x00}, 2},

    {"INX wraps to zero", {0xE8}, {.x = 0xFF}, {.x = 0x00, .p = P | FlagZ}, 2},
    {"INY", {0xC8}, {.y = 0x7F}, {.y = 0x80, .p = P | FlagN}, 2},
    {"DEX wraps to 0xFF", {0xCA}, {.x = 0x00}, {.x = 0xFF, .p = P | FlagN}, 2},
    {"DEY to zero", {0x88}, {.y = 0x01}, {.y = 0x00, .p = P | FlagZ}, 2},
    {"INC A wraps to zero", {0x1A}, {.a = 0xFF}, {.a = 0x00, .p = P | FlagZ}, 2},
    {"DEC A wraps to 0xFF", {0x3A}, {.a = 0x00}, {.a = 0xFF, .p = P | FlagN}, 2},

    {"ASL A moves bit 7 into C", {0x0A}, {.a = 0x81}, {.a = 0x02, .p = P | FlagC}, 2},
    {"LSR A moves bit 0 into C and clears N", {0x4A}, {.a = 0x01, .p = P | FlagN}, {.a = 0x00, .p = P | FlagC | FlagZ}, 2},
    {"ROL A takes the old carry into bit 0", {0x2A}, {.a = 0x80, .p = P | FlagC}, {.a = 0x01, .p = P | FlagC}, 2},
    {"ROR A takes the old carry into bit 7", {0x6A}, {.a = 0x01, .p = P | FlagC}, {.a = 0x80, .p = P | FlagC | FlagN}, 2},
    {"ROR A with carry clear", {0x6A}, {.a = 0x02, .p = P | FlagN}, {.a = 0x01}, 2},
};

class RegisterInstruction : public ::testing::TestWithParam<InstructionCase> {};

TEST_P(RegisterInstruction, GivesRegistersAndFlags) { expectInstruction(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Cases, RegisterInstruction, ::testing::ValuesIn(registerCases),
                         [](const auto& info) { return testName(info.param.name); });

// A memory form on zero-page byte 0x10: the byte and the status before and after.
struct MemoryCase {
    const char* name;
    uint8_t opcode;
    uint8_t before;
    uint32_t a, p;
    uint8_t after;
    uint32_t pAfter;
};

void PrintTo(const MemoryCase& c, std::ostream* out) { *out << c.name; }

const std::vector<MemoryCase> memoryCases = {
    {"ASL", 0x06, 0x81, 0, P, 0x02, P | FlagC},
    {"LSR", 0x46, 0x01, 0, P | FlagN, 0x00, P | FlagC | FlagZ},
    {"ROL with carry", 0x26, 0x40, 0, P | FlagC, 0x81, P | FlagN},
    {"ROR with carry", 0x66, 0x01, 0, P | FlagC, 0x80, P | FlagC | FlagN},
    {"INC wraps to zero", 0xE6, 0xFF, 0, P, 0x00, P | FlagZ},
    {"DEC wraps to 0xFF", 0xC6, 0x00, 0, P, 0xFF, P | FlagN},
    {"TSB sets Z from a AND m and the bits of a", 0x04, 0xF0, 0x0F, P, 0xFF, P | FlagZ},
    {"TSB with common bits clears Z", 0x04, 0x11, 0x01, P | FlagZ, 0x11, P},
    {"TRB clears the bits of a", 0x14, 0xFF, 0x0F, P | FlagZ, 0xF0, P},
    {"TRB without common bits sets Z", 0x14, 0xF0, 0x0F, P, 0xF0, P | FlagZ},
    {"STZ stores zero and changes no flag", 0x64, 0xAB, 0x12, P | FlagN, 0x00, P | FlagN},
};

class MemoryInstruction : public ::testing::TestWithParam<MemoryCase> {};

TEST_P(MemoryInstruction, RewritesTheByteAndSetsFlags)
{
    const MemoryCase& c = GetParam();
    startInRam({c.opcode, 0x10});
    poke(0x10, c.before);
    cpu.a = c.a;
    cpu.p = c.p;
    runInstructions(1);
    EXPECT_EQ(peek(0x10), c.after);
    EXPECT_EQ(cpu.p, c.pAfter);
    EXPECT_EQ(cpu.a, c.a);
    EXPECT_EQ(cpu.pc, TestCodeAddress + 2);
}

INSTANTIATE_TEST_SUITE_P(Cases, MemoryInstruction, ::testing::ValuesIn(memoryCases),
                         [](const auto& info) { return testName(info.param.name); });

// The controller port answers a second read differently from the first (the write in between
// restarts it), which shows where INC and DEC take their flags from.
TEST(MemoryInstruction, IncAndDecTakeFlagsFromTheSecondRead)
{
    struct PortCase {
        uint8_t opcode;
        uint32_t buttonA, buttonB;  // the read after the write returns A, the first read B
        uint32_t pAfter;
    };
    const PortCase cases[] = {
        {0xEE, 0, 1, P | FlagZ},  // INC: reads 1, writes 2, reads back 0
        {0xCE, 1, 0, P},          // DEC: reads 0, writes 0xFF, reads back 1
    };
    for (const PortCase& c : cases) {
        startInRam({c.opcode, 0x16, 0x40});
        buttonState.fill(0);
        buttonState[ButtonA] = c.buttonA;
        buttonState[ButtonB] = c.buttonB;
        controllerReadIndex = 1;
        runInstructions(1);
        EXPECT_EQ(cpu.p, c.pAfter) << std::hex << int{c.opcode};
        EXPECT_EQ(controllerReadIndex, 1);
    }
}

TEST(MemoryInstruction, ShiftsTakeFlagsFromTheValueComputed)
{
    startInRam({0x4E, 0x16, 0x40});  // LSR 0x4016: reads 1 and writes 0; a read back would give 1
    buttonState.fill(0);
    buttonState[ButtonA] = 1;
    controllerReadIndex = 0;
    runInstructions(1);
    EXPECT_EQ(cpu.p, P | FlagC | FlagZ);
    EXPECT_EQ(controllerReadIndex, 0);
}

}  // namespace
