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

constexpr Cell cell(Op op, Mode mode, uint32_t cycles) { return {op, mode, cycles}; }

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
constexpr std::array<Cell, 256> grid = {
    // 0x
    cell(Brk, imp, 7), cell(Ora, izx, 6), ___, ___, cell(Tsb, zp, 3), cell(Ora, zp, 3), cell(AslMemory, zp, 5), ___,
    cell(Php, imp, 3), cell(Ora, imm, 3), cell(AslA, imp, 2), ___, cell(Tsb, abs, 4), cell(Ora, abs, 4), cell(AslMemory, abs, 6), ___,
    // 1x
    cell(Bpl, rel, 2), cell(Ora, izy, 5), cell(Ora, izp, 3), ___, cell(Trb, zp, 3), cell(Ora, zpx, 4), cell(AslMemory, zpx, 6), ___,
    cell(Clc, imp, 2), cell(Ora, aby, 4), cell(IncA, imp, 2), ___, cell(Trb, abs, 4), cell(Ora, abx, 4), cell(AslMemory, abx, 7), ___,
    // 2x
    cell(Jsr, abs, 6), cell(And, izx, 6), ___, ___, cell(Bit, zp, 3), cell(And, zp, 3), cell(RolMemory, zp, 5), ___,
    cell(Plp, imp, 4), cell(And, imm, 3), cell(RolA, imp, 2), ___, cell(Bit, abs, 4), cell(And, abs, 4), cell(RolMemory, abs, 6), ___,
    // 3x
    cell(Bmi, rel, 2), cell(And, izy, 5), cell(And, izp, 3), ___, cell(Bit, zpx, 4), cell(And, zpx, 4), cell(RolMemory, zpx, 6), ___,
    cell(Sec, imp, 2), cell(And, aby, 4), cell(DecA, imp, 2), ___, cell(Bit, abx, 4), cell(And, abx, 4), cell(RolMemory, abx, 7), ___,
    // 4x
    cell(Rti, imp, 6), cell(Eor, izx, 6), ___, ___, ___, cell(Eor, zp, 3), cell(LsrMemory, zp, 5), ___,
    cell(Pha, imp, 3), cell(Eor, imm, 3), cell(LsrA, imp, 2), ___, cell(Jmp, abs, 3), cell(Eor, abs, 4), cell(LsrMemory, abs, 6), ___,
    // 5x
    cell(Bvc, rel, 2), cell(Eor, izy, 5), cell(Eor, izp, 3), ___, ___, cell(Eor, zpx, 4), cell(LsrMemory, zpx, 6), ___,
    cell(Cli, imp, 2), cell(Eor, aby, 4), cell(Phy, imp, 3), ___, ___, cell(Eor, abx, 4), cell(LsrMemory, abx, 7), ___,
    // 6x
    cell(Rts, imp, 6), cell(Adc, izx, 6), ___, ___, cell(Stz, zp, 3), cell(Adc, zp, 3), cell(RorMemory, zp, 5), ___,
    cell(Pla, imp, 4), cell(Adc, imm, 3), cell(RorA, imp, 2), ___, cell(Jmp, ind, 5), cell(Adc, abs, 4), cell(RorMemory, abs, 6), ___,
    // 7x
    cell(Bvs, rel, 2), cell(Adc, izy, 5), cell(Adc, izp, 3), ___, cell(Stz, zpx, 4), cell(Adc, zpx, 4), cell(RorMemory, zpx, 6), ___,
    cell(Sei, imp, 2), cell(Adc, aby, 4), cell(Ply, imp, 4), ___, cell(Jmp, iax, 6), cell(Adc, abx, 4), cell(RorMemory, abx, 7), ___,
    // 8x
    cell(Bra, rel, 2), cell(Sta, izx, 6), ___, ___, cell(Sty, zp, 2), cell(Sta, zp, 2), cell(Stx, zp, 2), ___,
    cell(Dey, imp, 2), cell(Bit, imm, 2), cell(Txa, imp, 2), ___, cell(Sty, abs, 4), cell(Sta, abs, 4), cell(Stx, abs, 4), ___,
    // 9x
    cell(Bcc, rel, 2), cell(Sta, izy, 6), cell(Sta, izp, 3), ___, cell(Sty, zpx, 4), cell(Sta, zpx, 4), cell(Stx, zpy, 4), ___,
    cell(Tya, imp, 2), cell(Sta, aby, 5), cell(Txs, imp, 2), ___, cell(Stz, abs, 4), cell(Sta, abx, 5), cell(Stz, abx, 5), ___,
    // Ax
    cell(Ldy, imm, 3), cell(Lda, izx, 6), cell(Ldx, imm, 3), ___, cell(Ldy, zp, 3), cell(Lda, zp, 3), cell(Ldx, zp, 3), ___,
    cell(Tay, imp, 2), cell(Lda, imm, 3), cell(Tax, imp, 2), ___, cell(Ldy, abs, 4), cell(Lda, abs, 4), cell(Ldx, abs, 4), ___,
    // Bx
    cell(Bcs, rel, 2), cell(Lda, izy, 5), cell(Lda, izp, 3), ___, cell(Ldy, zpx, 4), cell(Lda, zpx, 4), cell(Ldx, zpy, 4), ___,
    cell(Clv, imp, 2), cell(Lda, aby, 4), cell(Tsx, imp, 2), ___, cell(Ldy, abx, 4), cell(Lda, abx, 4), cell(Ldx, aby, 4), ___,
    // Cx
    cell(Cpy, imm, 3), cell(Cmp, izx, 6), ___, ___, cell(Cpy, zp, 3), cell(Cmp, zp, 3), cell(DecMemory, zp, 5), ___,
    cell(Iny, imp, 2), cell(Cmp, imm, 3), cell(Dex, imp, 2), ___, cell(Cpy, abs, 4), cell(Cmp, abs, 4), cell(DecMemory, abs, 6), ___,
    // Dx
    cell(Bne, rel, 2), cell(Cmp, izy, 5), cell(Cmp, izp, 3), ___, ___, cell(Cmp, zpx, 4), cell(DecMemory, zpx, 6), ___,
    cell(Cld, imp, 2), cell(Cmp, aby, 4), cell(Phx, imp, 3), ___, ___, cell(Cmp, abx, 4), cell(DecMemory, abx, 7), ___,
    // Ex
    cell(Cpx, imm, 3), cell(Sbc, izx, 6), ___, ___, cell(Cpx, zp, 3), cell(Sbc, zp, 3), cell(IncMemory, zp, 5), ___,
    cell(Inx, imp, 2), cell(Sbc, imm, 3), cell(Nop, imp, 2), ___, cell(Cpx, abs, 4), cell(Sbc, abs, 4), cell(IncMemory, abs, 6), ___,
    // Fx
    cell(Beq, rel, 2), cell(Sbc, izy, 5), cell(Sbc, izp, 3), ___, ___, cell(Sbc, zpx, 4), cell(IncMemory, zpx, 6), ___,
    cell(Sed, imp, 2), cell(Sbc, aby, 4), cell(Plx, imp, 4), ___, ___, cell(Sbc, abx, 4), cell(IncMemory, abx, 7), ___,
};

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

// The three opcode columns, fixed at compile time.
inline constexpr OpcodeTable opcodeTable = opcode_grid::columns();

// Prepares the CPU for its first instruction (the table itself is compile-time data), then resets it.
void initOpcodeTable();
