// Konami's VRC2 and VRC4 (mappers 21, 22, 23, 25), the VRC6 (24, 26), the VRC7 (85), and the IRQ
// counter they share.
// The chips take the register index (0-3) within each 4 KB group from two address pins, which the
// boards wire to different CPU address lines: the submapper names the wiring, and without one every
// line any board of the mapper number uses counts.
#include <algorithm>

#include "apu/channels.h"
#include "apu/expansion_sound.h"
#include "cart/board_families.h"
#include "cart/cycle_counter.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cpu/interrupts.h"
#include "state/state_io.h"

namespace {

// The CPU address lines on the chip's A0 and A1 pins.
struct Wiring {
    uint16_t a0;
    uint16_t a1;
};

constexpr uint16_t A(int line) { return static_cast<uint16_t>(1u << line); }

Wiring wiring()
{
    const uint8_t sub = cartridge.submapper;
    switch (cartridge.mapperNumber) {
    case 21: return sub == 1 ? Wiring{A(1), A(2)} : sub == 2 ? Wiring{A(6), A(7)} : Wiring{A(1) | A(6), A(2) | A(7)};
    case 22: return {A(1), A(0)};
    case 23: return sub == 2 ? Wiring{A(2), A(3)} : sub != 0 ? Wiring{A(0), A(1)} : Wiring{A(0) | A(2), A(1) | A(3)};
    default: return sub == 1 || sub == 3 ? Wiring{A(1), A(0)} : sub == 2 ? Wiring{A(3), A(2)} : Wiring{A(1) | A(3), A(0) | A(2)};
    }
}

// The VRC2 boards (22, 23.3, 25.3): no IRQ, one mirroring bit, 8-bit CHR banks (22 drops the low bit).
bool isVrc2() { return cartridge.mapperNumber == 22 || cartridge.submapper == 3; }

void mapVrc()
{
    const KonamiVrcState& v = mapperState.vrc;
    const uint32_t secondToLast = cartridge.prgKb / 8u - 2;
    mapPrg(0, v.swapMode ? secondToLast : v.prg[0], 8192);
    mapPrg(1, v.prg[1], 8192);
    mapPrg(2, v.swapMode ? v.prg[0] : secondToLast, 8192);
    mapPrg(3, secondToLast + 1, 8192);
    for (uint32_t bank = 0; bank < 8; ++bank)
        mapChr(bank, cartridge.mapperNumber == 22 ? v.chr[bank] >> 1 : v.chr[bank], 1024);
    setMirroringMode(v.mirroring);
}

// The VRC6: 16 KB at 0x8000, 8 KB at 0xC000, the last 8 KB at 0xE000, eight 1 KB CHR banks, and
// the mirroring of 0xB003's bits 2-3 (its other PPU modes, which no game uses, are not built).
void mapVrc6()
{
    const KonamiVrcState& v = mapperState.vrc;
    mapPrg(0, v.prg[0] & 0x0F, 16384);
    mapPrg(2, v.prg[1] & 0x1F, 8192);
    mapPrg(3, cartridge.prgKb / 8u - 1, 8192);
    for (uint32_t bank = 0; bank < 8; ++bank)
        mapChr(bank, v.chr[bank], 1024);
    setMirroringMode(v.mirroring);
}

// The counter's clock ticks in `cycles` CPU cycles, from the prescaler in scanline mode.
uint32_t ticksIn(VrcIrq& irq, uint32_t cycles)
{
    if (irq.control & 4)
        return cycles;
    int64_t prescaler = irq.prescaler - 3 * int64_t{cycles};
    if (prescaler > 0) {
        irq.prescaler = static_cast<int16_t>(prescaler);
        return 0;
    }
    const int64_t ticks = -prescaler / 341 + 1;
    irq.prescaler = static_cast<int16_t>(prescaler + 341 * ticks);
    return static_cast<uint32_t>(ticks);
}

// Cycles until the counter's clock has ticked `ticks` times.
uint32_t cyclesToTicks(const VrcIrq& irq, uint32_t ticks)
{
    if (irq.control & 4)
        return ticks;
    return static_cast<uint32_t>((irq.prescaler + 341 * (int64_t{ticks} - 1) + 2) / 3);
}

void vrcIrqRunTo(VrcIrq& irq, uint32_t now)
{
    const uint32_t cycles = cyclesToRun(irq.lastCycle, now);
    if ((irq.control & 2) == 0)
        return;
    uint32_t ticks = ticksIn(irq, cycles);
    while (ticks > 0) {
        const uint32_t toReload = 0x100u - irq.counter;
        if (ticks < toReload) {
            irq.counter = static_cast<uint8_t>(irq.counter + ticks);
            break;
        }
        ticks -= toReload;
        irq.counter = irq.latch;
        requestIrq(IrqFromBoard);
    }
}

uint32_t vrcIrqDue(const VrcIrq& irq)
{
    if ((irq.control & 2) == 0)
        return irq.lastCycle + (1u << 30);
    return irq.lastCycle + cyclesToTicks(irq, 0x100u - irq.counter);
}

void vrcIrqWrite(VrcIrq& irq, uint32_t index, uint8_t value)
{
    vrcIrqRunTo(irq, cpu.totalCycles);
    switch (index) {
    case 0: irq.latch = value; break;
    case 1:
        irq.control = value & 7;
        irq.prescaler = 341;
        if (irq.control & 2)
            irq.counter = irq.latch;
        acknowledgeIrq(IrqFromBoard);
        break;
    default:
        irq.control = static_cast<uint8_t>((irq.control & ~2) | (irq.control & 1) << 1);
        acknowledgeIrq(IrqFromBoard);
        break;
    }
    wakeDeviceClock();
}

}  // namespace

uint32_t clockVrcIrq(uint32_t now)
{
    vrcIrqRunTo(mapperState.vrc.irq, now);
    return vrcIrqDue(mapperState.vrc.irq);
}

void startKonamiVrc()
{
    mapperState.vrc = KonamiVrcState{};
    mapperState.vrc.irq.prescaler = 341;
    mapperState.vrc.irq.lastCycle = cpu.totalCycles;
    mapVrc();
}

void writeKonamiVrc(uint32_t address, uint8_t value)
{
    if (address < 0x8000)
        return;
    const Wiring w = wiring();
    const uint32_t index = ((address & w.a1) != 0 ? 2u : 0u) | ((address & w.a0) != 0 ? 1u : 0u);
    KonamiVrcState& v = mapperState.vrc;
    const uint32_t group = address >> 12;
    if (group == 0x8 || group == 0xA) {
        v.prg[group == 0xA] = value & 0x1F;
    } else if (group == 0x9) {
        if (index < 2 || isVrc2())
            v.mirroring = isVrc2() ? value & 1 : value & 3;
        else
            v.swapMode = (value >> 1) & 1;
    } else if (group <= 0xE) {
        uint16_t& bank = v.chr[(group - 0xB) * 2 + (index >> 1)];
        bank = (index & 1) != 0 ? static_cast<uint16_t>((bank & 0x0F) | (value & (isVrc2() ? 0x0F : 0x1F)) << 4)
                                : static_cast<uint16_t>((bank & ~0x0F) | (value & 0x0F));
    } else if (!isVrc2()) {
        // 0xF000: the latch's low and high nibbles, the control, the acknowledge.
        VrcIrq& irq = v.irq;
        if (index < 2)
            vrcIrqWrite(irq, 0, static_cast<uint8_t>(index == 0 ? (irq.latch & 0xF0) | (value & 0x0F)
                                                               : (irq.latch & 0x0F) | (value & 0x0F) << 4));
        else
            vrcIrqWrite(irq, index - 1, value);
        return;
    }
    mapVrc();
}

void startKonamiVrc6()
{
    startKonamiVrc();
    mapVrc6();
    expansionSound = &Vrc6ExpansionSound;
}

// The VRC6's registers: four in each 4 KB group (mapper 26 has address lines 0 and 1 the other way
// round). 0x9000-0xB002 are its sound's, 0x9003 the sound's frequency control.
void writeKonamiVrc6(uint32_t address, uint8_t value)
{
    if (address < 0x8000)
        return;
    const uint32_t low = address & 3;
    const uint32_t index = cartridge.mapperNumber == 26 ? (low >> 1) | (low & 1) << 1 : low;
    const uint32_t group = address >> 12;
    KonamiVrcState& v = mapperState.vrc;
    switch (group) {
    case 0x8: v.prg[0] = value; break;
    case 0xB:
        if (index == 3) {
            v.mirroring = (value >> 2) & 3;
            break;
        }
        [[fallthrough]];
    case 0x9:
    case 0xA: vrc6SoundWrite(group - 0x9, index, value); return;
    case 0xC: v.prg[1] = value; break;
    case 0xD:
    case 0xE: v.chr[(group - 0xD) * 4 + index] = value; break;
    default:
        if (index < 3)
            vrcIrqWrite(v.irq, index, value);
        return;
    }
    mapVrc6();
}

namespace {

// The VRC7: three 8 KB PRG banks beside the last, eight 1 KB CHR banks (ROM or RAM), mirroring and
// the PRG RAM's enable in 0xE000.
void mapVrc7()
{
    const KonamiVrcState& v = mapperState.vrc;
    mapPrg(0, v.prg[0] & 0x3F, 8192);
    mapPrg(1, v.prg[1] & 0x3F, 8192);
    mapPrg(2, v.prg[2] & 0x3F, 8192);
    mapPrg(3, cartridge.prgKb / 8u - 1, 8192);
    for (uint32_t bank = 0; bank < 8; ++bank)
        mapChr(bank, v.chr[bank], 1024);
    setMirroringMode(v.mirroring);
    mapPrgRam(0, v.ramEnabled != 0, v.ramEnabled != 0);
}

}  // namespace

void startKonamiVrc7()
{
    startKonamiVrc();
    mapVrc7();
    startVrc7Sound();
    expansionSound = &Vrc7ExpansionSound;
}

// Each 4 KB group holds two registers, the second at address line 3 (VRC7b, submapper 1) or 4
// (VRC7a, submapper 2; without a submapper either); 0x9000's group has the sound's register
// select there and its data with line 5 as well.
void writeKonamiVrc7(uint32_t address, uint8_t value)
{
    if (address < 0x8000)
        return;
    const uint8_t sub = cartridge.submapper;
    const uint32_t line = sub == 1 ? 0x08 : sub == 2 ? 0x10 : 0x18;
    const uint32_t index = (address & line) != 0 ? 1 : 0;
    const uint32_t group = address >> 12;
    KonamiVrcState& v = mapperState.vrc;
    switch (group) {
    case 0x8: v.prg[index] = value; break;
    case 0x9:
        if (address & 0x20)
            vrc7WriteRegister(value);
        else if (index)
            vrc7SelectRegister(value);
        else
            v.prg[2] = value;
        if (address & 0x20 || index)
            return;
        break;
    case 0xE:
        if (index) {
            vrcIrqWrite(v.irq, 0, value);
            return;
        }
        v.mirroring = value & 3;
        v.ramEnabled = value >> 7;
        vrc7Silence((value & 0x40) != 0);
        break;
    case 0xF: vrcIrqWrite(v.irq, index ? 2 : 1, value); return;
    default: v.chr[(group - 0xA) * 2 + index] = value; break;
    }
    mapVrc7();
}

void konamiVrcStateFields(StateIo& io, KonamiVrcState& state)
{
    io.field(state.prg);
    io.field(state.chr);
    io.field(state.mirroring, 0, 3);
    io.field(state.swapMode, 0, 1);
    io.field(state.ramEnabled, 0, 1);
    io.field(state.irq.latch);
    io.field(state.irq.counter);
    io.field(state.irq.control, 0, 7);
    io.field(state.irq.prescaler, 0, 341);  // 0 on the boards without the counter
    io.field(state.irq.lastCycle);
}
static_assert(fieldCount<KonamiVrcState>() == 6 && fieldCount<VrcIrq>() == 5,
              "a KonamiVrcState field is missing from konamiVrcStateFields");
