// Operand resolution: the effective address of every addressing mode, with its wraps.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

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
};

void PrintTo(const ModeCase& c, std::ostream* out) { *out << c.name; }

// A pointer at 0xFF takes its high byte from 0x0100 (0x0000 holds a decoy).
const std::vector<std::pair<uint32_t, uint8_t>> PointerAtFF = {{0xFF, 0x34}, {0x100, 0x12}, {0x00, 0x99}};

const std::vector<ModeCase> modeCases = {
    {"implied leaves the address alone", {0xEA}, 0, 0, {}, Untouched},
    {"(zp,X)", {0xA1, 0x80}, 0x05, 0, {{0x85, 0x34}, {0x86, 0x12}}, 0x1234},
    {"(zp,X) index wraps in zero page", {0xA1, 0xF0}, 0x20, 0, {{0x10, 0x00}, {0x11, 0x03}}, 0x0300},
    {"(zp,X) pointer 0xFF", {0xA1, 0xFA}, 0x05, 0, PointerAtFF, 0x1234},
    {"zp", {0xA5, 0x42}, 0, 0, {}, 0x0042},
    {"immediate is the address of its byte", {0xA9, 0x77}, 0, 0, {}, TestCodeAddress + 1},
    {"abs", {0xAD, 0x34, 0x12}, 0, 0, {}, 0x1234},
    {"abs on the controller port", {0xAD, 0x16, 0x40}, 0, 0, {}, 0x4016},
    {"relative 0x80 is -128", {0xD0, 0x80}, 0, 0, {}, static_cast<uint32_t>(-128)},
    {"relative 0x7F is +127", {0xD0, 0x7F}, 0, 0, {}, 127},
    {"(zp),Y", {0xB1, 0x80}, 0, 0xF0, {{0x80, 0x20}, {0x81, 0x12}}, 0x1310},
    {"(zp),Y pointer 0xFF", {0xB1, 0xFF}, 0, 0, PointerAtFF, 0x1234},
    {"(zp),Y past 0xFFFF wraps to 16 bits", {0xB1, 0x80}, 0, 0x20, {{0x80, 0xF0}, {0x81, 0xFF}}, 0x0010},
    {"(zp) ignores Y", {0xB2, 0x80}, 0, 0x20, {{0x80, 0x34}, {0x81, 0x12}}, 0x1234},
    {"(zp) pointer 0xFF", {0xB2, 0xFF}, 0, 0, PointerAtFF, 0x1234},
    {"zp,X wraps in zero page", {0xB5, 0xF0}, 0x20, 0, {}, 0x0010},
    {"zp,Y wraps in zero page", {0xB6, 0xF0}, 0, 0x20, {}, 0x0010},
    {"abs,Y", {0xB9, 0xF0, 0x12}, 0, 0x20, {}, 0x1310},
    {"abs,X past 0xFFFF wraps to 16 bits", {0xBD, 0xF0, 0xFF}, 0x20, 0, {}, 0x0010},
    {"(abs) carries into the high byte of the pointer", {0x6C, 0xFF, 0x02}, 0, 0,
     {{0x2FF, 0x34}, {0x300, 0x12}, {0x200, 0x99}}, 0x1234},
    {"(abs,X)", {0x7C, 0x00, 0x03}, 0x04, 0, {{0x304, 0x34}, {0x305, 0x12}}, 0x1234},
};

class AddressingMode : public ::testing::TestWithParam<ModeCase> {};

TEST_P(AddressingMode, FormsTheEffectiveAddress)
{
    const ModeCase& c = GetParam();
    startInRam(c.code);
    cpu.x = c.x;
    cpu.y = c.y;
    for (const auto& [address, value] : c.memory)
        poke(address, value);
    cpu.operandAddress = Untouched;
    cpu.opcode = c.code[0];
    cpu.pc = TestCodeAddress + 1;
    controllerReadIndex = 3;  // the port counts its reads: resolving never reads the operand itself
    resolveOperand(cpu.opcode);
    EXPECT_EQ(cpu.operandAddress, c.address);
    EXPECT_EQ(controllerReadIndex, 3);
}

INSTANTIATE_TEST_SUITE_P(Modes, AddressingMode, ::testing::ValuesIn(modeCases),
                         [](const auto& info) { return testName(info.param.name); });

}  // namespace
