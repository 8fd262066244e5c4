// Namco 129 and 163 (mapper 19): eight 1 KB CHR banks (0x8000-0xBFFF), four nametable sources
// (0xC000-0xDFFF: a value of 0xE0 up is the console's nametable (value & 1), a lower one a 1 KB
// CHR ROM page), three 8 KB PRG banks (0xE000, 0xE800, 0xF000; 0xE000 bit 6 silences the sound),
// the chip RAM's address (0xF800, which also guards the PRG RAM's writes) and data port (0x4800),
// and a 15-bit IRQ counter at 0x5000 / 0x5800 that counts CPU cycles up to 0x7FFF. Each register
// answers across its 2 KB. Choices: CHR values of 0xE0 up select CHR ROM banks (not the console's
// nametable memory as patterns, which no game is known to use), the PRG RAM's four 2 KB write
// guards act as one (any guard makes the whole 8 KB read-only) and start open, and the chip RAM is
// not kept by a battery.
#include "apu/channels.h"
#include "apu/expansion_sound.h"
#include "cart/bank_registers.h"
#include "cart/board_families.h"
#include "cart/cycle_counter.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cpu/interrupts.h"

namespace {

// banks 0-7: CHR; 8-11: nametables; 12-14: PRG at 0x8000, 0xA000, 0xC000; mode: 0xF800's value.
BankRegisters& board() { return mapperState.banks; }

constexpr uint16_t IrqLimit = 0x7FFF;
constexpr uint8_t IrqEnabled = 0x80;

void mapNamco163()
{
    const BankRegisters& b = board();
    for (uint32_t window = 0; window < 3; ++window)
        mapPrg(window, b.banks[12 + window] & 0x3F, 8192);
    mapPrg(3, cartridge.prgKb / 8u - 1, 8192);
    for (uint32_t bank = 0; bank < 8; ++bank)
        mapChr(bank, b.banks[bank], 1024);
    for (uint32_t quadrant = 0; quadrant < 4; ++quadrant) {
        const uint8_t value = b.banks[8 + quadrant];
        if (value >= 0xE0) {
            nametableMap[quadrant] = 0x2000u + 0x400u * (value & 1);
        } else {
            copyChrNametable(quadrant, value);
            nametableMap[quadrant] = 0x400u * quadrant;
        }
    }
    mapPrgRam(0, true, (b.mode & 0xF0) == 0x40 && (b.mode & 0x0F) == 0);
}

// The counter run up to `now`: up by one a cycle while enabled, stopping at 0x7FFF with the IRQ.
void runIrq(uint32_t now)
{
    BankRegisters& b = board();
    const uint32_t cycles = cyclesToRun(b.irqLastCycle, now);
    if ((b.irqControl & IrqEnabled) == 0 || b.irqCounter >= IrqLimit)
        return;
    if (cycles >= uint32_t{IrqLimit} - b.irqCounter) {
        b.irqCounter = IrqLimit;
        requestIrq(IrqFromBoard);
    } else {
        b.irqCounter = static_cast<uint16_t>(b.irqCounter + cycles);
    }
}

}  // namespace

void startNamco163()
{
    board() = BankRegisters{};
    board().banks[8] = board().banks[10] = 0xE0;  // the console's nametables, vertical
    board().banks[9] = board().banks[11] = 0xE1;
    board().mode = 0x40;  // the PRG RAM writable until the game guards it
    board().irqLastCycle = cpu.totalCycles;
    mapNamco163();
    startNamco163Sound(cartridge.submapper);
    expansionSound = &Namco163ExpansionSound;
}

void writeNamco163(uint32_t address, uint8_t value)
{
    BankRegisters& b = board();
    const uint32_t reg = address & 0xF800;
    if (reg == 0x4800) {
        namco163RamWrite(value);
        return;
    }
    if (reg == 0x5000 || reg == 0x5800) {
        runIrq(cpu.totalCycles);
        if (reg == 0x5000) {
            b.irqCounter = static_cast<uint16_t>((b.irqCounter & 0x7F00) | value);
        } else {
            b.irqCounter = static_cast<uint16_t>((b.irqCounter & 0xFF) | (value & 0x7F) << 8);
            b.irqControl = value & IrqEnabled;
        }
        acknowledgeIrq(IrqFromBoard);
        wakeDeviceClock();
        return;
    }
    if (reg < 0x8000)
        return;
    if (reg < 0xE000) {
        b.banks[(reg - 0x8000) >> 11] = value;
    } else if (reg == 0xF800) {
        b.mode = value;
        namco163SetAddress(value);
    } else {
        b.banks[12 + ((reg - 0xE000) >> 11)] = value;
        if (reg == 0xE000)
            namco163Silence((value & 0x40) != 0);
    }
    mapNamco163();
}

uint32_t readNamco163(uint32_t address)
{
    const uint32_t reg = address & 0xF800;
    if (reg == 0x4800)
        return namco163RamRead();
    if (reg != 0x5000 && reg != 0x5800)
        return BoardDoesNotAnswer;
    runIrq(cpu.totalCycles);
    const BankRegisters& b = board();
    return reg == 0x5000 ? b.irqCounter & 0xFF : (b.irqCounter >> 8) | b.irqControl;
}

uint32_t clockNamco163(uint32_t now)
{
    runIrq(now);
    const BankRegisters& b = board();
    const bool counting = (b.irqControl & IrqEnabled) && b.irqCounter < IrqLimit;
    return now + (counting ? uint32_t{IrqLimit} - b.irqCounter : 1u << 30);
}
