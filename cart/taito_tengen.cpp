// Taito TC0190 (mapper 33) and TC0690 (48), and Tengen RAMBO-1 (64): banks in the MMC3's manner
// beside it. The TC0690's IRQ is the MMC3's scanline counter; the RAMBO-1's counts scanlines at the
// same point or, in its cycle mode, every fourth CPU cycle.
#include "apu/channels.h"
#include "cart/bank_registers.h"
#include "cart/board_families.h"
#include "cart/cycle_counter.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cpu/interrupts.h"
#include "ppu/ppu_state.h"

namespace {

BankRegisters& board() { return mapperState.banks; }

uint32_t secondToLast8k() { return cartridge.prgKb / 8u - 2; }

// ---------------------------------------------------------------- Taito
// banks 0, 1: 8 KB PRG at 0x8000, 0xA000; 2, 3: 2 KB CHR at 0x0000, 0x0800; 4-7: 1 KB CHR at
// 0x1000-0x1C00. 0xC000 and 0xE000 show the last two 8 KB banks.

void mapTaito()
{
    const BankRegisters& b = board();
    mapPrg(0, b.banks[0] & 0x3F, 8192);
    mapPrg(1, b.banks[1] & 0x3F, 8192);
    mapPrg(2, secondToLast8k(), 8192);
    mapPrg(3, secondToLast8k() + 1, 8192);
    mapChr(0, b.banks[2], 2048);
    mapChr(1, b.banks[3], 2048);
    for (uint32_t bank = 0; bank < 4; ++bank)
        mapChr(4 + bank, b.banks[4 + bank], 1024);
    setMirroringMode(b.mirroring);
}

// ---------------------------------------------------------------- RAMBO-1
// 0x8000 (even) selects a bank register, CPK.RRRR: C swaps the CHR halves, P the PRG windows at
// 0x8000 and 0xC000, K makes R0 and R1 1 KB banks beside R8 and R9; 0x8001 (odd) sets it. R6, R7,
// RF: 8 KB PRG at 0x8000, 0xA000, 0xC000 (P: RF at 0x8000, R6 at 0xC000); 0xE000 the last bank.

constexpr uint8_t IrqOn = 1, ReloadAsked = 2, CycleMode = 4;

void mapRambo1()
{
    const BankRegisters& b = board();
    const auto& r = b.banks;
    const uint32_t swap = (b.mode & 0x80) ? 4 : 0;  // in 1 KB pages
    if (b.mode & 0x20) {
        const uint32_t pages[4] = {r[0], r[8], r[1], r[9]};
        for (uint32_t k = 0; k < 4; ++k)
            mapChr(k ^ swap, pages[k], 1024);
    } else {
        for (uint32_t k = 0; k < 2; ++k) {
            mapChr((2 * k) ^ swap, r[k] & 0xFE, 1024);
            mapChr((2 * k + 1) ^ swap, r[k] | 1, 1024);
        }
    }
    for (uint32_t k = 0; k < 4; ++k)
        mapChr((4 + k) ^ swap, r[2 + k], 1024);
    const bool swapped = (b.mode & 0x40) != 0;
    mapPrg(0, swapped ? r[15] : r[6], 8192);
    mapPrg(1, r[7], 8192);
    mapPrg(2, swapped ? r[6] : r[15], 8192);
    mapPrg(3, secondToLast8k() + 1, 8192);
    setMirroringMode(b.mirroring & 1);
}

// One clock of the RAMBO-1's counter: a reload asked by 0xC001 gives the latch + 1, a counter at 0
// the latch; otherwise it counts down and raises the IRQ on reaching 0.
void clockRambo1()
{
    BankRegisters& b = board();
    if (b.irqControl & ReloadAsked) {
        b.irqCounter = static_cast<uint16_t>(b.irqReload + 1);
        b.irqControl &= ~ReloadAsked;
    } else if (b.irqCounter == 0) {
        b.irqCounter = b.irqReload;
    } else if (--b.irqCounter == 0 && (b.irqControl & IrqOn)) {
        requestIrq(IrqFromBoard);
    }
}

// `clocks` clocks at once: down to 0 (the IRQ), then round from the latch down to 0 again, every
// latch + 1 clocks (a latch of 0 holds the counter at 0 without an IRQ).
void clockRambo1(uint32_t clocks)
{
    BankRegisters& b = board();
    if (clocks > 0 && (b.irqControl & ReloadAsked)) {
        clockRambo1();
        --clocks;
    }
    if (clocks == 0)
        return;
    if (b.irqCounter == 0) {  // the next clock reloads
        b.irqCounter = b.irqReload;
        --clocks;
        if (b.irqReload == 0)
            return;
    }
    if (clocks < b.irqCounter) {
        b.irqCounter = static_cast<uint16_t>(b.irqCounter - clocks);
        return;
    }
    clocks -= b.irqCounter;  // it reaches 0
    if (b.irqControl & IrqOn)
        requestIrq(IrqFromBoard);
    const uint32_t phase = clocks % (b.irqReload + 1u);
    b.irqCounter = static_cast<uint16_t>(phase == 0 ? 0 : b.irqReload - (phase - 1));
}

// Cycle mode: a clock every fourth CPU cycle.
void runRambo1(uint32_t now)
{
    BankRegisters& b = board();
    const uint32_t cycles = cyclesToRun(b.irqLastCycle, now);
    if ((b.irqControl & CycleMode) == 0)
        return;
    const uint64_t total = uint64_t{b.irqPrescaler} + cycles;
    b.irqPrescaler = static_cast<uint8_t>(total % 4);
    clockRambo1(static_cast<uint32_t>(total / 4));
}

// Clocks until the IRQ (counting from the next one), or 0 when none will come.
uint32_t clocksToRambo1Irq()
{
    const BankRegisters& b = board();
    if ((b.irqControl & IrqOn) == 0)
        return 0;
    if (b.irqControl & ReloadAsked)
        return b.irqReload + 2u;
    if (b.irqCounter == 0)
        return b.irqReload == 0 ? 0 : b.irqReload + 1u;
    return b.irqCounter;
}

}  // namespace

void startTaito()
{
    board() = BankRegisters{};
    startMmc3();  // the TC0690's IRQ is the MMC3's counter
    mapTaito();
}

// 33: 0x8000-0xA003 by address lines 0, 1 and 13; bit 6 of 0x8000 the mirroring. 48: 0x8000-0xE003
// by lines 0, 1, 13 and 14; its 0x8000 takes 6 bank bits, 0xE000 bit 6 the mirroring, and
// 0xC000-0xC003 are the MMC3's IRQ registers (the reload written inverted).
void writeTaito(uint32_t address, uint8_t value)
{
    BankRegisters& b = board();
    const bool tc0690 = cartridge.mapperNumber == 48;
    const uint32_t reg = address & (tc0690 ? 0xE003 : 0xA003);
    const uint32_t index = reg & 3;
    if (reg < 0xA000) {
        b.banks[index] = value;
        if (index == 0 && !tc0690)
            b.mirroring = (value >> 6) & 1;
    } else if (reg < 0xC000) {
        b.banks[4 + index] = value;
    } else if (reg < 0xE000) {
        constexpr uint32_t Mmc3Registers[] = {0xC000, 0xC001, 0xE001, 0xE000};
        writeMmc3(Mmc3Registers[index], index == 0 ? static_cast<uint8_t>(value ^ 0xFF) : value);
        return;
    } else {
        b.mirroring = (value >> 6) & 1;
    }
    mapTaito();
}

void startRambo1()
{
    board() = BankRegisters{};
    board().irqLastCycle = cpu.totalCycles;
    mapRambo1();
}

void writeRambo1(uint32_t address, uint8_t value)
{
    BankRegisters& b = board();
    const bool odd = (address & 1) != 0;
    switch (address & 0xE000) {
    case 0x8000:
        if (odd)
            b.banks[b.mode & 0x0F] = value;
        else
            b.mode = value;
        mapRambo1();
        return;
    case 0xA000:
        if (!odd) {
            b.mirroring = value & 1;
            mapRambo1();
        }
        return;
    default: break;
    }
    runRambo1(cpu.totalCycles);
    if ((address & 0xE000) == 0xC000) {
        if (odd)
            b.irqControl = static_cast<uint8_t>((b.irqControl & IrqOn) | ReloadAsked | ((value & 1) ? CycleMode : 0));
        else
            b.irqReload = value;
    } else if (odd) {
        b.irqControl |= IrqOn;
    } else {
        b.irqControl &= ~IrqOn;
        acknowledgeIrq(IrqFromBoard);
    }
    wakeDeviceClock();
}

void rambo1LineEnd()
{
    if ((board().irqControl & CycleMode) == 0 && (ppu.showBackground || ppu.showSprites))
        clockRambo1();
}

uint32_t clockRambo1Cycles(uint32_t now)
{
    runRambo1(now);
    const uint32_t clocks = (board().irqControl & CycleMode) ? clocksToRambo1Irq() : 0;
    return now + (clocks != 0 ? 4 * clocks - board().irqPrescaler : 1u << 30);
}
