#include "cart/page_maps.h"

#include <algorithm>

#include "cart/cartridge.h"
#include "ppu/ppu_state.h"
#include "state/state_io.h"

namespace {

template <size_t Pages>
void mapWindow(std::array<uint32_t, Pages>& map, uint32_t imageBytes, uint32_t window, uint32_t bank, uint32_t size)
{
    const uint32_t first = window * size / 1024;
    const uint32_t count = size / 1024;
    for (uint32_t k = 0; k < count && first + k < Pages; ++k) {
        const uint64_t offset = uint64_t{bank} * size + k * 1024u;
        map[first + k] = static_cast<uint32_t>(offset % imageBytes);
    }
}

}  // namespace

void mapPrg(uint32_t window, uint32_t bank, uint32_t size)
{
    if (cartridge.prgKb == 0)
        return;
    mapWindow(prgPageMap, cartridge.prgKb * 1024u, window, bank, size);
    forgetCodeWindow();
}

void mapChrRam(uint32_t window, uint32_t bank, uint32_t size)
{
    if (cartridge.chrRamBytes >= 1024) {
        mapWindow(chrPageMap, cartridge.chrRamBytes, window, bank, size);
        for (uint32_t k = 0; k < size / 1024; ++k)
            chrPageMap[window * size / 1024 + k] += cartridge.chrKb * 1024u;
    }
}

void mapChr(uint32_t window, uint32_t bank, uint32_t size)
{
    const uint32_t chrBytes = cartridge.chrKb != 0 ? cartridge.chrKb * 1024u : cartridge.chrRamBytes;
    if (chrBytes >= 1024)
        mapWindow(chrPageMap, chrBytes, window, bank, size);
}

void mapPrgRam(uint32_t bank, bool readable, bool writable)
{
    const uint32_t bytes = prgRamBytes();
    prgRamWindow = {bytes > 8192 ? bank * 8192 % bytes : 0, readable, writable};
    forgetCodeWindow();
}

bool mapPrgRamAmongRom(uint32_t window, uint32_t bank)
{
    const uint32_t bytes = prgRamBytes();
    if (bytes < 8192)
        return false;
    const uint32_t offset = bank * 8192 % bytes;
    std::copy_n(cartridge.prgRam.begin() + offset, 8192, cartridge.prgRom.begin() + PrgRamCopy + offset);
    for (uint32_t k = 0; k < 8; ++k)
        prgPageMap[window * 8 + k] = PrgRamCopy + offset + k * 1024;
    forgetCodeWindow();
    return true;
}

void writePrgRamAndCopy(uint32_t offset, uint8_t value)
{
    cartridge.prgRam[offset] = value;
    cartridge.prgRom[PrgRamCopy + offset] = value;
}

void mapPrgRomAt6000(uint32_t bank)
{
    const uint32_t bytes = cartridge.prgKb * 1024u;
    prgRamWindow = {bytes != 0 ? static_cast<uint32_t>(uint64_t{bank} * 8192 % bytes) : 0, true, false, true};
    forgetCodeWindow();
}

void copyChrNametable(uint32_t slot, uint32_t chrPage)
{
    const uint32_t bytes = std::max<uint32_t>(cartridge.chrKb * 1024u, 1024);
    std::copy_n(cartridge.chrMemory.begin() + chrPage * 1024u % bytes, 1024, ppu.memory.begin() + slot * 1024u);
}

void pageMapFields(StateIo& io, PrgPageMap& prg, ChrPageMap& chr, NametableMap& nametables, PrgRamWindow& prgRam)
{
    const auto pages = [&io](auto& map, uint32_t imageBytes, uint32_t extraFrom, uint32_t extraBytes) {
        for (uint32_t& offset : map) {
            io.field(offset);
            io.check(offset % 1024 == 0 && (offset < imageBytes || (offset >= extraFrom && offset - extraFrom < extraBytes)));
        }
    };
    pages(prg, cartridge.prgKb * 1024u, PrgRamCopy, prgRamBytes());  // the PRG RAM's copy too
    pages(chr, cartridge.chrKb * 1024u + cartridge.chrRamBytes, DisabledChrPage, 1024);  // a board's 0xFF page too
    for (uint32_t& base : nametables) {
        io.field(base);
        io.check(base <= 0x2C00 && base % 0x400 == 0);  // below 0x2000: a board's own page
    }
    prgRam = PrgRamWindow{};
    if (io.since(7)) {
        io.field(prgRam.offset);
        io.field(prgRam.readable);
        io.field(prgRam.writable);
        if (io.since(10))
            io.field(prgRam.rom);
        const uint32_t bytes = prgRam.rom ? cartridge.prgKb * 1024u : prgRamBytes();
        io.check(prgRam.offset % 8192 == 0 && prgRam.offset < std::max<uint32_t>(bytes, 1));
    }
}
static_assert(fieldCount<PrgRamWindow>() == 4, "a PrgRamWindow field is missing from pageMapFields");
