// Operand resolution: effective addresses, operand bytes consumed and the page-crossing cycle.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "bus/cpu_bus.h"
#include "cpu/interpreter.h"
#include "input/controller.h"
#include "support/cpu_harness.h"

namespace {

constexpr uint32_t Untouched = 0xDEAD;

struct ModeCase {
    const char* name;
    std::vector<uint8_t> code;  // opcode and operand bytes
    uint32_t x, y;
    std::vector<std::pair<uint32_t, uint8_t>> memory;  // pointer bytes in RAM
    uint32_t address;                                  // expected operandAddress
    uint32_t consumed;                                 // bytes from the opcode to pc afterwards
    int32_t extraCycles;
};

const std::vector<ModeCase> modeCases = {
    {"implied leaves the address alone", {0xEA}, 0, 0, {}, Untouched, 1, 0},
    {"(zp,X)", {0xA1, 0x80}, 0x05, 0, {{0x85, 0x34}, {0x86, 0x12}}, 0x1234, 2, 0},
    {"(zp,X) index wraps in zero page", {0xA1, 0xF0}, 0x20, 0, {{0x10, 0x00}, {0x11, 0x03}}, 0x0300, 2, 0},
    {"(zp,X) pointer 0xFF takes its high byte from 0x0100", {0xA1, 0xFA}, 0x05, 0,
     {{0xFF, 0x34}, {0x100, 0x12}, {0x00, 0x99}}, 0x1234, 2, 0},
    {"zp", {0xA5, 0x42}, 0, 0, {}, 0x0042, 2, 0},
    {"immediate is the address of its byte", {0xA9, 0x77}, 0, 0, {}, TestCodeAddress + 1, 2, 0},
    {"abs", {0xAD, 0x34, 0x12}, 0, 0, {}, 0x1234, 3, 0},
    {"relative 0xFE is -2", {0xD0, 0xFE}, 0, 0, {}, static_cast<uint32_t>(-2), 2, 0},
    {"relative 0x80 is -128", {0xD0, 0x80}, 0, 0, {}, static_cast<uint32_t>(-128), 2, 0},
    {"relative 0x7F is +127", {0xD0, 0x7F}, 0, 0, {}, 127, 2, 0},
    {"(zp),Y", {0xB1, 0x80}, 0, 0x10, {{0x80, 0x00}, {0x81, 0x12}}, 0x1210, 2, 0},
    {"(zp),Y crossing a page costs LDA a cycle", {0xB1, 0x80}, 0, 0x20, {{0x80, 0xF0}, {0x81, 0x12}}, 0x1310, 2, 1},
    {"(zp),Y crossing a page costs STA nothing", {0x91, 0x80}, 0, 0x20, {{0x80, 0xF0}, {0x81, 0x12}}, 0x1310, 2, 0},
    {"(zp),Y pointer 0xFF takes its high byte from 0x0100", {0xB1, 0xFF}, 0, 0,
     {{0xFF, 0x34}, {0x100, 0x12}, {0x00, 0x99}}, 0x1234, 2, 0},
    {"(zp),Y past 0xFFFF wraps to 16 bits", {0xB1, 0x80}, 0, 0x20, {{0x80, 0xF0}, {0x81, 0xFF}}, 0x0010, 2, 1},
    {"(zp)", {0xB2, 0x80}, 0, 0x20, {{0x80, 0x34}, {0x81, 0x12}}, 0x1234, 2, 0},
    {"(zp) pointer 0xFF takes its high byte from 0x0100", {0xB2, 0xFF}, 0, 0,
     {{0xFF, 0x34}, {0x100, 0x12}, {0x00, 0x99}}, 0x1234, 2, 0},
    {"zp,X wraps in zero page", {0xB5, 0xF0}, 0x20, 0, {}, 0x0010, 2, 0},
    {"zp,Y wraps in zero page", {0xB6, 0xF0}, 0, 0x20, {}, 0x0010, 2, 0},
    {"abs,Y", {0xB9, 0x00, 0x12}, 0, 0x20, {}, 0x1220, 3, 0},
    {"abs,Y crossing costs LDA a cycle", {0xB9, 0xF0, 0x12}, 0, 0x20, {}, 0x1310, 3, 1},
    {"abs,Y crossing costs LDX a cycle", {0xBE, 0xF0, 0x12}, 0, 0x20, {}, 0x1310, 3, 1},
    {"abs,Y crossing costs STA nothing", {0x99, 0xF0, 0x12}, 0, 0x20, {}, 0x1310, 3, 0},
    {"abs,X", {0xBD, 0x00, 0x12}, 0x20, 0, {}, 0x1220, 3, 0},
    {"abs,X crossing costs LDA a cycle", {0xBD, 0xF0, 0x12}, 0x20, 0, {}, 0x1310, 3, 1},
    {"abs,X crossing costs LDY a cycle", {0xBC, 0xF0, 0x12}, 0x20, 0, {}, 0x1310, 3, 1},
    {"abs,X crossing costs BIT a cycle", {0x3C, 0xF0, 0x12}, 0x20, 0, {}, 0x1310, 3, 1},
    {"abs,X crossing costs STA nothing", {0x9D, 0xF0, 0x12}, 0x20, 0, {}, 0x1310, 3, 0},
    {"abs,X crossing costs STZ nothing", {0x9E, 0xF0, 0x12}, 0x20, 0, {}, 0x1310, 3, 0},
    {"abs,X crossing costs ROL nothing", {0x3E, 0xF0, 0x12}, 0x20, 0, {}, 0x1310, 3, 0},
    {"abs,X past 0xFFFF wraps to 16 bits", {0xBD, 0xF0, 0xFF}, 0x20, 0, {}, 0x0010, 3, 1},
    {"(abs) carries into the high byte of the pointer", {0x6C, 0xFF, 0x02}, 0, 0,
     {{0x2FF, 0x34}, {0x300, 0x12}, {0x200, 0x99}}, 0x1234, 3, 0},
    {"(abs,X) leaves pc on the operand", {0x7C, 0x00, 0x03}, 0x04, 0, {{0x304, 0x34}, {0x305, 0x12}}, 0x1234, 1, 0},
};

void PrintTo(const ModeCase& c, std::ostream* out) { *out << c.name; }

class AddressingMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(AddressingMode, FormsAddressConsumesOperandAndChargesCrossing)
{
    const ModeCase& c = GetParam();
    startInRam(c.code);
    cpu.x = c.x;
    cpu.y = c.y;
    for (const auto& [address, value] : c.memory)
        cpuMemory[address] = value;
    cpu.operandAddress = Untouched;
    cpu.opcode = c.code[0];
    cpu.pc = TestCodeAddress + 1;
    const int32_t cyclesBefore = cpu.cycleCounter;

    resolveOperand(cpu.opcode);

    EXPECT_EQ(cpu.operandAddress, c.address);
    EXPECT_EQ(cpu.pc - TestCodeAddress, c.consumed);
    EXPECT_EQ(cpu.cycleCounter - cyclesBefore, c.extraCycles);
}

INSTANTIATE_TEST_SUITE_P(Modes, AddressingMode, ::testing::ValuesIn(modeCases),
                         [](const auto& info) { return testName(info.param.name); });

TEST(Addressing, ResolvingNeverReadsTheOperandItself)
{
    // The controller port counts its reads, so a read of the operand would show.
    startInRam({0xAD, 0x16, 0x40});  // LDA 0x4016
    controllerReadIndex = 3;
    cpu.opcode = 0xAD;
    cpu.pc = TestCodeAddress + 1;
    resolveOperand(cpu.opcode);
    EXPECT_EQ(cpu.operandAddress, 0x4016u);
    EXPECT_EQ(controllerReadIndex, 3);
}

TEST(Addressing, ImmediateOperandIsFetchedThroughItsAddress)
{
    startInRam({0xA9, 0x5A});  // LDA #0x5A
    runInstructions(1);
    EXPECT_EQ(cpu.a, 0x5Au);
    EXPECT_EQ(cpu.pc, TestCodeAddress + 2);
}

TEST(Addressing, ProgramCounterWrapsPastTheTopOfMemory)
{
    // The last byte of memory is the IRQ vector's high byte, 0xA0: LDY # with its operand at 0x0000.
    loadProgram();
    cpuMemory[0x0000] = 0x5A;
    cpu.pc = 0xFFFF;
    runInstructions(1);
    EXPECT_EQ(cpu.y, 0x5Au);
    EXPECT_EQ(cpu.pc, 0x0001u);
}

}  // namespace
