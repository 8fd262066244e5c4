// Bandai FCG-1/2 and LZ93D50 (mappers 16 and 159): eight 1 KB CHR banks, a 16 KB PRG bank beside
// the last, mirroring, and a 16-bit IRQ counter that counts CPU cycles down, raising the IRQ as it
// reaches 0 and going on through 0xFFFF. The FCG (16.4) answers at 0x6000-0x7FFF and takes the
// counter itself; the LZ93D50 (16.5, 159) answers at 0x8000-0xFFFF, takes a reload that 0x800A
// copies into the counter, and reaches its EEPROM through 0x800D (SCL bit 5, SDA bit 6, bit 7 the
// game lets go of SDA) and reads of 0x6000-0x7FFF (SDA in bit 4). An iNES mapper 16 answers at
// both, the FCG's counter rule at 0x6000 and the LZ93D50's at 0x8000. The EEPROM's bytes are the
// PRG RAM the header gives (iNES: 256 bytes on 16, 128 on 159), never seen at 0x6000.
#include "apu/channels.h"
#include "cart/bandai_fcg.h"
#include "cart/bank_registers.h"
#include "cart/board_families.h"
#include "cart/cycle_counter.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cpu/interrupts.h"
#include "state/state_io.h"

namespace {

BankRegisters& board() { return mapperState.banks; }

enum EepromState : uint8_t { Idle, Command, Address, Writing, Reading };

bool hasEeprom() { return prgRamBytes() != 0 && !(cartridge.mapperNumber == 16 && cartridge.submapper == 4); }

// 24C01: 128 bytes, no device byte (the first byte is the address and the read bit).
bool isX24c01() { return cartridge.mapperNumber == 159; }

uint8_t& eepromByte(uint32_t address)
{
    return cartridge.prgRam[address % prgRamBytes()];
}

// A received byte, just after its eighth bit: the EEPROM answers with an acknowledge (0).
void eepromByteIn(BandaiEeprom& e)
{
    e.output = 0;
    switch (e.state) {
    case Command:
        if (isX24c01()) {
            e.address = e.shift >> 1;
            e.state = (e.shift & 1) ? Reading : Writing;
        } else if ((e.shift & 0xF0) == 0xA0) {
            e.state = (e.shift & 1) ? Reading : Address;
        } else {
            e.state = Idle;
            e.output = 1;
        }
        break;
    case Address: e.address = e.shift; e.state = Writing; break;
    case Writing:
        eepromByte(e.address) = e.shift;
        e.address = static_cast<uint8_t>((e.address & ~7) | ((e.address + 1) & 7));  // within its 8-byte page
        break;
    default: break;
    }
    if (e.state == Reading)
        e.shift = eepromByte(e.address);
}

void eepromWrite(uint8_t value)
{
    BandaiEeprom& e = mapperState.eeprom;
    const uint8_t clock = (value >> 5) & 1;
    const uint8_t data = (value & 0x80) ? 1 : (value >> 6) & 1;
    if (e.clock && clock && data != e.data) {  // SDA changing while SCL is high: start or stop
        e.state = data == 0 ? Command : Idle;
        e.bits = 0;
        e.output = 1;
        e.sending = 0;
    } else if (!e.clock && clock && e.state != Idle) {  // SCL rising: a bit
        if (e.bits < 8) {
            if (e.sending)
                e.output = (e.shift >> (7 - e.bits)) & 1;
            else
                e.shift = static_cast<uint8_t>(e.shift << 1 | data);
            if (++e.bits == 8 && !e.sending)
                eepromByteIn(e);
        } else {
            if (e.sending && data == 0) {  // the game acknowledges: the next byte
                e.address = static_cast<uint8_t>(e.address + 1);
                e.shift = eepromByte(e.address);
            } else if (e.sending) {
                e.state = Idle;
            }
            e.bits = 9;
        }
    } else if (e.clock && !clock) {  // SCL falling: after an acknowledge, the next byte
        if (e.bits == 9) {
            e.bits = 0;
            e.output = 1;
            e.sending = e.state == Reading;
        } else if (e.bits == 8 && e.sending) {
            e.output = 1;  // the game drives the acknowledge
        }
    }
    e.clock = clock;
    e.data = data;
}

void mapBandai()
{
    const BankRegisters& b = board();
    for (uint32_t bank = 0; bank < 8; ++bank)
        mapChr(bank, b.banks[bank], 1024);
    mapPrg(0, b.banks[8] & 0x0F, 16384);
    mapPrg(1, cartridge.prgKb / 16u - 1, 16384);
    setMirroringMode(b.mirroring & 3);
    mapPrgRam(0, false, false);  // the EEPROM's bytes, or none
}

void runIrq(uint32_t now)
{
    BankRegisters& b = board();
    const uint32_t cycles = cyclesToRun(b.irqLastCycle, now);
    if ((b.irqControl & 1) == 0 || cycles == 0)
        return;
    const uint32_t untilZero = b.irqCounter != 0 ? b.irqCounter : 0x10000u;
    if (cycles >= untilZero)
        requestIrq(IrqFromBoard);
    b.irqCounter = static_cast<uint16_t>(b.irqCounter - cycles);
}

}  // namespace

void startBandaiFcg()
{
    board() = BankRegisters{};
    board().irqLastCycle = cpu.totalCycles;
    mapperState.eeprom = BandaiEeprom{Idle, 0, 0, 0, 1, 1, 1, 0};
    mapBandai();
}

void writeBandaiFcg(uint32_t address, uint8_t value)
{
    const bool high = address >= 0x8000;
    const uint8_t sub = cartridge.mapperNumber == 16 ? cartridge.submapper : 5;
    if ((high && sub == 4) || (!high && (sub == 5 || address < 0x6000)))
        return;
    const bool latched = high;  // the LZ93D50's counter rule
    BankRegisters& b = board();
    const uint32_t reg = address & 0x0F;
    if (reg < 9) {
        b.banks[reg] = value;
    } else if (reg == 9) {
        b.mirroring = value;
    } else if (reg <= 0xC) {
        runIrq(cpu.totalCycles);
        if (reg == 0xA) {
            b.irqControl = value & 1;
            if (latched)
                b.irqCounter = b.irqReload;
            acknowledgeIrq(IrqFromBoard);
        } else {
            uint16_t& target = latched ? b.irqReload : b.irqCounter;
            target = reg == 0xB ? static_cast<uint16_t>((target & 0xFF00) | value) : static_cast<uint16_t>((target & 0xFF) | value << 8);
        }
        wakeDeviceClock();
        return;
    } else if (reg == 0xD && hasEeprom()) {
        eepromWrite(value);
        return;
    }
    mapBandai();
}

// The EEPROM's SDA in bit 4 of a read of 0x6000-0x7FFF, the open bus in the others.
uint32_t readBandaiFcg(uint32_t address)
{
    if (address < 0x6000 || address >= 0x8000 || !hasEeprom())
        return BoardDoesNotAnswer;
    const BandaiEeprom& e = mapperState.eeprom;
    return ((address >> 8) & ~0x10u) | ((e.output & e.data) << 4);
}

uint32_t clockBandaiFcg(uint32_t now)
{
    runIrq(now);
    const BankRegisters& b = board();
    return now + ((b.irqControl & 1) ? (b.irqCounter != 0 ? b.irqCounter : 0x10000u) : 1u << 30);
}

void bandaiEepromFields(StateIo& io, BandaiEeprom& state)
{
    io.field(state.state, Idle, Reading);
    io.field(state.bits, 0, 9);
    io.field(state.shift);
    io.field(state.address);
    io.field(state.clock, 0, 1);
    io.field(state.data, 0, 1);
    io.field(state.output, 0, 1);
    io.field(state.sending, 0, 1);
}
static_assert(fieldCount<BandaiEeprom>() == 8, "a BandaiEeprom field is missing from bandaiEepromFields");
