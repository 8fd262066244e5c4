// What each of the 256 opcode bytes does: base cycles, instruction and addressing mode.
#pragma once

#include <array>
#include <cstdint>

// Instruction ids. "A" marks the accumulator form, "Memory" the read-modify-write form.
enum class Op : uint32_t {
    Brk, Ora, Nop, Tsb, AslMemory, Php, AslA, Bpl, Trb, Clc,
    IncA, Jsr, And, Bit, RolMemory, Plp, RolA, Bmi, Sec, DecA,
    Rti, Eor, LsrMemory, Pha, LsrA, Jmp, Bvc, Cli, Phy, Rts,
    Adc, Stz, RorMemory, Pla, RorA, Bvs, Sei, Ply, Bra, Sta,
    Sty, Stx, Dey, Txa, Bcc, Tya, Txs, Ldy, Lda, Ldx,
    Tay, Tax, Bcs, Clv, Tsx, Cpy, Cmp, DecMemory, Iny, Dex,
    Bne, Cld, Phx, Cpx, Sbc, IncMemory, Inx, Beq, Sed, Plx,
};

// Addressing-mode ids.
enum class Mode : uint32_t {
    Implied,                  // none, or the accumulator
    ZeroPageIndexedIndirect,  // (zp,X)
    ZeroPage,                 // zp
    Immediate,                // #
    Absolute,                 // abs
    Relative,                 // rel
    ZeroPageIndirectIndexed,  // (zp),Y
    ZeroPageIndirect,         // (zp)
    ZeroPageX,                // zp,X
    AbsoluteY,                // abs,Y
    AbsoluteX,                // abs,X
    AbsoluteIndirect,         // (abs)
    AbsoluteIndexedIndirect,  // (abs,X)
    ZeroPageY,                // zp,Y
};

struct OpcodeTable {
    std::array<uint32_t, 256> baseCycles;
    std::array<uint32_t, 256> instructionId;
    std::array<uint32_t, 256> addressingMode;
};

namespace opcode_grid {

struct Cell {
    Op op;
    Mode mode;
    uint32_t cycles;
};

// Short names so that the grid below reads like the opcode chart.
constexpr Mode imp = Mode::Implied, izx = Mode::ZeroPageIndexedIndirect, zp = Mode::ZeroPage,
               imm = Mode::Immediate, abs = Mode::Absolute, rel = Mode::Relative,
               izy = Mode::ZeroPageIndirectIndexed, izp = Mode::ZeroPageIndirect, zpx = Mode::ZeroPageX,
               aby = Mode::AbsoluteY, abx = Mode::AbsoluteX, ind = Mode::AbsoluteIndirect,
               iax = Mode::AbsoluteIndexedIndirect, zpy = Mode::ZeroPageY;

// Every opcode byte without an instruction of its own: a one-byte, two-cycle no-operation.
constexpr Cell ___ = {Op::Nop, Mode::Implied, 2};

using enum Op;

// Row hi holds the opcodes 0xh0..0xhF.
constexpr std::array<Cell, 256> grid = {{
    // 0x
    {Brk, imp, 7}, {Ora, izx, 6}, ___, ___, {Tsb, zp, 3}, {Ora, zp, 3}, {AslMemory, zp, 5}, ___,
    {Php, imp, 3}, {Ora, imm, 3}, {AslA, imp, 2}, ___, {Tsb, abs, 4}, {Ora, abs, 4}, {AslMemory, abs, 6}, ___,
    // 1x
    {Bpl, rel, 2}, {Ora, izy, 5}, {Ora, izp, 3}, ___, {Trb, zp, 3}, {Ora, zpx, 4}, {AslMemory, zpx, 6}, ___,
    {Clc, imp, 2}, {Ora, aby, 4}, {IncA, imp, 2}, ___, {Trb, abs, 4}, {Ora, abx, 4}, {AslMemory, abx, 7}, ___,
    // 2x
    {Jsr, abs, 6}, {And, izx, 6}, ___, ___, {Bit, zp, 3}, {And, zp, 3}, {RolMemory, zp, 5}, ___,
    {Plp, imp, 4}, {And, imm, 3}, {RolA, imp, 2}, ___, {Bit, abs, 4}, {And, abs, 4}, {RolMemory, abs, 6}, ___,
    // 3x
    {Bmi, rel, 2}, {And, izy, 5}, {And, izp, 3}, ___, {Bit, zpx, 4}, {And, zpx, 4}, {RolMemory, zpx, 6}, ___,
    {Sec, imp, 2}, {And, aby, 4}, {DecA, imp, 2}, ___, {Bit, abx, 4}, {And, abx, 4}, {RolMemory, abx, 7}, ___,
    // 4x
    {Rti, imp, 6}, {Eor, izx, 6}, ___, ___, ___, {Eor, zp, 3}, {LsrMemory, zp, 5}, ___,
    {Pha, imp, 3}, {Eor, imm, 3}, {LsrA, imp, 2}, ___, {Jmp, abs, 3}, {Eor, abs, 4}, {LsrMemory, abs, 6}, ___,
    // 5x
    {Bvc, rel, 2}, {Eor, izy, 5}, {Eor, izp, 3}, ___, ___, {Eor, zpx, 4}, {LsrMemory, zpx, 6}, ___,
    {Cli, imp, 2}, {Eor, aby, 4}, {Phy, imp, 3}, ___, ___, {Eor, abx, 4}, {LsrMemory, abx, 7}, ___,
    // 6x
    {Rts, imp, 6}, {Adc, izx, 6}, ___, ___, {Stz, zp, 3}, {Adc, zp, 3}, {RorMemory, zp, 5}, ___,
    {Pla, imp, 4}, {Adc, imm, 3}, {RorA, imp, 2}, ___, {Jmp, ind, 5}, {Adc, abs, 4}, {RorMemory, abs, 6}, ___,
    // 7x
    {Bvs, rel, 2}, {Adc, izy, 5}, {Adc, izp, 3}, ___, {Stz, zpx, 4}, {Adc, zpx, 4}, {RorMemory, zpx, 6}, ___,
    {Sei, imp, 2}, {Adc, aby, 4}, {Ply, imp, 4}, ___, {Jmp, iax, 6}, {Adc, abx, 4}, {RorMemory, abx, 7}, ___,
    // 8x
    {Bra, rel, 2}, {Sta, izx, 6}, ___, ___, {Sty, zp, 2}, {Sta, zp, 2}, {Stx, zp, 2}, ___,
    {Dey, imp, 2}, {Bit, imm, 2}, {Txa, imp, 2}, ___, {Sty, abs, 4}, {Sta, abs, 4}, {Stx, abs, 4}, ___,
    // 9x
    {Bcc, rel, 2}, {Sta, izy, 6}, {Sta, izp, 3}, ___, {Sty, zpx, 4}, {Sta, zpx, 4}, {Stx, zpy, 4}, ___,
    {Tya, imp, 2}, {Sta, aby, 5}, {Txs, imp, 2}, ___, {Stz, abs, 4}, {Sta, abx, 5}, {Stz, abx, 5}, ___,
    // Ax
    {Ldy, imm, 3}, {Lda, izx, 6}, {Ldx, imm, 3}, ___, {Ldy, zp, 3}, {Lda, zp, 3}, {Ldx, zp, 3}, ___,
    {Tay, imp, 2}, {Lda, imm, 3}, {Tax, imp, 2}, ___, {Ldy, abs, 4}, {Lda, abs, 4}, {Ldx, abs, 4}, ___,
    // Bx
    {Bcs, rel, 2}, {Lda, izy, 5}, {Lda, izp, 3}, ___, {Ldy, zpx, 4}, {Lda, zpx, 4}, {Ldx, zpy, 4}, ___,
    {Clv, imp, 2}, {Lda, aby, 4}, {Tsx, imp, 2}, ___, {Ldy, abx, 4}, {Lda, abx, 4}, {Ldx, aby, 4}, ___,
    // Cx
    {Cpy, imm, 3}, {Cmp, izx, 6}, ___, ___, {Cpy, zp, 3}, {Cmp, zp, 3}, {DecMemory, zp, 5}, ___,
    {Iny, imp, 2}, {Cmp, imm, 3}, {Dex, imp, 2}, ___, {Cpy, abs, 4}, {Cmp, abs, 4}, {DecMemory, abs, 6}, ___,
    // Dx
    {Bne, rel, 2}, {Cmp, izy, 5}, {Cmp, izp, 3}, ___, ___, {Cmp, zpx, 4}, {DecMemory, zpx, 6}, ___,
    {Cld, imp, 2}, {Cmp, aby, 4}, {Phx, imp, 3}, ___, ___, {Cmp, abx, 4}, {DecMemory, abx, 7}, ___,
    // Ex
    {Cpx, imm, 3}, {Sbc, izx, 6}, ___, ___, {Cpx, zp, 3}, {Sbc, zp, 3}, {IncMemory, zp, 5}, ___,
    {Inx, imp, 2}, {Sbc, imm, 3}, {Nop, imp, 2}, ___, {Cpx, abs, 4}, {Sbc, abs, 4}, {IncMemory, abs, 6}, ___,
    // Fx
    {Beq, rel, 2}, {Sbc, izy, 5}, {Sbc, izp, 3}, ___, ___, {Sbc, zpx, 4}, {IncMemory, zpx, 6}, ___,
    {Sed, imp, 2}, {Sbc, aby, 4}, {Plx, imp, 4}, ___, ___, {Sbc, abx, 4}, {IncMemory, abx, 7}, ___,
}};

constexpr OpcodeTable columns()
{
    OpcodeTable table{};
    for (uint32_t i = 0; i < 256; ++i) {
        table.baseCycles[i] = grid[i].cycles;
        table.instructionId[i] = static_cast<uint32_t>(grid[i].op);
        table.addressingMode[i] = static_cast<uint32_t>(grid[i].mode);
    }
    return table;
}

}  // namespace opcode_grid

// The ids keep the numbering of the chart's instruction and mode lists.
static_assert(static_cast<uint32_t>(Op::Tsb) == 3 && static_cast<uint32_t>(Op::Trb) == 8 &&
              static_cast<uint32_t>(Op::Stz) == 31 && static_cast<uint32_t>(Op::Plx) == 69);
static_assert(static_cast<uint32_t>(Mode::Relative) == 5 && static_cast<uint32_t>(Mode::ZeroPageY) == 13);

// The three opcode columns, fixed at compile time.
inline constexpr OpcodeTable opcodeTable = opcode_grid::columns();

// Prepares the CPU for its first instruction (the table itself is compile-time data), then resets it.
void initOpcodeTable();
