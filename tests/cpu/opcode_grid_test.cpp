// Every opcode against the opcode chart: base cycles, length, the page-crossing and decimal
// cycles, and the undefined opcodes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string_view>

#include "support/cpu_harness.h"

namespace {

// Per opcode (row = high nibble): base cycles, bytes, then '+' where a page crossing costs a
// cycle, '-' where there is no instruction (a one-byte, two-cycle no-operation).
constexpr std::array<std::string_view, 16> chart = {
    "71  62  21- 21- 32  32  52  21- 31  32  21  21- 43  43  63  21-",  // 0x
    "22  52+ 32  21- 32  42  62  21- 21  43+ 21  21- 43  43+ 73  21-",  // 1x
    "63  62  21- 21- 32  32  52  21- 41  32  21  21- 43  43  63  21-",  // 2x
    "22  52+ 32  21- 42  42  62  21- 21  43+ 21  21- 43+ 43+ 73  21-",  // 3x
    "61  62  21- 21- 21- 32  52  21- 31  32  21  21- 33  43  63  21-",  // 4x
    "22  52+ 32  21- 21- 42  62  21- 21  43+ 31  21- 21- 43+ 73  21-",  // 5x
    "61  62  21- 21- 32  32  52  21- 41  32  21  21- 53  43  63  21-",  // 6x
    "22  52+ 32  21- 42  42  62  21- 21  43+ 41  21- 63  43+ 73  21-",  // 7x
    "22  62  21- 21- 22  22  22  21- 21  22  21  21- 43  43  43  21-",  // 8x
    "22  62  32  21- 42  42  42  21- 21  53  21  21- 43  53  53  21-",  // 9x
    "32  62  32  21- 32  32  32  21- 21  32  21  21- 43  43  43  21-",  // Ax
    "22  52+ 32  21- 42  42  42  21- 21  43+ 21  21- 43+ 43+ 43+ 21-",  // Bx
    "32  62  21- 21- 32  32  52  21- 21  32  21  21- 43  43  63  21-",  // Cx
    "22  52+ 32  21- 21- 42  62  21- 21  43+ 31  21- 21- 43+ 73  21-",  // Dx
    "32  62  21- 21- 32  32  52  21- 21  32  21  21- 43  43  63  21-",  // Ex
    "22  52+ 32  21- 21- 42  62  21- 21  43+ 41  21- 21- 43+ 73  21-",  // Fx
};

// ADC and SBC take one cycle more with D clear.
constexpr std::array<uint8_t, 18> adcSbc = {0x61, 0x65, 0x69, 0x6D, 0x71, 0x72, 0x75, 0x79, 0x7D,
                                            0xE1, 0xE5, 0xE9, 0xED, 0xF1, 0xF2, 0xF5, 0xF9, 0xFD};
// Taken when N, V, Z and C are clear.
constexpr std::array<uint8_t, 5> takenWithFlagsClear = {0x10, 0x50, 0x90, 0xD0, 0x80};
// BRK, JSR, RTI, RTS and the JMPs put pc elsewhere.
constexpr std::array<uint8_t, 7> changesFlow = {0x00, 0x20, 0x40, 0x60, 0x4C, 0x6C, 0x7C};

bool listed(const auto& list, uint32_t opcode) { return std::find(list.begin(), list.end(), opcode) != list.end(); }

TEST(OpcodeGrid, EveryOpcodeCostsItsChartCyclesAndLength)
{
    loadProgram();
    for (uint32_t opcode = 0; opcode < 256; ++opcode) {
        const std::string_view cell = chart[opcode >> 4].substr(4 * (opcode & 15), 3);
        for (const bool crossing : {false, true}) {
            for (const bool decimal : {false, true}) {
                SCOPED_TRACE(testing::Message() << std::hex << "opcode " << opcode << " crossing " << crossing
                                                << " decimal " << decimal);
                // Operand 0x00FF, or 0x0000 with no crossing; x = y = 1 crosses into page 1, and the
                // (zp),Y pointer at 0xFF holds 0x00FF.
                const uint8_t operand = crossing ? 0xFF : 0;
                std::fill(cpuMemory.begin(), cpuMemory.begin() + 0x8000, 0);
                placeCode(TestCodeAddress, {static_cast<uint8_t>(opcode), operand, 0});
                poke(0xFF, operand);
                cpu.a = 0;
                cpu.x = cpu.y = crossing ? 1 : 0;
                cpu.s = 0xFF;
                cpu.p = FlagUnused | (decimal ? FlagD : 0);
                const CpuRegisters before = cpuRegisters();
                const CpuMemory memoryBefore = cpuMemory;
                const uint32_t totalBefore = cpu.totalCycles;

                const bool taken = listed(takenWithFlagsClear, opcode);
                const int32_t cycles = runInstructions(1);
                EXPECT_EQ(cycles, cell[0] - '0' + taken + (crossing && cell[2] == '+') +
                                      (!decimal && listed(adcSbc, opcode)));
                EXPECT_EQ(cpu.totalCycles - totalBefore, static_cast<uint32_t>(cycles));
                if (!listed(changesFlow, opcode)) {
                    const int32_t jump = taken ? static_cast<int8_t>(operand) : 0;
                    EXPECT_EQ(cpu.pc, TestCodeAddress + (cell[1] - '0') + jump);
                }
                if (cell[2] == '-') {
                    CpuRegisters expected = before;
                    expected.pc = before.pc + 1;
                    EXPECT_EQ(cpuRegisters(), expected);
                    EXPECT_TRUE(cpuMemory == memoryBefore);
                }
            }
        }
    }
}

}  // namespace
