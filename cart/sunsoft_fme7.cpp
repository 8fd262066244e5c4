// Sunsoft FME-7, 5A and 5B (mapper 69): a command number at 0x8000-0x9FFF picks the register that
// the next write to 0xA000-0xBFFF sets: eight 1 KB CHR banks, an 8 KB bank of PRG ROM or RAM at
// 0x6000, three 8 KB PRG banks (0xE000 keeps the last), mirroring, and a 16-bit IRQ counter that
// counts CPU cycles down and raises the IRQ as it passes from 0 to 0xFFFF. The 5B adds its sound
// (apu/sunsoft_5b_sound.h) at 0xC000 (register select; with bits 4-7 set, 0xE000 writes are
// blocked) and 0xE000 (data); the mix makes room for it once a game writes to it.
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

constexpr uint8_t Counting = 0x80;
constexpr uint8_t IrqEnabled = 0x01;

void mapFme7()
{
    const SunsoftFme7State& f = mapperState.fme7;
    for (uint32_t bank = 0; bank < 8; ++bank)
        mapChr(bank, f.chr[bank], 1024);
    for (uint32_t window = 0; window < 3; ++window)
        mapPrg(window, f.prg[window + 1] & 0x3F, 8192);
    mapPrg(3, cartridge.prgKb / 8u - 1, 8192);
    const uint8_t ram = f.prg[0];
    if (ram & 0x40)
        mapPrgRam(0, (ram & 0x80) != 0, (ram & 0x80) != 0);
    else
        mapPrgRomAt6000(ram & 0x3F);
    setMirroringMode(f.mirroring);
}

// The counter run up to `now`.
void runIrqTo(uint32_t now)
{
    SunsoftFme7State& f = mapperState.fme7;
    const uint32_t cycles = cyclesToRun(f.irqLastCycle, now);
    if ((f.irqControl & Counting) != 0 && countDown(f.irqCounter, cycles) && (f.irqControl & IrqEnabled))
        requestIrq(IrqFromBoard);
}

}  // namespace

void startSunsoftFme7()
{
    mapperState.fme7 = SunsoftFme7State{};
    mapperState.fme7.irqLastCycle = cpu.totalCycles;
    mapFme7();
    startSunsoft5bSound();
    expansionSound = &Sunsoft5bExpansionSound;
}

void writeSunsoftFme7(uint32_t address, uint8_t value)
{
    SunsoftFme7State& f = mapperState.fme7;
    if (address < 0xA000) {
        f.command = value & 0x0F;
        return;
    }
    if (address >= 0xE000) {
        if ((f.soundSelect & 0xF0) == 0)
            sunsoft5bSoundWrite(f.soundSelect, value);
        return;
    }
    if (address >= 0xC000) {
        f.soundSelect = value;
        return;
    }
    if (f.command < 8) {
        f.chr[f.command] = value;
    } else if (f.command < 12) {
        f.prg[f.command - 8] = value;
    } else if (f.command == 12) {
        f.mirroring = value & 3;
    } else {
        runIrqTo(cpu.totalCycles);
        if (f.command == 13) {
            f.irqControl = value & (Counting | IrqEnabled);
            acknowledgeIrq(IrqFromBoard);
        } else {
            const uint32_t shift = f.command == 14 ? 0 : 8;
            f.irqCounter = static_cast<uint16_t>((f.irqCounter & ~(0xFF << shift)) | value << shift);
        }
        wakeDeviceClock();
        return;
    }
    mapFme7();
}

uint32_t clockSunsoftFme7(uint32_t now)
{
    runIrqTo(now);
    const SunsoftFme7State& f = mapperState.fme7;
    const bool raises = (f.irqControl & Counting) && (f.irqControl & IrqEnabled);
    return now + (raises ? f.irqCounter + 1u : 1u << 30);
}

void sunsoftFme7StateFields(StateIo& io, SunsoftFme7State& state)
{
    io.field(state.command, 0, 15);
    io.field(state.chr);
    io.field(state.prg);
    io.field(state.mirroring, 0, 3);
    io.field(state.irqControl);
    io.field(state.irqCounter);
    io.field(state.irqLastCycle);
    io.field(state.soundSelect);
}
static_assert(fieldCount<SunsoftFme7State>() == 8, "a SunsoftFme7State field is missing from sunsoftFme7StateFields");
