// Three boards of one 16 KB or three 8 KB PRG banks, 1 or 2 KB CHR banks and a 16-bit IRQ counter that
// counts CPU cycles down (cycle_counter.h): Sunsoft-3 (mapper 67), Irem H3001 (65) and Jaleco
// SS88006 (18).
#include "apu/channels.h"
#include "cart/bank_registers.h"
#include "cart/board_families.h"
#include "cart/cycle_counter.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cpu/interrupts.h"
#include "state/state_io.h"

namespace {

constexpr uint32_t Never = 1u << 30;

BankRegisters& board() { return mapperState.banks; }

uint32_t lastBank8k() { return cartridge.prgKb / 8u - 1; }

// ---------------------------------------------------------------- Sunsoft-3
// 0x8800, 0x9800, 0xA800, 0xB800: 2 KB CHR banks; 0xC800: the counter, high byte then low byte;
// 0xD800: bit 4 counting, and the next 0xC800 write is the high byte; 0xE800: mirroring; 0xF800:
// 16 KB PRG at 0x8000. A write with address line 11 clear acknowledges the IRQ. Counting, the
// counter raises the IRQ as it passes from 0 to 0xFFFF and stops counting.

constexpr uint8_t Sunsoft3Counting = 0x10;

void runSunsoft3(uint32_t now)
{
    BankRegisters& b = board();
    const uint32_t cycles = cyclesToRun(b.irqLastCycle, now);
    if ((b.irqControl & Sunsoft3Counting) != 0 && countDown(b.irqCounter, cycles)) {
        b.irqCounter = 0xFFFF;
        b.irqControl &= ~Sunsoft3Counting;
        requestIrq(IrqFromBoard);
    }
}

void mapSunsoft3()
{
    const BankRegisters& b = board();
    for (uint32_t bank = 0; bank < 4; ++bank)
        mapChr(bank, b.banks[bank], 2048);
    mapPrg(0, b.banks[4] & 0x0F, 16384);
    mapPrg(1, cartridge.prgKb / 16u - 1, 16384);
    setMirroringMode(b.mirroring);
}

// ---------------------------------------------------------------- Irem H3001
// 0x8000 and 0xA000: 8 KB PRG banks (0x8000's at 0xC000 with bit 7 of 0x9000); 0x9001 bits 6-7:
// mirroring; 0x9003 bit 7: counting, 0x9004: the counter reloaded, 0x9005 / 0x9006: the reload's
// high / low byte (each of these acknowledges); 0xB000-0xB007: 1 KB CHR banks. Counting, the
// counter raises the IRQ on reaching 0 and stays there.

void runH3001(uint32_t now)
{
    BankRegisters& b = board();
    const uint32_t cycles = cyclesToRun(b.irqLastCycle, now);
    if ((b.irqControl & 0x80) == 0 || b.irqCounter == 0)
        return;
    if (cycles >= b.irqCounter) {
        b.irqCounter = 0;
        requestIrq(IrqFromBoard);
    } else {
        b.irqCounter = static_cast<uint16_t>(b.irqCounter - cycles);
    }
}

void mapH3001()
{
    const BankRegisters& b = board();
    const bool swapped = (b.mode & 0x80) != 0;
    mapPrg(swapped ? 2 : 0, b.banks[8], 8192);
    mapPrg(1, b.banks[9], 8192);
    mapPrg(swapped ? 0 : 2, lastBank8k() - 1, 8192);
    mapPrg(3, lastBank8k(), 8192);
    for (uint32_t bank = 0; bank < 8; ++bank)
        mapChr(bank, b.banks[bank], 1024);
    const uint8_t bits = b.mirroring >> 6;  // 00 vertical, 10 horizontal, 01 and 11 one-screen
    setMirroringMode(bits == 0 ? 0 : bits == 2 ? 1 : 2);
}

// ---------------------------------------------------------------- Jaleco SS88006
// Every register takes 4 bits: a bank number is written as its low nibble at the even address of a
// pair and its high bits at the odd one. 0x8000-0x9001: 8 KB PRG banks at 0x8000, 0xA000, 0xC000;
// 0x9002: PRG RAM on (bit 0) and writable (bit 1); 0xA000-0xD003: 1 KB CHR banks 0-7; 0xE000-0xE003: the reload, a nibble
// each; 0xF000: the counter reloaded; 0xF001: bit 0 counting, bits 1-3 the counter's width (4, 8
// or 12 bits, else 16); 0xF002: mirroring 0 horizontal, 1 vertical, 2 and 3 one-screen. Counting,
// only the counter's low bits count down, and their passing from 0 to all ones raises the IRQ.

uint32_t ss88006Mask()
{
    const uint8_t width = board().irqControl;
    return (width & 8) ? 0xF : (width & 4) ? 0xFF : (width & 2) ? 0xFFF : 0xFFFF;
}

void runSs88006(uint32_t now)
{
    BankRegisters& b = board();
    const uint32_t cycles = cyclesToRun(b.irqLastCycle, now);
    if ((b.irqControl & 1) != 0 && countDown(b.irqCounter, cycles, ss88006Mask()))
        requestIrq(IrqFromBoard);
}

void mapSs88006()
{
    const BankRegisters& b = board();
    for (uint32_t window = 0; window < 3; ++window)
        mapPrg(window, b.banks[window], 8192);
    mapPrg(3, lastBank8k(), 8192);
    for (uint32_t bank = 0; bank < 8; ++bank)
        mapChr(bank, b.banks[3 + bank], 1024);
    mapPrgRam(0, (b.mode & 1) != 0, (b.mode & 3) == 3);
    setMirroringMode(b.mirroring < 2 ? b.mirroring ^ 1 : b.mirroring);
}

}  // namespace

void startSunsoft3()
{
    board() = BankRegisters{};
    board().irqLastCycle = cpu.totalCycles;
    mapSunsoft3();
}

void writeSunsoft3(uint32_t address, uint8_t value)
{
    BankRegisters& b = board();
    if ((address & 0x0800) == 0) {
        acknowledgeIrq(IrqFromBoard);
        return;
    }
    switch (address >> 12) {
    case 0x8: case 0x9: case 0xA: case 0xB: b.banks[(address >> 12) - 8] = value; break;
    case 0xC:
    case 0xD:
        runSunsoft3(cpu.totalCycles);
        if ((address >> 12) == 0xD) {
            b.irqControl = value & Sunsoft3Counting;
            b.mode = 0;
        } else {
            b.irqCounter = b.mode == 0 ? static_cast<uint16_t>(value << 8 | (b.irqCounter & 0xFF))
                                       : static_cast<uint16_t>((b.irqCounter & 0xFF00) | value);
            b.mode ^= 1;
        }
        wakeDeviceClock();
        return;
    case 0xE: b.mirroring = value & 3; break;
    default: b.banks[4] = value; break;
    }
    mapSunsoft3();
}

uint32_t clockSunsoft3(uint32_t now)
{
    runSunsoft3(now);
    const BankRegisters& b = board();
    return now + ((b.irqControl & Sunsoft3Counting) ? b.irqCounter + 1u : Never);
}

void startH3001()
{
    board() = BankRegisters{};
    board().banks[9] = 1;
    board().irqLastCycle = cpu.totalCycles;
    mapH3001();
}

void writeH3001(uint32_t address, uint8_t value)
{
    BankRegisters& b = board();
    const uint32_t group = address >> 12, index = address & 7;
    if (group == 0x9 && index >= 3 && index <= 6) {
        runH3001(cpu.totalCycles);
        switch (index) {
        case 3: b.irqControl = value & 0x80; break;
        case 4: b.irqCounter = b.irqReload; break;
        case 5: b.irqReload = static_cast<uint16_t>(value << 8 | (b.irqReload & 0xFF)); break;
        default: b.irqReload = static_cast<uint16_t>((b.irqReload & 0xFF00) | value); break;
        }
        acknowledgeIrq(IrqFromBoard);
        wakeDeviceClock();
        return;
    }
    if (group == 0x8 || group == 0xA)
        b.banks[group == 0x8 ? 8 : 9] = value;
    else if (group == 0x9 && index == 0)
        b.mode = value;
    else if (group == 0x9 && index == 1)
        b.mirroring = value;
    else if (group == 0xB)
        b.banks[index] = value;
    mapH3001();
}

uint32_t clockH3001(uint32_t now)
{
    runH3001(now);
    const BankRegisters& b = board();
    return now + ((b.irqControl & 0x80) && b.irqCounter != 0 ? b.irqCounter : Never);
}

void startSs88006()
{
    board() = BankRegisters{};
    board().irqLastCycle = cpu.totalCycles;
    mapSs88006();
}

void writeSs88006(uint32_t address, uint8_t value)
{
    BankRegisters& b = board();
    const uint32_t pair = ((address >> 12) - 8) * 2 + ((address >> 1) & 1);  // 0x8000/1 is 0, 0x8002/3 is 1, ...
    const bool high = (address & 1) != 0;
    if (address < 0xE000) {
        if (pair == 3 && !high) {  // 0x9002
            b.mode = value & 3;
        } else if (pair != 3) {
            uint8_t& bank = b.banks[pair < 3 ? pair : pair - 1];
            bank = high ? static_cast<uint8_t>((bank & 0x0F) | (value & 0x0F) << 4) : static_cast<uint8_t>((bank & 0xF0) | (value & 0x0F));
        }
        mapSs88006();
        return;
    }
    runSs88006(cpu.totalCycles);
    const uint32_t index = address & 3;
    if (address < 0xF000) {
        const uint32_t shift = 4 * index;
        b.irqReload = static_cast<uint16_t>((b.irqReload & ~(0xF << shift)) | (value & 0x0F) << shift);
    } else if (index == 0) {
        b.irqCounter = b.irqReload;
        acknowledgeIrq(IrqFromBoard);
    } else if (index == 1) {
        b.irqControl = value & 0x0F;
        acknowledgeIrq(IrqFromBoard);
    } else if (index == 2) {
        b.mirroring = value & 3;
        mapSs88006();
    }
    wakeDeviceClock();
}

uint32_t clockSs88006(uint32_t now)
{
    runSs88006(now);
    const BankRegisters& b = board();
    return now + ((b.irqControl & 1) ? (b.irqCounter & ss88006Mask()) + 1u : Never);
}

void bankRegistersFields(StateIo& io, BankRegisters& state)
{
    io.field(state.banks);
    io.field(state.mirroring);
    io.field(state.mode);
    io.field(state.irqCounter);
    io.field(state.irqReload);
    io.field(state.irqControl);
    io.field(state.irqPrescaler);
    io.field(state.irqLastCycle);
}
static_assert(fieldCount<BankRegisters>() == 8, "a BankRegisters field is missing from bankRegistersFields");
