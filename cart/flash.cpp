#include "cart/flash.h"

#include <algorithm>

#include "cart/boards.h"
#include "cart/page_maps.h"
#include "cart/save_memory.h"
#include "state/state_io.h"

namespace {

// The steps of the command sequences (flash address:data): 5555:AA, 2AAA:55, then 5555:A0 before
// a byte to program, 5555:90 for the ID, 5555:F0 back to reading, or 5555:80 and again AA, 55
// before sector:30 (erase 4 KB) or 5555:10 (erase the chip).
enum Step : uint8_t { Idle, Unlocked1, Unlocked2, Program, Erase, EraseUnlocked1, EraseUnlocked2 };

// The chip decodes a command address on flash A14-A0 only.
bool at(uint32_t address, uint32_t command) { return (address & 0x7FFF) == command; }

uint32_t flashBytes() { return cartridge.prgKb * 1024u; }

// Programming clears bits (a byte once 0 stays 0 until erased); erasing sets every bit.
void program(uint32_t address, uint8_t value)
{
    cartridge.prgRom[address] &= value;
    saveMemoryState.flashChanged = true;
}

void erase(uint32_t first, uint32_t count)
{
    std::fill_n(cartridge.prgRom.begin() + first, std::min(count, flashBytes() - first), uint8_t{0xFF});
    saveMemoryState.flashChanged = true;
}

}  // namespace

bool isFlashBoard()
{
    if (cartridge.prgKb * 1024u > MaxFlashBytes)
        return false;
    return cartridge.mapperNumber == 111 ||
           (cartridge.mapperNumber == 30 && (cartridge.flags6 & 0x02) != 0 && cartridge.submapper <= 1);
}

bool keepsFlash() { return isFlashBoard() && (cartridge.flags6 & 0x02) != 0; }

void startFlash()
{
    mapperState.flash = FlashState{};
    saveMemoryState.flashChanged = false;
    for (uint32_t i = 0; i < 1024; ++i)
        cartridge.prgRom[FlashIdPage + i] = (i & 1) != 0 ? 0xB7 : 0xBF;
}

bool flashWrite(uint32_t address, uint8_t value)
{
    FlashState& flash = mapperState.flash;
    address %= flashBytes();
    const uint8_t wasId = flash.idMode;
    const uint8_t step = flash.step;
    flash.step = Idle;
    if (step == Idle && at(address, 0x5555) && value == 0xAA) {
        flash.step = Unlocked1;
    } else if ((step == Unlocked1 || step == EraseUnlocked1) && at(address, 0x2AAA) && value == 0x55) {
        flash.step = step + 1;
    } else if (step == Unlocked2 && at(address, 0x5555) && value == 0xA0) {
        flash.step = Program;
    } else if (step == Unlocked2 && at(address, 0x5555) && value == 0x80) {
        flash.step = Erase;
    } else if (step == Unlocked2 && at(address, 0x5555) && value == 0x90) {
        flash.idMode = 1;
    } else if (step == Erase && at(address, 0x5555) && value == 0xAA) {
        flash.step = EraseUnlocked1;
    } else if (step == Program) {
        program(address, value);
    } else if (step == EraseUnlocked2 && value == 0x30) {
        erase(address & ~0xFFFu, 0x1000);
    } else if (step == EraseUnlocked2 && at(address, 0x5555) && value == 0x10) {
        erase(0, flashBytes());
    } else {
        flash.idMode = 0;  // 0xF0, or any write out of sequence: back to reading
    }
    return flash.idMode != wasId;
}

bool showFlashId()
{
    if (mapperState.flash.idMode == 0)
        return false;
    prgPageMap.fill(FlashIdPage);
    forgetCodeWindow();
    return true;
}

void flashStateFields(StateIo& io, FlashState& state)
{
    io.field(state.step, Idle, EraseUnlocked2);
    io.field(state.idMode, 0, 1);
}
static_assert(fieldCount<FlashState>() == 2, "a FlashState field is missing from flashStateFields");
