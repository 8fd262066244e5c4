// Konami's VRC chips: their registers and the IRQ counter they share (VRC4, VRC6, VRC7).
#pragma once

#include <array>
#include <cstdint>

// The VRC IRQ: an 8-bit counter that counts up from the latch to 0xFF and raises the IRQ as it
// reloads; clocked every CPU cycle (cycle mode) or by a prescaler that takes 341 off in steps of 3
// a cycle (scanline mode: 113 2/3 cycles a count, with no tie to the picture).
struct VrcIrq {
    uint8_t latch;
    uint8_t counter;
    uint8_t control;     // bit 0 A: enabled again by an acknowledge; bit 1 E: counting; bit 2 M: cycle mode
    int16_t prescaler;   // 1-341
    uint32_t lastCycle;  // totalCycles up to which the counter has run

    bool operator==(const VrcIrq&) const = default;
};

// VRC2 and VRC4: two 8 KB PRG banks, eight 1 KB CHR banks of 9 bits, mirroring, the PRG swap mode;
// the VRC6 and VRC7 use what they have of it.
struct KonamiVrcState {
    std::array<uint8_t, 3> prg;  // 8 KB at 0x8000 and 0xA000 (VRC6: 16 KB at 0x8000, 8 KB at 0xC000); VRC7: 0xC000 too
    std::array<uint16_t, 8> chr;
    uint8_t mirroring;  // 0 vertical, 1 horizontal, 2 one-screen 0x2000, 3 one-screen 0x2400
    uint8_t swapMode;   // 0x8000 and 0xC000 swapped
    uint8_t ramEnabled; // VRC7: 0xE000 bit 7
    VrcIrq irq;

    bool operator==(const KonamiVrcState&) const = default;
};

class StateIo;
void konamiVrcStateFields(StateIo& io, KonamiVrcState& state);
