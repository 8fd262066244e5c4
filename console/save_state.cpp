#include "console/save_state.h"

#include <memory>

#include "apu/apu_state.h"
#include "apu/channels.h"
#include "bus/cheats.h"
#include "bus/cpu_bus.h"
#include "cart/boards.h"
#include "cart/cartridge.h"
#include "cart/flash.h"
#include "cart/page_maps.h"
#include "cart/save_memory.h"
#include "console/scheduler.h"
#include "cpu/cpu_state.h"
#include "input/controller.h"
#include "ppu/frame_buffer.h"
#include "ppu/ppu_state.h"
#include "ppu/renderer.h"
#include "state/state_io.h"

namespace {

// Every emulated record a state holds. A new record is added here, in captureMachine and
// applyMachine, and in a section of Sections; a new field of a record only in its field function.
struct MachineState {
    CpuState cpu;
    CpuMemory cpuMemory;  // RAM and the save memory at 0x6000-0x7FFF
    PpuState ppu;
    ApuState apu;
    SoundStream sound;
    MapperState mapper;
    PrgPageMap prgPages;
    ChrPageMap chrPages;
    NametableMap nametables;
    PrgRamWindow prgRamWindow;
    CartridgeMemories cartridge;
    ControllerReadIndices controllerReadIndices;
    SchedulerState scheduler;
    CheatTable cheats;
    FrameBuffer frame;  // the last picture, shown at once after a load
};
static_assert(fieldCount<MachineState>() == 15, "a MachineState record is missing from capture, apply or Sections");

void captureMachine(MachineState& m)
{
    m.cpu = cpu;
    m.cpuMemory = cpuMemory;
    m.ppu = ppu;
    m.apu = apu;
    m.sound = soundStream;
    m.mapper = mapperState;
    m.prgPages = prgPageMap;
    m.chrPages = chrPageMap;
    m.nametables = nametableMap;
    m.prgRamWindow = prgRamWindow;
    m.cartridge.mirroring = cartridge.mirroring;
    std::copy_n(cartridge.chrMemory.begin() + cartridge.chrKb * 1024, m.cartridge.chrRam.size(), m.cartridge.chrRam.begin());
    m.cartridge.prgRam = cartridge.prgRam;
    m.cartridge.prgRamKept = true;
    m.cartridge.flashKept = isFlashBoard();
    if (m.cartridge.flashKept)
        std::copy_n(cartridge.prgRom.begin(), cartridge.prgKb * 1024, m.cartridge.flash.begin());
    m.controllerReadIndices = {controllerReadIndex, secondControllerReadIndex};
    m.scheduler = scheduler;
    m.cheats = cheats;
    m.frame = frameBuffer;
}

void applyMachine(const MachineState& m)
{
    cpu = m.cpu;
    cpuMemory = m.cpuMemory;
    ppu = m.ppu;
    apu = m.apu;
    soundStream = m.sound;
    mapperState = m.mapper;
    prgPageMap = m.prgPages;
    chrPageMap = m.chrPages;
    nametableMap = m.nametables;
    prgRamWindow = m.prgRamWindow;
    cartridge.mirroring = m.cartridge.mirroring;
    std::copy_n(m.cartridge.chrRam.begin(), cartridge.chrRamBytes, cartridge.chrMemory.begin() + cartridge.chrKb * 1024);
    cartridge.prgRam = m.cartridge.prgRam;
    if (!m.cartridge.prgRamKept)  // the 8 KB the CPU saw at 0x6000
        std::copy_n(m.cpuMemory.begin() + PrgRamStart, std::min(prgRamBytes(), PrgRamWindowSize), cartridge.prgRam.begin());
    const auto flash = std::span(m.cartridge.flash).first(cartridge.prgKb * 1024u);
    if (m.cartridge.flashKept && !std::ranges::equal(flash, std::span(cartridge.prgRom).first(flash.size()))) {
        std::ranges::copy(flash, cartridge.prgRom.begin());
        saveMemoryState.flashChanged = true;
    }
    controllerReadIndex = m.controllerReadIndices[0];
    secondControllerReadIndex = m.controllerReadIndices[1];
    scheduler = m.scheduler;
    setRegion(scheduler.region);
    cheats = m.cheats;
    frameBuffer = m.frame;
    // Derived values, brought up to date rather than saved.
    pixelLine = PixelLine{};
    forgetCodeWindow();
    wakeApu();
    wakeDeviceClock();  // the board's counter is due again from the state's own cycle
}

struct Section {
    std::array<char, 4> tag;
    void (*fields)(StateIo& io, MachineState& m);
    void (*format1)(StateIo& io, MachineState& m) = nullptr;  // how format 1 held it, when not the same
};

// The sections, written and expected in this order.
constexpr std::array<Section, 12> Sections = {{
    {{'C', 'P', 'U', ' '}, [](StateIo& io, MachineState& m) { cpuStateFields(io, m.cpu); }},
    {{'C', 'M', 'E', 'M'}, [](StateIo& io, MachineState& m) { io.field(m.cpuMemory); }},
    {{'P', 'P', 'U', ' '}, [](StateIo& io, MachineState& m) { ppuStateFields(io, m.ppu); }},
    {{'A', 'P', 'U', ' '}, [](StateIo& io, MachineState& m) { apuStateFields(io, m.apu); },
     [](StateIo& io, MachineState& m) { apuStateFieldsFormat1(io, m.apu); }},
    {{'S', 'N', 'D', ' '}, [](StateIo& io, MachineState& m) { soundStreamFields(io, m.sound); },
     [](StateIo& io, MachineState& m) { soundStreamFieldsFormat1(io, m.sound); }},
    {{'M', 'A', 'P', 'R'}, [](StateIo& io, MachineState& m) { mapperStateFields(io, m.mapper); }},
    {{'P', 'A', 'G', 'E'},
     [](StateIo& io, MachineState& m) { pageMapFields(io, m.prgPages, m.chrPages, m.nametables, m.prgRamWindow); }},
    {{'C', 'A', 'R', 'T'},
     [](StateIo& io, MachineState& m) { cartridgeStateFields(io, m.cartridge); }},
    {{'P', 'A', 'D', ' '}, [](StateIo& io, MachineState& m) { controllerStateFields(io, m.controllerReadIndices); }},
    {{'S', 'C', 'H', 'D'}, [](StateIo& io, MachineState& m) { schedulerStateFields(io, m.scheduler); }},
    {{'G', 'G', 'E', 'N'}, [](StateIo& io, MachineState& m) { cheatTableFields(io, m.cheats); }},
    {{'F', 'R', 'A', 'M'}, [](StateIo& io, MachineState& m) { io.field(m.frame); }},
}};

constexpr size_t HeaderBytes = StateMagic.size() + 4 + 4;
constexpr size_t ChecksumBytes = 4;

uint32_t readU32(std::span<const uint8_t> bytes)
{
    uint32_t value = 0;
    StateIo::reader(bytes).field(value);
    return value;
}

}  // namespace

std::vector<uint8_t> saveState() { return saveState(StateChecksum::Kept); }

std::vector<uint8_t> saveState(StateChecksum kept)
{
    // Kept from one state to the next (rewind takes one every few frames): every field is captured anew.
    static const auto machine = std::make_unique<MachineState>();
    static size_t lastBytes = 0;
    captureMachine(*machine);
    std::vector<uint8_t> out;
    out.reserve(lastBytes);
    out.assign(StateMagic.begin(), StateMagic.end());
    StateIo io = StateIo::writer(out);
    uint32_t version = StateFormatVersion;
    uint32_t rom = romChecksum();
    io.field(version);
    io.field(rom);
    for (const Section& section : Sections) {
        std::array<char, 4> tag = section.tag;
        io.field(tag);
        const size_t lengthAt = out.size();
        uint32_t length = 0;
        io.field(length);
        section.fields(io, *machine);
        length = static_cast<uint32_t>(out.size() - lengthAt - 4);
        for (size_t i = 0; i < 4; ++i)
            out[lengthAt + i] = static_cast<uint8_t>(length >> (8 * i));
    }
    uint32_t checksum = kept == StateChecksum::Kept ? crc32(out) : 0;
    io.field(checksum);
    lastBytes = out.size();
    return out;
}

StateLoad loadState(std::span<const uint8_t> bytes, StateChecksum checksum)
{
    if (bytes.size() < StateMagic.size() || !std::equal(StateMagic.begin(), StateMagic.end(), bytes.begin()))
        return StateLoad::NotAState;
    if (bytes.size() < HeaderBytes + ChecksumBytes)
        return StateLoad::Damaged;
    const uint32_t version = readU32(bytes.subspan(StateMagic.size()));
    if (version > StateFormatVersion)
        return StateLoad::NewerVersion;
    if (version < OldestReadableStateVersion)
        return StateLoad::OlderVersion;
    const auto body = bytes.first(bytes.size() - ChecksumBytes);
    if (checksum == StateChecksum::Kept && crc32(body) != readU32(bytes.last(ChecksumBytes)))
        return StateLoad::Damaged;
    if (readU32(bytes.subspan(StateMagic.size() + 4)) != romChecksum())
        return StateLoad::OtherGame;

    const auto scratch = std::make_unique<MachineState>();
    size_t at = HeaderBytes;
    for (const Section& section : Sections) {
        StateIo head = StateIo::reader(body.subspan(at));
        std::array<char, 4> tag{};
        uint32_t length = 0;
        head.field(tag);
        head.field(length);
        at += head.position();
        if (head.failed() || tag != section.tag || length > body.size() - at)
            return StateLoad::Damaged;
        StateIo contents = StateIo::reader(body.subspan(at, length), version);
        (version == 1 && section.format1 != nullptr ? section.format1 : section.fields)(contents, *scratch);
        if (contents.failed() || !contents.atEnd())
            return StateLoad::Damaged;
        at += length;
    }
    if (at != body.size())
        return StateLoad::Damaged;
    applyMachine(*scratch);
    return StateLoad::Loaded;
}

std::string_view refusalText(StateLoad result)
{
    switch (result) {
    case StateLoad::Loaded: return "loaded";
    case StateLoad::NotAState: return "is not a Tallowby state";
    case StateLoad::NewerVersion: return "was saved by a newer Tallowby";
    case StateLoad::OlderVersion: return "was saved by an older Tallowby";
    case StateLoad::Damaged: return "is damaged";
    case StateLoad::OtherGame: return "belongs to another game";
    }
    return "cannot be read";
}
