#include "ppu/registers.h"

#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/page_maps.h"
#include "cpu/interrupts.h"
#include "ppu/frame_buffer.h"
#include "ppu/ppu_state.h"
#include "ppu/renderer.h"

namespace {

constexpr uint32_t PaletteStart = 0x3F00;
constexpr uint32_t NametableStart = 0x2000;
constexpr uint32_t NametableEnd = 0x2FFF;

// The folding shared by reads and writes: 14 bits, palette mirrors of 0x3F00-0x3F1F,
// 0x3000-0x3EFF onto 0x2000-0x2EFF.
uint32_t foldAddress(uint32_t address)
{
    uint32_t a = address & 0x3FFF;
    if (a >= PaletteStart)
        a = PaletteStart + (a & 0x1F);
    else if (a >= 0x3000)
        a -= 0x1000;
    return a;
}

// A nametable window address to the PPU address of the 1 KB area behind it.
uint32_t throughNametableMap(uint32_t a)
{
    if (a >= NametableStart && a <= NametableEnd)
        return nametableMap[(a - NametableStart) >> 10] + (a & 0x3FF);
    return a;
}

uint8_t& chrByte(uint32_t a) { return cartridge.chrMemory[chrPageMap[a >> 10] + (a & 0x3FF)]; }

uint8_t statusRead()
{
    seeSpriteZeroHit();
    const uint8_t status = static_cast<uint8_t>((ppu.vblankFlag << 7) | (ppu.spriteZeroHit << 6) |
                                                (ppu.spriteOverflow << 5) | (ppu.registerShadow[2] & 0x1F));
    ppu.vblankFlag = 0;
    ppu.writeToggle = 0;
    return status;
}

void advanceVramAddress() { ppu.vramAddress = (ppu.vramAddress + ppu.addressIncrement) & 0x3FFF; }

void controlWrite(uint8_t value)
{
    // Enabling the NMI while the vertical-blank flag is set raises it at once.
    if (!ppu.nmiEnable && (value & 0x80) && ppu.vblankFlag)
        holdNmi();
    ppu.nmiEnable = value >> 7;
    ppu.spriteHeight = (value & 0x20) ? 16 : 8;
    ppu.backgroundPatternBase = (value & 0x10) ? 0x1000 : 0;
    ppu.spritePatternBase = (value & 0x08) ? 0x1000 : 0;
    ppu.addressIncrement = (value & 0x04) ? 32 : 1;
    ppu.nametableSelect = value & 3;
}

void maskWrite(uint8_t value)
{
    ppu.showSprites = (value >> 4) & 1;
    ppu.showBackground = (value >> 3) & 1;
    ppu.spritesLeftColumn = (value >> 2) & 1;
    ppu.backgroundLeftColumn = (value >> 1) & 1;
    ppu.greyscale = value & 1;
    const uint8_t emphasis = value >> 5;
    ppu.emphasis = redGreenEmphasisSwapped ? (emphasis & 4) | (emphasis & 1) << 1 | (emphasis & 2) >> 1 : emphasis;
}

}  // namespace

uint8_t ppuRegisterRead(uint32_t address)
{
    const uint32_t n = address & 7;
    switch (n) {
    case 2:
        return statusRead();
    case 4:
        return static_cast<uint8_t>(ppu.oam[ppu.oamAddress]);
    case 7: {
        const uint8_t value = ppuBusRead(ppu.vramAddress);
        advanceVramAddress();
        return value;
    }
    default:
        return ppu.registerShadow[n];
    }
}

void ppuRegisterWrite(uint32_t address, uint8_t value)
{
    const uint32_t n = address & 7;
    ppu.registerShadow[n] = value;
    switch (n) {
    case 0:
        controlWrite(value);
        break;
    case 1:
        maskWrite(value);
        break;
    case 3:
        ppu.oamAddress = value;
        break;
    case 4:
        ppu.oam[ppu.oamAddress] = value;
        ++ppu.oamAddress;  // 8-bit: wraps from 0xFF to 0
        break;
    case 5:
        if (ppu.writeToggle == 0)
            ppu.scrollX = value;
        else
            ppu.scrollY = value;
        ppu.writeToggle ^= 1;
        break;
    case 6:
        if (ppu.writeToggle == 0)
            ppu.vramAddress = (ppu.vramAddress & 0x00FF) | (uint32_t{value} << 8);
        else
            ppu.vramAddress = (ppu.vramAddress & 0xFF00) | value;
        // During a visible line with rendering on, the second write also moves the picture.
        if (ppu.writeToggle == 1 && ppu.scanline < FrameHeight && (ppu.showBackground || ppu.showSprites)) {
            ppu.splitPending = 1;
            ppu.splitAddress = ppu.vramAddress;
        }
        ppu.writeToggle ^= 1;
        break;
    case 7:
        ppuBusWrite(ppu.vramAddress, value);
        advanceVramAddress();
        break;
    default:
        break;  // 2: the status register keeps only the shadow byte
    }
}

uint8_t ppuBusRead(uint32_t address)
{
    uint32_t a = foldAddress(address);
    // Every fourth palette entry reads as the backdrop byte.
    if (a >= PaletteStart && (a & 3) == 0)
        a = PaletteStart;

    // A board that watches the pattern fetches (MMC2's latches) sees the data port's as well.
    if (a < NametableStart && chrFetchWatcher != nullptr)
        chrFetchWatcher(a);

    // Pattern bytes (CHR ROM or RAM) and nametables come through the read buffer: the read
    // returns the byte buffered by the previous one. Palette bytes come at once.
    if (a >= PaletteStart)
        return ppu.memory[a];
    const uint8_t buffered = ppu.readBuffer;
    ppu.readBuffer = a < NametableStart ? chrByte(a) : ppu.memory[throughNametableMap(a)];
    return buffered;
}

void ppuBusWrite(uint32_t address, uint8_t value)
{
    constexpr uint8_t PaletteBits = 0x3F;  // palette memory holds 6 bits an entry
    uint32_t a = foldAddress(address);
    if (a == PaletteStart + 0x10)
        a = PaletteStart;

    if (a < NametableStart) {
        // CHR RAM takes the byte: the pages mapped past the CHR ROM (but the board's 0xFF page).
        const uint32_t page = chrPageMap[a >> 10];
        if (page >= cartridge.chrKb * 1024u && page != DisabledChrPage)
            chrByte(a) = value;
    } else if (a < PaletteStart) {
        // A nametable window on a board's own read-only page (below 0x1000: CHR ROM) takes no writes.
        if (const uint32_t target = throughNametableMap(a); target >= BoardRamPages)
            ppu.memory[target] = value;
    } else if (a == PaletteStart) {
        ppu.memory[PaletteStart] = value & PaletteBits;
        ppu.memory[PaletteStart + 0x10] = value & PaletteBits;
    } else {
        ppu.memory[a] = value & PaletteBits;
    }
}

void applySplit()
{
    const uint32_t a = ppu.splitAddress;
    ppu.splitPending = 0;
    ppu.nametableSelect = (a >> 10) & 3;
    ppu.scrollX = (a & 31) * 8 + (ppu.scrollX & 7);
    // The scroll that makes this line show row coarse Y * 8 + fine Y of the chosen nametable.
    constexpr uint32_t PlaneHeight = 2 * FrameHeight;
    const uint32_t row = ((a >> 5) & 31) * 8 + ((a >> 12) & 7);
    ppu.scrollY = (row + PlaneHeight - ppu.scanline) % PlaneHeight;
}
