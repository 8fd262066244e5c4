// What nestest's log does not show (it follows the common opcodes and addressing modes): the
// effective addresses of the 16-bit wraps, the pointer at 0xFF of (zp), (zp,X) and (zp),Y and of
// (abs,X); decimal ADC and SBC, the BIT, INC A, TSB, TRB and STZ forms, where
// read-modify-write takes its flags; reset, NMI and IRQ entry. (BRK, RTI, PHP and PLP are checked
// against nestest's log and by the instr_test singles; branch cycles show in the opcode grid and,
// with the run loop's budget, in the cycle counters of the golden runs; an IRQ held while I is set,
// taken at once or once I clears, in the golden runs of scattered_writes, which turns I on and off
// around the MMC3 and sound IRQs.)
#include <gtest/gtest.h>

#include <tuple>
#include <utility>
#include <vector>

#include "cart/page_maps.h"
#include "cpu/interpreter.h"
#include "cpu/interrupts.h"
#include "ppu/ppu_state.h"
#include "support/cpu_harness.h"

namespace {

constexpr uint32_t P = FlagUnused;  // bit 5, set in every status byte here
constexpr uint32_t D = P | FlagD;

// A pointer at 0xFF takes its high byte from 0x0000, in the zero page (0x0100 holds a decoy).
const std::vector<std::pair<uint32_t, uint8_t>> PointerAtFF = {{0xFF, 0x34}, {0x00, 0x12}, {0x100, 0x99}};

TEST(AddressingMode, FormsTheEffectiveAddress)
{
    // What the case shows, opcode and operand bytes, x, y, pointer bytes in RAM, and the operand address.
    const std::tuple<const char*, std::vector<uint8_t>, uint32_t, uint32_t, std::vector<std::pair<uint32_t, uint8_t>>,
                     uint32_t> cases[] = {
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
        cpu.pc = TestCodeAddress + 1;
        resolveOperand(code[0]);
        EXPECT_EQ(cpu.operandAddress, address) << name;
    }
}

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

TEST(Interrupt, ResetSetsTheRegistersNmiAndIrqPushPcAndStatusSetIAndCostSevenCycles)
{
    loadProgram({{0xC123, {0xEA}}});
    std::tie(cpu.a, cpu.x, cpu.y, cpu.p, cpu.s, cpu.cycleCounter, cpu.totalCycles) = std::tuple(1, 2, 3, 255, 16, 99, 1234);
    cpuReset();
    EXPECT_EQ(cpuRegisters(), (CpuRegisters{.pc = 0xC123}));
    EXPECT_EQ(std::pair(cpu.cycleCounter, cpu.totalCycles), std::pair(0, 1234u)) << "reset keeps totalCycles";
    for (const bool nmi : {true, false}) {
        cpuReset();
        const uint32_t p = nmi ? P | FlagB | FlagC : P | FlagC;  // pushed as p holds it, B or not
        cpu.p = p;
        nmi ? cpuNmi() : cpuIrq();
        EXPECT_EQ(std::tuple(peek(0x01FF), peek(0x01FE), peek(0x01FD)), std::tuple(0xC1, 0x23, p));
        EXPECT_EQ(cpuRegisters(), (CpuRegisters{.pc = nmi ? TestNmiHandler : TestIrqHandler, .p = p | FlagI, .s = 0xFC}));
        EXPECT_EQ(std::pair(cpu.cycleCounter, cpu.totalCycles), std::pair(7, nmi ? 1241u : 1248u))
            << "the sound unit's clock counts them too";
    }
}

}  // namespace
