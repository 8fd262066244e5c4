#include "cart/nsf.h"

#include <algorithm>
#include <ostream>

#include "apu/apu_state.h"
#include "apu/channels.h"
#include "apu/expansion_sound.h"
#include "bus/cpu_bus.h"
#include "cart/boards.h"
#include "cart/page_maps.h"
#include "cpu/cpu_state.h"
#include "cpu/interrupts.h"
#include "state/state_io.h"

namespace {

// The driver: LDA #track, LDX #region, JSR init; then, whenever the status at 0x4120 has bit 7
// set (a play period has begun; reading clears it), JSR play.
constexpr uint32_t DriverStart = 0x4100;
constexpr uint32_t DriverStatus = 0x4120;
constexpr uint32_t DriverLoop = DriverStart + 7;
constexpr uint32_t DriverBytes = 18;

// The most program data: the cartridge's PRG ROM, less the padding before the first bank.
constexpr uint32_t MaxNsfData = CartridgeArraySize - 0x1000;

uint16_t word(std::span<const uint8_t> bytes, size_t at) { return static_cast<uint16_t>(bytes[at] | bytes[at + 1] << 8); }

std::string text(std::span<const uint8_t> bytes, size_t at)
{
    std::string field;
    for (size_t k = at; k < at + 32 && bytes[k] != 0; ++k)
        field += static_cast<char>(bytes[k] >= 0x20 && bytes[k] < 0x7F ? bytes[k] : '?');
    return field;
}

// The data's offset in the PRG image (the padding before it) and whether CPU address `address`
// falls on data, with the file's first banks in place.
uint32_t padding(const NsfInfo& info) { return info.banked ? info.loadAddress & 0x0FFF : info.loadAddress - 0x8000; }

bool reachesData(const NsfInfo& info, uint32_t dataBytes, uint32_t address)
{
    if (address < 0x8000 || address > 0xFFFF)
        return false;
    const uint32_t offset = info.banked ? info.banks[(address - 0x8000) >> 12] * 0x1000u + (address & 0x0FFF) : address - 0x8000;
    return offset >= padding(info) && offset < padding(info) + dataBytes;
}

// The chips the file plays, mixed as one: their levels summed.
std::array<const ExpansionSound*, 5> chipsPlaying{};
uint32_t chipCount = 0;
ExpansionSound mixedChips{};

int32_t mixedLevelAt(uint32_t now)
{
    int32_t level = 0;
    for (uint32_t k = 0; k < chipCount; ++k)
        level += chipsPlaying[k]->levelAt(now);
    return level;
}

void startChips()
{
    const uint8_t chips = nsfPlayer.info.chips;
    apu.expansion = ExpansionSoundState{};
    chipCount = 0;
    if (chips & NsfChip::Vrc6) {
        for (Vrc6Pulse& pulse : apu.expansion.vrc6.pulses)
            pulse.lastStep = cpu.totalCycles;
        apu.expansion.vrc6.saw.lastStep = cpu.totalCycles;
        chipsPlaying[chipCount++] = &Vrc6ExpansionSound;
    }
    if (chips & NsfChip::Vrc7) {
        startVrc7Sound();
        chipsPlaying[chipCount++] = &Vrc7ExpansionSound;
    }
    if (chips & NsfChip::Mmc5) {
        startMmc5Sound();
        chipsPlaying[chipCount++] = &Mmc5ExpansionSound;
    }
    if (chips & NsfChip::Namco163) {
        startNamco163Sound(0);
        chipsPlaying[chipCount++] = &Namco163ExpansionSound;
    }
    if (chips & NsfChip::Sunsoft5b) {
        startSunsoft5bSound();
        chipsPlaying[chipCount++] = &Sunsoft5bExpansionSound;
    }
    int32_t peak = 0;
    for (uint32_t k = 0; k < chipCount; ++k)
        peak += chipsPlaying[k]->peak;
    mixedChips = {mixedLevelAt, peak, [] { return true; }};
    expansionSound = chipCount == 0 ? nullptr : chipCount == 1 ? chipsPlaying[0] : &mixedChips;
}

void mapBanks()
{
    for (uint32_t window = 0; window < 8; ++window)
        mapPrg(window, nsfPlayer.banks[window], 0x1000);
}

// CPU cycles between play calls: the period in frames of this console, times the last frame's cycles.
uint32_t playCycles(uint32_t frameCycles)
{
    const NsfInfo& info = nsfPlayer.info;
    const double period = nsfPlayer.console.pal ? info.palPeriod : info.ntscPeriod;
    const double frames = period * nsfPlayer.console.framesPerSecond / 1e6;
    return std::max<uint32_t>(1, static_cast<uint32_t>(frames * frameCycles + 0.5));
}

uint8_t driverByte(uint32_t offset)
{
    const NsfInfo& info = nsfPlayer.info;
    const std::array<uint8_t, DriverBytes> driver = {
        0xA9, static_cast<uint8_t>(nsfPlayer.track),                               // LDA #track
        0xA2, static_cast<uint8_t>(nsfPlayer.console.pal),                                 // LDX #region
        0x20, static_cast<uint8_t>(info.initAddress), static_cast<uint8_t>(info.initAddress >> 8),  // JSR init
        0x2C, DriverStatus & 0xFF, DriverStatus >> 8,                              // BIT status
        0x10, 0xFB,                                                                // BPL to the BIT
        0x20, static_cast<uint8_t>(info.playAddress), static_cast<uint8_t>(info.playAddress >> 8),  // JSR play
        0x4C, DriverLoop & 0xFF, DriverLoop >> 8,                                  // JMP to the BIT
    };
    return driver[offset];
}

}  // namespace

bool isNsfImage(std::span<const uint8_t> image)
{
    return image.size() >= NsfMagic.size() && std::equal(NsfMagic.begin(), NsfMagic.end(), image.begin());
}

LoadResult loadNsfImage(std::span<const uint8_t> image, std::ostream& out)
{
    if (image.size() < NsfHeaderSize) {
        out << "The music file is shorter than its 128-byte header.\n";
        return LoadResult::Refused;
    }
    NsfInfo info{};
    info.tracks = image[6];
    info.firstTrack = std::clamp<uint32_t>(image[7], 1, std::max<uint32_t>(info.tracks, 1)) - 1;
    info.loadAddress = word(image, 8);
    info.initAddress = word(image, 0x0A);
    info.playAddress = word(image, 0x0C);
    info.name = text(image, 0x0E);
    info.artist = text(image, 0x2E);
    info.copyright = text(image, 0x4E);
    info.ntscPeriod = word(image, 0x6E);
    std::copy_n(image.begin() + 0x70, 8, info.banks.begin());
    info.banked = std::ranges::any_of(info.banks, [](uint8_t bank) { return bank != 0; });
    info.palPeriod = word(image, 0x78);
    info.regions = image[0x7A] & 3;
    info.chips = image[0x7B] & 0x3F;
    // Version 2 may give the program's length (bytes 0x7D-0x7F); what follows it is not program.
    uint32_t dataBytes = static_cast<uint32_t>(image.size() - NsfHeaderSize);
    if (const uint32_t length = image[0x7D] | image[0x7E] << 8 | image[0x7F] << 16; image[5] >= 2 && length != 0)
        dataBytes = std::min(dataBytes, length);

    const bool palOnly = (info.regions & 3) == 1;
    if (info.tracks == 0) {
        out << "The music file holds no tracks.\n";
        return LoadResult::Refused;
    }
    if (info.loadAddress < 0x8000) {
        out << "The music file loads at 0x" << std::hex << info.loadAddress << std::dec << ", below 0x8000.\n";
        return LoadResult::Refused;
    }
    if (dataBytes > MaxNsfData) {
        out << "The music file's program is larger than the " << MaxNsfData / 1024 << " KB Tallowby has for it.\n";
        return LoadResult::Refused;
    }
    if (!reachesData(info, dataBytes, info.initAddress) || !reachesData(info, dataBytes, info.playAddress)) {
        out << "The music file's program does not reach its init or play address.\n";
        return LoadResult::Refused;
    }
    if ((palOnly ? info.palPeriod : info.ntscPeriod) == 0) {
        out << "The music file's play period is 0.\n";
        return LoadResult::Refused;
    }

    // The program as PRG ROM: after its padding, in 4 KB banks (32 KB at least without banking).
    const uint32_t imageBytes = std::max<uint32_t>((padding(info) + dataBytes + 0xFFF) & ~0xFFFu, info.banked ? 0x1000 : 0x8000);
    cartridge.magic = {'N', 'E', 'S', 'M'};
    cartridge.prgKb = static_cast<uint16_t>(imageBytes / 1024);
    cartridge.chrKb = 0;
    cartridge.mapperNumber = NsfBoardNumber;
    cartridge.nes2 = true;  // its region is the file's, as a NES 2.0 header gives it
    cartridge.timing = palOnly ? Timing::Pal : info.regions & 2 ? Timing::MultiRegion : Timing::Ntsc;
    cartridge.workRamBytes = 8 * 1024;
    cartridge.batteryRamBytes = 0;
    cartridge.chrRamBytes = 8 * 1024;
    cartridge.mirroring = Mirroring::Vertical;
    applyMirroring(cartridge.mirroring);
    cartridge.prgRam.fill(0);
    prgRamWindow = PrgRamWindow{};
    std::fill(cartridge.prgRom.begin(), cartridge.prgRom.end(), uint8_t{0});
    std::copy_n(image.begin() + NsfHeaderSize, dataBytes, cartridge.prgRom.begin() + padding(info));
    cartridge.checksum = crc32(std::span(cartridge.prgRom).first(imageBytes));
    std::fill(cartridge.chrMemory.begin(), cartridge.chrMemory.end(), uint8_t{0});
    for (uint32_t i = 0; i < chrPageMap.size(); ++i)
        chrPageMap[i] = i * 1024;
    nsfPlayer = NsfPlayer{};
    nsfPlayer.info = info;

    static constexpr const char* ChipNames[] = {"VRC6", "VRC7", "FDS", "MMC5", "Namco 163", "Sunsoft 5B"};
    std::string chips;
    for (uint32_t bit = 0; bit < 6; ++bit)
        if (info.chips & (1u << bit))
            chips += (chips.empty() ? " with " : ", ") + std::string(ChipNames[bit]);
    out << "Music: \"" << info.name << "\" by " << (info.artist.empty() ? "?" : info.artist) << ", " << info.tracks
        << (info.tracks == 1 ? " track" : " tracks") << chips << ".\n";
    if (info.chips & NsfChip::Fds)
        out << "The FDS sound is not emulated: the file plays its other sound without it.\n";
    startBoard();
    return LoadResult::Loaded;
}

void startNsf() { startNsfTrack(nsfPlayer.info.firstTrack, NsfConsole{}); }

void startNsfTrack(uint32_t track, const NsfConsole& console)
{
    NsfPlayer& n = nsfPlayer;
    n.track = std::min(track, n.info.tracks - 1);
    n.console = console;
    cpuMemory.fill(0);
    std::fill_n(cartridge.prgRam.begin(), 8 * 1024, uint8_t{0});
    for (uint16_t address = 0x4000; address <= 0x4013; ++address)
        apuRegisterWrite(address, 0);
    apuRegisterWrite(0x4015, 0x0F);
    apuRegisterWrite(0x4017, 0x40);
    startChips();
    for (uint32_t window = 0; window < 8; ++window)
        n.banks[window] = n.info.banked ? n.info.banks[window] : static_cast<uint8_t>(window);
    mapBanks();
    n.soundSelect = 0;
    n.playCycles = playCycles(console.frameCycles);
    n.playStamp = n.frameStart = cpu.totalCycles;
    cpu.a = cpu.x = cpu.y = 0;
    cpu.p = FlagUnused | FlagI;
    cpu.s = 0xFF;
    cpu.pc = DriverStart;
    cpu.irqPending = 0;
    acknowledgeIrq(0xFF);
}

void writeNsf(uint32_t address, uint8_t value)
{
    NsfPlayer& n = nsfPlayer;
    const uint8_t chips = n.info.chips;
    if (address >= 0x5FF8 && address <= 0x5FFF) {
        n.banks[address - 0x5FF8] = value;
        mapBanks();
        return;
    }
    if ((chips & NsfChip::Mmc5) && address >= 0x5000 && address <= 0x5015) {
        mmc5SoundWrite(address, value);
        return;
    }
    if ((chips & NsfChip::Mmc5) && address >= 0x5C00 && address < 0x5FF8) {
        cpuMemory[address] = value;  // ExRAM as plain RAM
        return;
    }
    if ((chips & NsfChip::Mmc5) && (address == 0x5205 || address == 0x5206)) {
        n.factors[address - 0x5205] = value;
        return;
    }
    if ((chips & NsfChip::Namco163) && address == 0x4800) {
        namco163RamWrite(value);
        return;
    }
    if ((chips & NsfChip::Namco163) && address == 0xF800) {
        namco163SetAddress(value);
        return;
    }
    if ((chips & NsfChip::Vrc7) && (address == 0x9010 || address == 0x9030)) {
        address == 0x9010 ? vrc7SelectRegister(value) : vrc7WriteRegister(value);
        return;
    }
    if ((chips & NsfChip::Vrc6) && address >= 0x9000 && address <= 0xB003 && (address & 0x0FFF) <= 3) {
        const uint32_t channel = (address >> 12) - 9, index = address & 3;
        if (index < 3 || channel == 0)
            vrc6SoundWrite(channel, index, value);
        return;
    }
    if ((chips & NsfChip::Sunsoft5b) && address == 0xC000) {
        n.soundSelect = value;
        return;
    }
    if ((chips & NsfChip::Sunsoft5b) && address == 0xE000 && (n.soundSelect & 0xF0) == 0)
        sunsoft5bSoundWrite(n.soundSelect, value);
}

uint32_t readNsf(uint32_t address)
{
    NsfPlayer& n = nsfPlayer;
    if (address >= DriverStart && address < DriverStart + DriverBytes)
        return driverByte(address - DriverStart);
    if (address == DriverStatus)
        return stepsSince(n.playStamp, n.playCycles, cpu.totalCycles) != 0 ? 0x80 : 0x00;
    if ((n.info.chips & NsfChip::Mmc5) && address == 0x5015)
        return mmc5SoundStatus();
    if ((n.info.chips & NsfChip::Mmc5) && address >= 0x5C00 && address < 0x5FF8)
        return cpuMemory[address];
    if ((n.info.chips & NsfChip::Mmc5) && (address == 0x5205 || address == 0x5206)) {
        const uint32_t product = n.factors[0] * n.factors[1];
        return address == 0x5205 ? product & 0xFF : product >> 8;
    }
    if ((n.info.chips & NsfChip::Namco163) && address == 0x4800)
        return namco163RamRead();
    if (address >= 0x4100 && address < 0x6000)
        return 0;  // nothing else answers there
    return BoardDoesNotAnswer;
}

// Each frame's length sets the play timer, so that the play calls keep the header's rate in the
// console's time whatever the frame's cycles.
void nsfFrameStart()
{
    NsfPlayer& n = nsfPlayer;
    const uint32_t frameCycles = cpu.totalCycles - n.frameStart;
    n.frameStart = cpu.totalCycles;
    if (frameCycles > 1000 && frameCycles < 100000)
        n.playCycles = playCycles(frameCycles);
}
