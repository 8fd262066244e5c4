// Operand resolution: the effective addresses nestest does not reach (its log covers the common
// modes and wraps): the 16-bit wraps, the pointer at 0xFF of (zp), (zp) and (abs,X), and no operand read.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "cpu/interpreter.h"
#include "input/controller.h"
#include "support/cpu_harness.h"

namespace {

constexpr uint32_t Untouched = 0xDEAD;

// A pointer at 0xFF takes its high byte from 0x0000, in the zero page (0x0100 holds a decoy).
const std::vector<std::pair<uint32_t, uint8_t>> PointerAtFF = {{0xFF, 0x34}, {0x00, 0x12}, {0x100, 0x99}};

TEST(AddressingMode, FormsTheEffectiveAddress)
{
    // What the case shows, opcode and operand bytes, x, y, pointer bytes in RAM, and the operand address.
    const std::tuple<const char*, std::vector<uint8_t>, uint32_t, uint32_t, std::vector<std::pair<uint32_t, uint8_t>>,
                     uint32_t> cases[] = {
        {"implied leaves the address alone", {0xEA}, 0, 0, {}, Untouched},
        {"abs on the controller port", {0xAD, 0x16, 0x40}, 0, 0, {}, 0x4016},
        {"relative 0x80 is -128", {0xD0, 0x80}, 0, 0, {}, static_cast<uint32_t>(-128)},
        {"(zp),Y past 0xFFFF wraps to 16 bits", {0xB1, 0x80}, 0, 0x20, {{0x80, 0xF0}, {0x81, 0xFF}}, 0x0010},
        {"(zp) ignores Y", {0xB2, 0x80}, 0, 0x20, {{0x80, 0x34}, {0x81, 0x12}}, 0x1234},
        {"(zp) pointer 0xFF", {0xB2, 0xFF}, 0, 0, PointerAtFF, 0x1234},
        {"(zp,X) pointer 0xFE + 1", {0xA1, 0xFE}, 1, 0, PointerAtFF, 0x1234},
        {"(zp),Y pointer 0xFF", {0xB1, 0xFF}, 0, 2, PointerAtFF, 0x1236},
        {"abs,X past 0xFFFF wraps to 16 bits", {0xBD, 0xF0, 0xFF}, 0x20, 0, {}, 0x0010},
        {"(abs,X)", {0x7C, 0x00, 0x03}, 0x04, 0, {{0x304, 0x34}, {0x305, 0x12}}, 0x1234},
    };
    for (const auto& [name, code, x, y, memory, address] : cases) {
        startInRam(code);
        std::tie(cpu.x, cpu.y) = std::pair(x, y);
        for (const auto& [at, value] : memory)
            poke(at, value);
        cpu.operandAddress = Untouched;
        cpu.opcode = code[0];
        cpu.pc = TestCodeAddress + 1;
        controllerReadIndex = 3;  // the port counts its reads: resolving never reads the operand itself
        resolveOperand(cpu.opcode);
        EXPECT_EQ(std::pair(cpu.operandAddress, controllerReadIndex), std::pair(address, 3)) << name;
    }
}

}  // namespace
