// The instruction step, operand resolution and the run loop. Every piece is forced inline, so a
// run loop holds the whole step with its operand decoding and bus fast paths: no call is made per
// instruction except to the devices and the APU's full tick.
#pragma once

#include <cstdint>

#include "apu/channels.h"
#include "bus/cpu_bus.h"
#include "cpu/cpu_state.h"
#include "cpu/opcode_table.h"

// Small pieces the instruction cases are built from.
namespace cpu_step {

[[gnu::always_inline]] inline uint32_t fetchByte()
{
    const uint32_t value = cpuRead(cpu.pc);
    cpu.pc = (cpu.pc + 1) & 0xFFFF;
    return value;
}

[[gnu::always_inline]] inline uint32_t fetchWord()
{
    const uint32_t low = fetchByte();
    return low | (fetchByte() << 8);
}

// The word at `address`; the high byte comes from address + 1 as a plain sum (no wrap within a page).
[[gnu::always_inline]] inline uint32_t readWord(uint32_t address)
{
    const uint32_t low = cpuRead(address);
    return low | (cpuRead(address + 1) << 8);
}

// base + index; the page crossing costs a cycle only for the opcodes whose base cycles equal `crossingKey`.
[[gnu::always_inline]] inline void indexAddress(uint32_t base, uint32_t index, uint32_t crossingKey, uint8_t opcode)
{
    const uint32_t address = base + index;
    if (opcodeTable.baseCycles[opcode] == crossingKey && (base >> 8) != (address >> 8))
        ++cpu.cycleCounter;
    cpu.operandAddress = address & 0xFFFF;
}

}  // namespace cpu_step

// Consumes the operand bytes of `opcode` at pc and leaves the effective address in operandAddress
// (the sign-extended offset for relative mode). Reads only operand and pointer bytes, never the operand.
[[gnu::always_inline]] inline void resolveOperand(uint8_t opcode)
{
    using namespace cpu_step;
    switch (static_cast<Mode>(opcodeTable.addressingMode[opcode])) {
    case Mode::Implied:
        break;
    case Mode::ZeroPageIndexedIndirect:
        cpu.operandAddress = readWord((fetchByte() + cpu.x) & 0xFF);
        break;
    case Mode::ZeroPage:
        cpu.operandAddress = fetchByte();
        break;
    case Mode::Immediate:
        cpu.operandAddress = cpu.pc;
        cpu.pc = (cpu.pc + 1) & 0xFFFF;
        break;
    case Mode::Absolute:
        cpu.operandAddress = fetchWord();
        break;
    case Mode::Relative:
        cpu.operandAddress = static_cast<uint32_t>(static_cast<int8_t>(fetchByte()));
        break;
    case Mode::ZeroPageIndirectIndexed:
        indexAddress(readWord(fetchByte()), cpu.y, 5, opcode);
        break;
    case Mode::ZeroPageIndirect:
        cpu.operandAddress = readWord(fetchByte());
        break;
    case Mode::ZeroPageX:
        cpu.operandAddress = (fetchByte() + cpu.x) & 0xFF;
        break;
    case Mode::AbsoluteY:
        indexAddress(fetchWord(), cpu.y, 4, opcode);
        break;
    case Mode::AbsoluteX:
        indexAddress(fetchWord(), cpu.x, 4, opcode);
        break;
    case Mode::AbsoluteIndirect:
        cpu.operandAddress = readWord(fetchWord());
        break;
    case Mode::AbsoluteIndexedIndirect:
        // Only JMP uses this mode, and it replaces pc, so pc is left on the operand.
        cpu.operandAddress = readWord(readWord(cpu.pc) + cpu.x);
        break;
    case Mode::ZeroPageY:
        cpu.operandAddress = (fetchByte() + cpu.y) & 0xFF;
        break;
    }
}

namespace cpu_step {

[[gnu::always_inline]] inline bool flagSet(uint32_t flag) { return (cpu.p & flag) != 0; }

[[gnu::always_inline]] inline void setFlag(uint32_t flag, bool on) { cpu.p = on ? (cpu.p | flag) : (cpu.p & ~flag); }

[[gnu::always_inline]] inline void setZeroNegative(uint32_t value)
{
    cpu.p = (cpu.p & ~(FlagZ | FlagN)) | (value == 0 ? FlagZ : 0) | (value & FlagN);
}

// m: resolves the operand and reads it.
[[gnu::always_inline]] inline uint32_t readOperand()
{
    resolveOperand(cpu.opcode);
    return cpuRead(cpu.operandAddress);
}

[[gnu::always_inline]] inline void load(uint32_t& reg)
{
    reg = readOperand();
    setZeroNegative(reg);
}

[[gnu::always_inline]] inline void store(uint32_t value)
{
    resolveOperand(cpu.opcode);
    cpuWrite(cpu.operandAddress, static_cast<uint8_t>(value));
}

[[gnu::always_inline]] inline void transfer(uint32_t& to, uint32_t value)
{
    to = value;
    setZeroNegative(to);
}

[[gnu::always_inline]] inline void compare(uint32_t reg)
{
    const uint32_t t = reg + 0x100 - readOperand();
    setFlag(FlagC, t > 0xFF);
    setZeroNegative(t & 0xFF);
}

[[gnu::always_inline]] inline void bitTest(uint32_t m)
{
    cpu.p = (cpu.p & 0x3F) | (m & 0xC0);
    setFlag(FlagZ, (cpu.a & m) == 0);
}

// ADC of m, or SBC when m comes complemented and `subtract` is set. With D set the result gets
// the decimal adjustment; with D clear the instruction takes one more cycle.
[[gnu::always_inline]] inline void addWithCarry(uint32_t m, bool subtract)
{
    const uint32_t sum = cpu.a + m + (cpu.p & FlagC);
    setFlag(FlagV, ((cpu.a ^ sum) & (m ^ sum) & 0x80) != 0);
    setFlag(FlagC, sum > 0xFF);
    uint32_t a = sum & 0xFF;
    if (flagSet(FlagD)) {
        if (subtract)
            a = (a - 0x66) & 0xFF;
        setFlag(FlagC, false);
        if ((a & 0x0F) > 9)
            a = (a + 6) & 0xFF;
        if ((a & 0xF0) > 0x90) {
            a = (a + 0x60) & 0xFF;
            setFlag(FlagC, true);
        }
    } else {
        ++cpu.cycleCounter;
    }
    transfer(cpu.a, a);
}

// Shifts and rotates: set C from the bit shifted out and return the 8-bit result.
[[gnu::always_inline]] inline uint32_t shiftLeft(uint32_t v, uint32_t carryIn)
{
    setFlag(FlagC, (v & 0x80) != 0);
    return ((v << 1) & 0xFF) | carryIn;
}

[[gnu::always_inline]] inline uint32_t shiftRight(uint32_t v, uint32_t carryIn)
{
    setFlag(FlagC, (v & 0x01) != 0);
    return (v >> 1) | (carryIn << 7);
}

[[gnu::always_inline]] inline uint32_t carryBit() { return cpu.p & FlagC; }

// The read-modify-write forms: one write of the new value, flags from the value computed.
[[gnu::always_inline]] inline void writeBack(uint32_t value)
{
    cpuWrite(cpu.operandAddress, static_cast<uint8_t>(value));
    setZeroNegative(value);
}

// INC and DEC memory take their flags from a second read of the address.
[[gnu::always_inline]] inline void stepMemory(uint32_t delta)
{
    const uint32_t value = readOperand();
    cpuWrite(cpu.operandAddress, static_cast<uint8_t>(value + delta));
    setZeroNegative(cpuRead(cpu.operandAddress));
}

[[gnu::always_inline]] inline void branch(bool taken)
{
    if (taken) {
        resolveOperand(cpu.opcode);
        cpu.pc = (cpu.pc + cpu.operandAddress) & 0xFFFF;
        ++cpu.cycleCounter;
    } else {
        cpu.pc = (cpu.pc + 1) & 0xFFFF;
    }
}

[[gnu::always_inline]] inline void push(uint32_t value)
{
    cpuWrite(0x0100 + cpu.s, static_cast<uint8_t>(value));
    --cpu.s;
}

[[gnu::always_inline]] inline uint32_t pull()
{
    ++cpu.s;
    return cpuRead(0x0100 + cpu.s);
}

[[gnu::always_inline]] inline void pushWord(uint32_t value)
{
    push(value >> 8);
    push(value & 0xFF);
}

[[gnu::always_inline]] inline uint32_t pullWord()
{
    const uint32_t low = pull();
    return low | (pull() << 8);
}

// TSB and TRB: Z from a AND m, then m with the bits of a set or cleared.
[[gnu::always_inline]] inline void testAndChangeBits(bool set)
{
    const uint32_t m = readOperand();
    setFlag(FlagZ, (cpu.a & m) == 0);
    cpuWrite(cpu.operandAddress, static_cast<uint8_t>(set ? (m | cpu.a) : (m & ~cpu.a)));
}

}  // namespace cpu_step

// Executes one instruction; its cycles go into cycleCounter and totalCycles, then the APU ticks.
[[gnu::always_inline]] inline void stepInstruction()
{
    using namespace cpu_step;
    cpu.opcode = static_cast<uint8_t>(fetchByte());
    const int32_t startCycles = cpu.cycleCounter;
    cpu.cycleCounter += static_cast<int32_t>(opcodeTable.baseCycles[cpu.opcode]);

    switch (static_cast<Op>(opcodeTable.instructionId[cpu.opcode])) {
    // Loads, stores and transfers.
    case Op::Lda: load(cpu.a); break;
    case Op::Ldx: load(cpu.x); break;
    case Op::Ldy: load(cpu.y); break;
    case Op::Sta: store(cpu.a); break;
    case Op::Stx: store(cpu.x); break;
    case Op::Sty: store(cpu.y); break;
    case Op::Stz: store(0); break;
    case Op::Tax: transfer(cpu.x, cpu.a); break;
    case Op::Tay: transfer(cpu.y, cpu.a); break;
    case Op::Txa: transfer(cpu.a, cpu.x); break;
    case Op::Tya: transfer(cpu.a, cpu.y); break;
    case Op::Tsx: transfer(cpu.x, cpu.s); break;
    case Op::Txs: cpu.s = static_cast<uint8_t>(cpu.x); break;

    // Logic, arithmetic and compares.
    case Op::Ora: transfer(cpu.a, cpu.a | readOperand()); break;
    case Op::And: transfer(cpu.a, cpu.a & readOperand()); break;
    case Op::Eor: transfer(cpu.a, cpu.a ^ readOperand()); break;
    case Op::Bit: bitTest(readOperand()); break;
    case Op::Tsb: testAndChangeBits(true); break;
    case Op::Trb: testAndChangeBits(false); break;
    case Op::Adc: addWithCarry(readOperand(), false); break;
    case Op::Sbc: addWithCarry(readOperand() ^ 0xFF, true); break;
    case Op::Cmp: compare(cpu.a); break;
    case Op::Cpx: compare(cpu.x); break;
    case Op::Cpy: compare(cpu.y); break;

    // Increments, decrements, shifts and rotates.
    case Op::Inx: transfer(cpu.x, (cpu.x + 1) & 0xFF); break;
    case Op::Iny: transfer(cpu.y, (cpu.y + 1) & 0xFF); break;
    case Op::IncA: transfer(cpu.a, (cpu.a + 1) & 0xFF); break;
    case Op::Dex: transfer(cpu.x, (cpu.x - 1) & 0xFF); break;
    case Op::Dey: transfer(cpu.y, (cpu.y - 1) & 0xFF); break;
    case Op::DecA: transfer(cpu.a, (cpu.a - 1) & 0xFF); break;
    case Op::IncMemory: stepMemory(1); break;
    case Op::DecMemory: stepMemory(0xFF); break;
    case Op::AslA: transfer(cpu.a, shiftLeft(cpu.a, 0)); break;
    case Op::LsrA: transfer(cpu.a, shiftRight(cpu.a, 0)); break;
    case Op::RolA: transfer(cpu.a, shiftLeft(cpu.a, carryBit())); break;
    case Op::RorA: transfer(cpu.a, shiftRight(cpu.a, carryBit())); break;
    case Op::AslMemory: writeBack(shiftLeft(readOperand(), 0)); break;
    case Op::LsrMemory: writeBack(shiftRight(readOperand(), 0)); break;
    case Op::RolMemory: {
        const uint32_t carry = carryBit();
        writeBack(shiftLeft(readOperand(), carry));
        break;
    }
    case Op::RorMemory: {
        const uint32_t carry = carryBit();
        writeBack(shiftRight(readOperand(), carry));
        break;
    }

    // Branches: the condition is tested before the offset byte is consumed.
    case Op::Bpl: branch(!flagSet(FlagN)); break;
    case Op::Bmi: branch(flagSet(FlagN)); break;
    case Op::Bvc: branch(!flagSet(FlagV)); break;
    case Op::Bvs: branch(flagSet(FlagV)); break;
    case Op::Bcc: branch(!flagSet(FlagC)); break;
    case Op::Bcs: branch(flagSet(FlagC)); break;
    case Op::Bne: branch(!flagSet(FlagZ)); break;
    case Op::Beq: branch(flagSet(FlagZ)); break;
    case Op::Bra: branch(true); break;

    // Jumps, subroutines and the software interrupt.
    case Op::Jmp:
        resolveOperand(cpu.opcode);
        cpu.pc = cpu.operandAddress;
        break;
    case Op::Jsr:
        // Pushes the address of the JSR's last byte.
        pushWord((cpu.pc + 1) & 0xFFFF);
        resolveOperand(cpu.opcode);
        cpu.pc = cpu.operandAddress;
        break;
    case Op::Rts: cpu.pc = (pullWord() + 1) & 0xFFFF; break;
    case Op::Rti:
        cpu.p = pull() | FlagUnused;
        cpu.pc = pullWord();
        break;
    case Op::Brk:
        cpu.pc = (cpu.pc + 1) & 0xFFFF;
        pushWord(cpu.pc);
        push(cpu.p);
        cpu.p |= FlagB | FlagI;
        cpu.pc = readWord(0xFFFE);
        break;

    // Stack and flags.
    case Op::Pha: push(cpu.a); break;
    case Op::Phx: push(cpu.x); break;
    case Op::Phy: push(cpu.y); break;
    case Op::Php: push(cpu.p); break;
    case Op::Pla: transfer(cpu.a, pull()); break;
    case Op::Plx: transfer(cpu.x, pull()); break;
    case Op::Ply: transfer(cpu.y, pull()); break;
    case Op::Plp: cpu.p = pull() | FlagUnused; break;
    case Op::Clc: setFlag(FlagC, false); break;
    case Op::Sec: setFlag(FlagC, true); break;
    case Op::Cli: setFlag(FlagI, false); break;
    case Op::Sei: setFlag(FlagI, true); break;
    case Op::Clv: setFlag(FlagV, false); break;
    case Op::Cld: setFlag(FlagD, false); break;
    case Op::Sed: setFlag(FlagD, true); break;
    case Op::Nop: break;
    }

    cpu.totalCycles += static_cast<uint32_t>(cpu.cycleCounter - startCycles);
    apuTickWhenDue();
}

// Executes instructions while cycleCounter <= budget (signed); the overshoot stays in cycleCounter.
// `beforeStep` and `afterStep` run around each instruction (the pixel-mode line uses them).
template <typename BeforeStep, typename AfterStep>
[[gnu::always_inline]] inline void runCpuUntil(int32_t budget, BeforeStep beforeStep, AfterStep afterStep)
{
    wakeApu();  // the APU may have been changed since the last run
    while (cpu.cycleCounter <= budget) {
        beforeStep();
        stepInstruction();
        afterStep();
    }
}

[[gnu::always_inline]] inline void runCpuUntil(int32_t budget)
{
    runCpuUntil(budget, [] {}, [] {});
}
