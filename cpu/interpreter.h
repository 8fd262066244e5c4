// The instruction step, operand resolution and the run loop. Every piece is forced inline, so a
// run loop holds the whole step with its operand decoding and bus fast paths: no call is made per
// instruction except to the devices and the APU's full tick. The step branches once, on the
// opcode byte; each opcode's case is made from its cell of the opcode chart at compile time, so
// its addressing mode, base cycles and page-crossing rule are constants there.
#pragma once

#include <array>
#include <cstdint>
#include <utility>

#include "apu/channels.h"
#include "bus/cpu_bus.h"
#include "cpu/cpu_state.h"
#include "cpu/opcode_table.h"

// Small pieces the instruction cases are built from.
namespace cpu_step {

// An instruction's cycles go into both counters as they are charged.
[[gnu::always_inline]] inline void addCycles(uint32_t cycles)
{
    cpu.cycleCounter += static_cast<int32_t>(cycles);
    cpu.totalCycles += cycles;
}

[[gnu::always_inline]] inline uint32_t fetchByte()
{
    const uint32_t value = cpuFetch(cpu.pc);
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

// The pointer at zero-page address `pointer`; its high byte comes from the next zero-page byte, so a
// pointer at 0xFF takes it from 0x00.
[[gnu::always_inline]] inline uint32_t readZeroPageWord(uint32_t pointer)
{
    const uint32_t low = cpuRead(pointer);
    return low | (cpuRead((pointer + 1) & 0xFF) << 8);
}

// base + index; the page crossing costs a cycle only for the opcodes whose base cycles equal `crossingKey`.
template <uint32_t Opcode>
[[gnu::always_inline]] inline void indexAddress(uint32_t base, uint32_t index, uint32_t crossingKey)
{
    const uint32_t address = base + index;
    if (opcodeTable.baseCycles[Opcode] == crossingKey && (base >> 8) != (address >> 8))
        addCycles(1);
    cpu.operandAddress = address & 0xFFFF;
}

}  // namespace cpu_step

// Consumes the operand bytes of `Opcode` at pc and leaves the effective address in operandAddress
// (the sign-extended offset for relative mode). Reads only operand and pointer bytes, never the operand.
template <uint32_t Opcode>
[[gnu::always_inline]] inline void resolveOperand()
{
    using namespace cpu_step;
    constexpr auto mode = static_cast<Mode>(opcodeTable.addressingMode[Opcode]);
    switch (mode) {
    case Mode::Implied:
        break;
    case Mode::ZeroPageIndexedIndirect:
        cpu.operandAddress = readZeroPageWord((fetchByte() + cpu.x) & 0xFF);
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
        indexAddress<Opcode>(readZeroPageWord(fetchByte()), cpu.y, 5);
        break;
    case Mode::ZeroPageIndirect:
        cpu.operandAddress = readZeroPageWord(fetchByte());
        break;
    case Mode::ZeroPageX:
        cpu.operandAddress = (fetchByte() + cpu.x) & 0xFF;
        break;
    case Mode::AbsoluteY:
        indexAddress<Opcode>(fetchWord(), cpu.y, 4);
        break;
    case Mode::AbsoluteX:
        indexAddress<Opcode>(fetchWord(), cpu.x, 4);
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

// Z and N of each byte value.
inline constexpr std::array<uint8_t, 256> ZeroNegativeFlags = [] {
    std::array<uint8_t, 256> table{};
    for (uint32_t value = 0; value < 256; ++value)
        table[value] = static_cast<uint8_t>((value == 0 ? FlagZ : 0) | (value & FlagN));
    return table;
}();

[[gnu::always_inline]] inline void setZeroNegative(uint32_t value)
{
    cpu.p = (cpu.p & ~(FlagZ | FlagN)) | ZeroNegativeFlags[value];
}

// m: resolves the operand and reads it.
template <uint32_t Opcode>
[[gnu::always_inline]] inline uint32_t readOperand()
{
    resolveOperand<Opcode>();
    if constexpr (opcodeTable.addressingMode[Opcode] == static_cast<uint8_t>(Mode::Immediate))
        return cpuFetch(cpu.operandAddress);
    return cpuRead(cpu.operandAddress);
}

template <uint32_t Opcode>
[[gnu::always_inline]] inline void load(uint32_t& reg)
{
    reg = readOperand<Opcode>();
    setZeroNegative(reg);
}

template <uint32_t Opcode>
[[gnu::always_inline]] inline void store(uint32_t value)
{
    resolveOperand<Opcode>();
    cpuWrite(cpu.operandAddress, static_cast<uint8_t>(value));
}

[[gnu::always_inline]] inline void transfer(uint32_t& to, uint32_t value)
{
    to = value;
    setZeroNegative(to);
}

template <uint32_t Opcode>
[[gnu::always_inline]] inline void compare(uint32_t reg)
{
    const uint32_t t = reg + 0x100 - readOperand<Opcode>();
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
        addCycles(1);
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
template <uint32_t Opcode>
[[gnu::always_inline]] inline void stepMemory(uint32_t delta)
{
    const uint32_t value = readOperand<Opcode>();
    cpuWrite(cpu.operandAddress, static_cast<uint8_t>(value + delta));
    setZeroNegative(cpuRead(cpu.operandAddress));
}

template <uint32_t Opcode>
[[gnu::always_inline]] inline void branch(bool taken)
{
    if (taken) {
        resolveOperand<Opcode>();
        cpu.pc = (cpu.pc + cpu.operandAddress) & 0xFFFF;
        addCycles(1);
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
template <uint32_t Opcode>
[[gnu::always_inline]] inline void testAndChangeBits(bool set)
{
    const uint32_t m = readOperand<Opcode>();
    setFlag(FlagZ, (cpu.a & m) == 0);
    cpuWrite(cpu.operandAddress, static_cast<uint8_t>(set ? (m | cpu.a) : (m & ~cpu.a)));
}

}  // namespace cpu_step

// The instruction of opcode byte `Opcode`, after the opcode fetch: its base cycles go into
// cycleCounter, then its operand is resolved and the instruction runs.
template <uint32_t Opcode>
[[gnu::always_inline]] inline void executeOpcode()
{
    using namespace cpu_step;
    constexpr auto op = static_cast<Op>(opcodeTable.instructionId[Opcode]);
    addCycles(opcodeTable.baseCycles[Opcode]);

    // Loads, stores and transfers.
    if constexpr (op == Op::Lda) load<Opcode>(cpu.a);
    else if constexpr (op == Op::Ldx) load<Opcode>(cpu.x);
    else if constexpr (op == Op::Ldy) load<Opcode>(cpu.y);
    else if constexpr (op == Op::Sta) store<Opcode>(cpu.a);
    else if constexpr (op == Op::Stx) store<Opcode>(cpu.x);
    else if constexpr (op == Op::Sty) store<Opcode>(cpu.y);
    else if constexpr (op == Op::Stz) store<Opcode>(0);
    else if constexpr (op == Op::Tax) transfer(cpu.x, cpu.a);
    else if constexpr (op == Op::Tay) transfer(cpu.y, cpu.a);
    else if constexpr (op == Op::Txa) transfer(cpu.a, cpu.x);
    else if constexpr (op == Op::Tya) transfer(cpu.a, cpu.y);
    else if constexpr (op == Op::Tsx) transfer(cpu.x, cpu.s);
    else if constexpr (op == Op::Txs) cpu.s = static_cast<uint8_t>(cpu.x);

    // Logic, arithmetic and compares.
    else if constexpr (op == Op::Ora) transfer(cpu.a, cpu.a | readOperand<Opcode>());
    else if constexpr (op == Op::And) transfer(cpu.a, cpu.a & readOperand<Opcode>());
    else if constexpr (op == Op::Eor) transfer(cpu.a, cpu.a ^ readOperand<Opcode>());
    else if constexpr (op == Op::Bit) bitTest(readOperand<Opcode>());
    else if constexpr (op == Op::Tsb) testAndChangeBits<Opcode>(true);
    else if constexpr (op == Op::Trb) testAndChangeBits<Opcode>(false);
    else if constexpr (op == Op::Adc) addWithCarry(readOperand<Opcode>(), false);
    else if constexpr (op == Op::Sbc) addWithCarry(readOperand<Opcode>() ^ 0xFF, true);
    else if constexpr (op == Op::Cmp) compare<Opcode>(cpu.a);
    else if constexpr (op == Op::Cpx) compare<Opcode>(cpu.x);
    else if constexpr (op == Op::Cpy) compare<Opcode>(cpu.y);

    // Increments, decrements, shifts and rotates.
    else if constexpr (op == Op::Inx) transfer(cpu.x, (cpu.x + 1) & 0xFF);
    else if constexpr (op == Op::Iny) transfer(cpu.y, (cpu.y + 1) & 0xFF);
    else if constexpr (op == Op::IncA) transfer(cpu.a, (cpu.a + 1) & 0xFF);
    else if constexpr (op == Op::Dex) transfer(cpu.x, (cpu.x - 1) & 0xFF);
    else if constexpr (op == Op::Dey) transfer(cpu.y, (cpu.y - 1) & 0xFF);
    else if constexpr (op == Op::DecA) transfer(cpu.a, (cpu.a - 1) & 0xFF);
    else if constexpr (op == Op::IncMemory) stepMemory<Opcode>(1);
    else if constexpr (op == Op::DecMemory) stepMemory<Opcode>(0xFF);
    else if constexpr (op == Op::AslA) transfer(cpu.a, shiftLeft(cpu.a, 0));
    else if constexpr (op == Op::LsrA) transfer(cpu.a, shiftRight(cpu.a, 0));
    else if constexpr (op == Op::RolA) transfer(cpu.a, shiftLeft(cpu.a, carryBit()));
    else if constexpr (op == Op::RorA) transfer(cpu.a, shiftRight(cpu.a, carryBit()));
    else if constexpr (op == Op::AslMemory) writeBack(shiftLeft(readOperand<Opcode>(), 0));
    else if constexpr (op == Op::LsrMemory) writeBack(shiftRight(readOperand<Opcode>(), 0));
    else if constexpr (op == Op::RolMemory) {
        const uint32_t carry = carryBit();
        writeBack(shiftLeft(readOperand<Opcode>(), carry));
    } else if constexpr (op == Op::RorMemory) {
        const uint32_t carry = carryBit();
        writeBack(shiftRight(readOperand<Opcode>(), carry));
    }

    // Branches: the condition is tested before the offset byte is consumed.
    else if constexpr (op == Op::Bpl) branch<Opcode>(!flagSet(FlagN));
    else if constexpr (op == Op::Bmi) branch<Opcode>(flagSet(FlagN));
    else if constexpr (op == Op::Bvc) branch<Opcode>(!flagSet(FlagV));
    else if constexpr (op == Op::Bvs) branch<Opcode>(flagSet(FlagV));
    else if constexpr (op == Op::Bcc) branch<Opcode>(!flagSet(FlagC));
    else if constexpr (op == Op::Bcs) branch<Opcode>(flagSet(FlagC));
    else if constexpr (op == Op::Bne) branch<Opcode>(!flagSet(FlagZ));
    else if constexpr (op == Op::Beq) branch<Opcode>(flagSet(FlagZ));
    else if constexpr (op == Op::Bra) branch<Opcode>(true);

    // Jumps, subroutines and the software interrupt.
    else if constexpr (op == Op::Jmp) {
        resolveOperand<Opcode>();
        cpu.pc = cpu.operandAddress;
    } else if constexpr (op == Op::Jsr) {
        // Pushes the address of the JSR's last byte.
        pushWord((cpu.pc + 1) & 0xFFFF);
        resolveOperand<Opcode>();
        cpu.pc = cpu.operandAddress;
    } else if constexpr (op == Op::Rts) cpu.pc = (pullWord() + 1) & 0xFFFF;
    else if constexpr (op == Op::Rti) {
        cpu.p = pull() | FlagUnused;
        cpu.pc = pullWord();
    } else if constexpr (op == Op::Brk) {
        cpu.pc = (cpu.pc + 1) & 0xFFFF;
        pushWord(cpu.pc);
        push(cpu.p);
        cpu.p |= FlagB | FlagI;
        cpu.pc = readWord(0xFFFE);
    }

    // Stack and flags.
    else if constexpr (op == Op::Pha) push(cpu.a);
    else if constexpr (op == Op::Phx) push(cpu.x);
    else if constexpr (op == Op::Phy) push(cpu.y);
    else if constexpr (op == Op::Php) push(cpu.p);
    else if constexpr (op == Op::Pla) transfer(cpu.a, pull());
    else if constexpr (op == Op::Plx) transfer(cpu.x, pull());
    else if constexpr (op == Op::Ply) transfer(cpu.y, pull());
    else if constexpr (op == Op::Plp) cpu.p = pull() | FlagUnused;
    else if constexpr (op == Op::Clc) setFlag(FlagC, false);
    else if constexpr (op == Op::Sec) setFlag(FlagC, true);
    else if constexpr (op == Op::Cli) setFlag(FlagI, false);
    else if constexpr (op == Op::Sei) setFlag(FlagI, true);
    else if constexpr (op == Op::Clv) setFlag(FlagV, false);
    else if constexpr (op == Op::Cld) setFlag(FlagD, false);
    else if constexpr (op == Op::Sed) setFlag(FlagD, true);
    else
        static_assert(op == Op::Nop, "every instruction has its case");
}

// Runs `body.template operator()<O>()` for O = `opcode`: one comparison per opcode value, which
// the compiler turns into a single jump through a table. Bodies are function objects whose
// operator() is forced inline, so the case lands in the caller.
template <typename Body, uint32_t... Opcodes>
[[gnu::always_inline]] inline void forOpcode(uint32_t opcode, Body body, std::integer_sequence<uint32_t, Opcodes...>)
{
    (void)((opcode == Opcodes ? (body.template operator()<Opcodes>(), true) : false) || ...);
}

template <typename Body>
[[gnu::always_inline]] inline void forOpcode(uint32_t opcode, Body body)
{
    forOpcode(opcode, body, std::make_integer_sequence<uint32_t, 256>{});
}

struct ResolveOperand {
    template <uint32_t Opcode>
    [[gnu::always_inline]] void operator()() const { resolveOperand<Opcode>(); }
};

struct ExecuteOpcode {
    template <uint32_t Opcode>
    [[gnu::always_inline]] void operator()() const { executeOpcode<Opcode>(); }
};

// The operand resolution of a given opcode byte (resolveOperand<Opcode> with Opcode known only at run time).
inline void resolveOperand(uint32_t opcode) { forOpcode(opcode, ResolveOperand{}); }

// Executes one instruction; its cycles go into cycleCounter and totalCycles, then the APU ticks.
[[gnu::always_inline]] inline void stepInstruction()
{
    const uint32_t opcode = cpu_step::fetchByte();
    cpu.opcode = static_cast<uint8_t>(opcode);
    forOpcode(opcode, ExecuteOpcode{});
    apuTickWhenDue();
}

// Executes instructions while cycleCounter <= budget (signed); the overshoot stays in cycleCounter.
// `beforeStep` and `afterStep` run around each instruction (the pixel-mode line uses them). The
// APU is looked at only when its next event is due: whatever changes it from outside (a register
// write, a reset, a loaded state) brings that moment back to the present.
template <typename BeforeStep, typename AfterStep>
[[gnu::always_inline]] inline void runCpuUntil(int32_t budget, BeforeStep beforeStep, AfterStep afterStep)
{
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
