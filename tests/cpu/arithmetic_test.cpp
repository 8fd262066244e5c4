// ADC and SBC in binary and decimal, compares, logic and BIT.
#include <gtest/gtest.h>

#include <vector>

#include "support/cpu_harness.h"

namespace {

constexpr uint32_t P = FlagUnused;  // bit 5, set in every status byte here

const std::vector<InstructionCase> arithmeticCases = {
    // Binary ADC and SBC: one cycle more than the base.
    {"ADC 0x50 plus 0x50 overflows into the sign", {0x69, 0x50}, {.a = 0x50, .p = P | FlagI},
     {.a = 0xA0, .p = P | FlagI | FlagV | FlagN}, 4},
    {"ADC 0xFF plus 0x01 carries out to zero", {0x69, 0x01}, {.a = 0xFF}, {.a = 0x00, .p = P | FlagC | FlagZ}, 4},
    {"ADC adds the carry in", {0x69, 0x01}, {.a = 0x01, .p = P | FlagC}, {.a = 0x03}, 4},
    {"ADC 0x80 plus 0x80 overflows to zero", {0x69, 0x80}, {.a = 0x80}, {.a = 0x00, .p = P | FlagC | FlagZ | FlagV}, 4},
    {"SBC 0x50 minus 0xB0 overflows", {0xE9, 0xB0}, {.a = 0x50, .p = P | FlagC},
     {.a = 0xA0, .p = P | FlagV | FlagN}, 4},
    {"SBC 0x10 minus 0x01 keeps the carry", {0xE9, 0x01}, {.a = 0x10, .p = P | FlagC}, {.a = 0x0F, .p = P | FlagC}, 4},
    {"SBC with carry clear borrows one more", {0xE9, 0x01}, {.a = 0x10}, {.a = 0x0E, .p = P | FlagC}, 4},
    {"SBC 0x00 minus 0x01 borrows", {0xE9, 0x01}, {.a = 0x00, .p = P | FlagC}, {.a = 0xFF, .p = P | FlagN}, 4},

    // Decimal ADC and SBC: the adjustment, and no extra cycle.
    {"ADC decimal 15 plus 27", {0x69, 0x27}, {.a = 0x15, .p = P | FlagD}, {.a = 0x42, .p = P | FlagD}, 3},
    {"ADC decimal 99 plus 01 carries", {0x69, 0x01}, {.a = 0x99, .p = P | FlagD},
     {.a = 0x00, .p = P | FlagD | FlagC | FlagZ}, 3},
    {"ADC decimal 58 plus 46 plus carry, V from the binary sum", {0x69, 0x46}, {.a = 0x58, .p = P | FlagD | FlagC},
     {.a = 0x05, .p = P | FlagD | FlagC | FlagV}, 3},
    {"ADC decimal drops the binary carry", {0x69, 0x90}, {.a = 0x90, .p = P | FlagD},
     {.a = 0x20, .p = P | FlagD | FlagV}, 3},
    {"SBC decimal 42 minus 15", {0xE9, 0x15}, {.a = 0x42, .p = P | FlagD | FlagC},
     {.a = 0x27, .p = P | FlagD | FlagC}, 3},
    {"SBC decimal 15 minus 27 borrows", {0xE9, 0x27}, {.a = 0x15, .p = P | FlagD | FlagC},
     {.a = 0x88, .p = P | FlagD | FlagN}, 3},

    // Compares: t = register + 0x100 - m.
    {"CMP of equal values", {0xC9, 0x40}, {.a = 0x40}, {.a = 0x40, .p = P | FlagZ | FlagC}, 3},
    {"CMP 0x10 against 0x20", {0xC9, 0x20}, {.a = 0x10}, {.a = 0x10, .p = P | FlagN}, 3},
    {"CMP 0x20 against 0x10", {0xC9, 0x10}, {.a = 0x20, .p = P | FlagZ | FlagN}, {.a = 0x20, .p = P | FlagC}, 3},
    {"CPX 0x80 against 0x7F", {0xE0, 0x7F}, {.x = 0x80}, {.x = 0x80, .p = P | FlagC}, 3},
    {"CPY 0x00 against 0x01", {0xC0, 0x01}, {.y = 0x00, .p = P | FlagC}, {.y = 0x00, .p = P | FlagN}, 3},

    // Logic.
    {"AND to zero", {0x29, 0x0F}, {.a = 0xF0, .p = P | FlagN}, {.a = 0x00, .p = P | FlagZ}, 3},
    {"ORA sets N", {0x09, 0x80}, {.a = 0x01, .p = P | FlagZ}, {.a = 0x81, .p = P | FlagN}, 3},
    {"EOR of equal values", {0x49, 0xFF}, {.a = 0xFF, .p = P | FlagC}, {.a = 0x00, .p = P | FlagC | FlagZ}, 3},

    // BIT: Z from a AND m, N and V from m, in every mode.
    {"BIT immediate takes N and V from the operand", {0x89, 0xC0}, {.a = 0x00},
     {.a = 0x00, .p = P | FlagZ | FlagN | FlagV}, 2},
    {"BIT immediate clears N and V", {0x89, 0x3F}, {.a = 0x01, .p = P | FlagZ | FlagN | FlagV | FlagC},
     {.a = 0x01, .p = P | FlagC}, 2},
};

class Arithmetic : public ::testing::TestWithParam<InstructionCase> {};

TEST_P(Arithmetic, GivesResultFlagsAndCycles) { expectInstruction(GetParam()); }

INSTANTIATE_TEST_SUITE_P(Cases, Arithmetic, ::testing::ValuesIn(arithmeticCases),
                         [](const auto& info) { return testName(info.param.name); });

TEST(Arithmetic, BitInMemoryModesReadsTheOperand)
{
    startInRam({0x24, 0x10, 0x34, 0x10, 0x2C, 0x34, 0x12, 0x3C, 0x34, 0x12});  // BIT zp, zp,X, abs, abs,X
    poke(0x10, 0x80);
    poke(0x14, 0x40);
    poke(0x1234, 0xC1);
    poke(0x1238, 0x00);
    cpu.a = 0x01;
    cpu.x = 0x04;
    const uint32_t nvz = FlagN | FlagV | FlagZ;
    runInstructions(1);
    EXPECT_EQ(cpu.p & nvz, FlagN | FlagZ);
    runInstructions(1);
    EXPECT_EQ(cpu.p & nvz, FlagV | FlagZ);
    runInstructions(1);
    EXPECT_EQ(cpu.p & nvz, FlagN | FlagV);
    runInstructions(1);
    EXPECT_EQ(cpu.p & nvz, FlagZ);
}

}  // namespace
