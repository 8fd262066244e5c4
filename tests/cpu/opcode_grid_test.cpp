// Every opcode against the opcode chart: base cycles, length, and the undefined opcodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "bus/cpu_bus.h"
#include "cpu/interpreter.h"
#include "cpu/opcode_table.h"
#include "support/cpu_harness.h"

namespace {

// Base cycles from the opcode chart; row = high nibble, column = low nibble.
constexpr std::array<std::string_view, 16> chartCycles = {
    "7622335233224462",  // 0x
    "2532346224224472",  // 1x
    "6622335243224462",  // 2x
    "2532446224224472",  // 3x
    "6622235233223462",  // 4x
    "2532246224322472",  // 5x
    "6622335243225462",  // 6x
    "2532446224426472",  // 7x
    "2622222222224442",  // 8x
    "2632444225224552",  // 9x
    "3632333223224442",  // Ax
    "2532444224224442",  // Bx
    "3622335223224462",  // Cx
    "2532246224322472",  // Dx
    "3622335223224462",  // Ex
    "2532246224422472",  // Fx
};

// Bytes per instruction (opcode and operand bytes) from the chart's addressing modes.
constexpr std::array<std::string_view, 16> chartLengths = {
    "1211222112113331",  // 0x
    "2221222113113331",  // 1x
    "3211222112113331",  // 2x
    "2221222113113331",  // 3x
    "1211122112113331",  // 4x
    "2221122113111331",  // 5x
    "1211222112113331",  // 6x
    "2221222113113331",  // 7x
    "2211222112113331",  // 8x
    "2221222113113331",  // 9x
    "2221222112113331",  // Ax
    "2221222113113331",  // Bx
    "2211222112113331",  // Cx
    "2221122113111331",  // Dx
    "2211222112113331",  // Ex
    "2221122113111331",  // Fx
};

int32_t chartCycle(uint32_t opcode) { return chartCycles[opcode >> 4][opcode & 15] - '0'; }
uint32_t chartLength(uint32_t opcode) { return static_cast<uint32_t>(chartLengths[opcode >> 4][opcode & 15] - '0'); }

// BRK, JSR, RTI, RTS and the three JMPs put pc elsewhere.
bool changesFlow(uint32_t opcode)
{
    return opcode == 0x00 || opcode == 0x20 || opcode == 0x40 || opcode == 0x60 || opcode == 0x4C ||
           opcode == 0x6C || opcode == 0x7C;
}

// The 78 bytes without an instruction: columns 3, 7, B and F, and fourteen more.
bool isUndefined(uint32_t opcode)
{
    constexpr std::array<uint32_t, 14> others = {0x02, 0x22, 0x42, 0x62, 0x82, 0xC2, 0xE2,
                                                 0x44, 0x54, 0xD4, 0xF4, 0x5C, 0xDC, 0xFC};
    const uint32_t column = opcode & 15;
    return column == 0x3 || column == 0x7 || column == 0xB || column == 0xF ||
           std::find(others.begin(), others.end(), opcode) != others.end();
}

bool isAdcOrSbc(uint32_t opcode)
{
    const uint32_t row = opcode >> 4;
    const uint32_t column = opcode & 15;
    const bool arithmeticRow = row == 0x6 || row == 0x7 || row == 0xE || row == 0xF;
    const bool arithmeticColumn = column == 0x1 || column == 0x5 || column == 0x9 || column == 0xD ||
                                  (column == 0x2 && (row & 1));
    return arithmeticRow && arithmeticColumn;
}

// With p = D and bit 5 only (N, V, C and Z clear) these branches are taken.
bool takenWithFlagsClear(uint32_t opcode)
{
    return opcode == 0x10 || opcode == 0x50 || opcode == 0x90 || opcode == 0xD0 || opcode == 0x80;
}

// RAM cleared, the opcode with two zero operand bytes at TestCodeAddress, registers neutral:
// every operand, pointer and index is 0, so no page is crossed and branches go nowhere.
void placeNeutral(uint32_t opcode, uint32_t p)
{
    std::fill(cpuMemory.begin(), cpuMemory.begin() + 0x8000, 0);
    placeCode(TestCodeAddress, {static_cast<uint8_t>(opcode), 0x00, 0x00});
    cpu.a = cpu.x = cpu.y = 0;
    cpu.s = 0xFF;
    cpu.p = p;
}

TEST(OpcodeGrid, EveryOpcodeCostsItsChartCyclesAndLength)
{
    loadProgram();
    for (uint32_t opcode = 0; opcode < 256; ++opcode) {
        placeNeutral(opcode, FlagD | FlagUnused);
        const int32_t taken = takenWithFlagsClear(opcode) ? 1 : 0;
        EXPECT_EQ(runInstructions(1), chartCycle(opcode) + taken) << "opcode " << std::hex << opcode;
        if (!changesFlow(opcode)) {
            EXPECT_EQ(cpu.pc - TestCodeAddress, chartLength(opcode)) << "opcode " << std::hex << opcode;
        }
    }
}

TEST(OpcodeGrid, AdcAndSbcTakeOneMoreCycleWithDecimalClear)
{
    loadProgram();
    uint32_t checked = 0;
    for (uint32_t opcode = 0; opcode < 256; ++opcode) {
        if (!isAdcOrSbc(opcode))
            continue;
        ++checked;
        placeNeutral(opcode, FlagUnused);
        EXPECT_EQ(runInstructions(1), chartCycle(opcode) + 1) << "opcode " << std::hex << opcode;
    }
    EXPECT_EQ(checked, 18u);
}

TEST(OpcodeGrid, TotalCyclesCountsBaseAndExtraCycles)
{
    startInRam({0x7D, 0xF0, 0x12});  // ADC 0x12F0,X: 4, +1 page crossing, +1 decimal clear
    cpu.x = 0x20;
    const uint32_t before = cpu.totalCycles;
    EXPECT_EQ(runInstructions(1), 6);
    EXPECT_EQ(cpu.totalCycles - before, 6u);
}

TEST(OpcodeGrid, UndefinedOpcodesAreOneByteTwoCycleNoOperations)
{
    loadProgram();
    uint32_t count = 0;
    for (uint32_t opcode = 0; opcode < 256; ++opcode) {
        if (!isUndefined(opcode))
            continue;
        ++count;
        placeNeutral(opcode, 0xE7);
        cpu.a = 0x11;
        cpu.x = 0x22;
        cpu.y = 0x33;
        cpu.s = 0x44;
        cpuMemory[0x0000] = 0x55;
        const CpuRegisters before = cpuRegisters();

        EXPECT_EQ(runInstructions(1), 2) << "opcode " << std::hex << opcode;
        CpuRegisters expected = before;
        expected.pc = before.pc + 1;
        EXPECT_EQ(cpuRegisters(), expected) << "opcode " << std::hex << opcode;
        EXPECT_EQ(peek(0x0000), 0x55);
        EXPECT_EQ(opcodeTable.instructionId[opcode], static_cast<uint32_t>(Op::Nop));
        EXPECT_EQ(opcodeTable.addressingMode[opcode], static_cast<uint32_t>(Mode::Implied));
    }
    EXPECT_EQ(count, 78u);
}

}  // namespace
