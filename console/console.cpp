#include "console/console.h"

#include "apu/mixer.h"
#include "apu/sound_stream.h"
#include "bus/cheats.h"
#include "bus/cpu_bus.h"
#include "cart/nsf.h"
#include "cart/save_memory.h"
#include "console/machine.h"
#include "cpu/interrupts.h"
#include "cpu/opcode_table.h"
#include "ppu/palette.h"

LoadResult insertCartridge(std::span<const uint8_t> image, std::ostream& out)
{
    const bool music = isNsfImage(image);
    const LoadResult result = music ? loadNsfImage(image, out) : loadCartridgeImage(image, out);
    if (result == LoadResult::Loaded && !music)
        initOpcodeTable();
    return result;
}

void removeCartridge() { resetMachine(); }

void setSoundEmulated(bool emulated) { apuRunning = emulated; }

void plugSecondController(bool present) { secondControllerPresent = present; }

bool secondControllerPlugged() { return secondControllerPresent; }

void runConsoleFrame(const ControllerInput& input, const FrameSettings& settings)
{
    buttonState = input.first;
    secondButtonState = input.second;
    runFrame(settings);
}

void countFrame() { ++scheduler.frameCounter; }

int64_t framesRun() { return scheduler.frameCounter; }

const FrameBuffer& picture() { return frameBuffer; }

const LineEmphasis& pictureEmphasis() { return lineEmphasis; }

uint32_t pictureColour(uint8_t pictureByte, uint8_t emphasis) { return colourOf(pictureByte, emphasis); }

std::span<const int16_t> frameSamples() { return std::span(soundFrame.samples).first(soundFrame.count); }

void startMusicTrack(uint32_t track)
{
    const FrameLayout& layout = layoutOf(scheduler.region);
    startNsfTrack(track, {scheduler.region != Region::Ntsc, layout.framesPerSecond,
                          static_cast<uint32_t>(layout.lineCycles) * layout.lastLine});
}

const NsfInfo& musicInfo() { return nsfPlayer.info; }

uint32_t musicTrackPlaying() { return nsfPlayer.track; }

void pressResetButton() { cpuReset(); }

std::span<uint8_t> consoleRam() { return std::span(cpuMemory).first(RamMask + 1); }

std::span<uint8_t> saveMemoryBytes()
{
    const std::span<const uint8_t> bytes = saveMemory();
    return {const_cast<uint8_t*>(bytes.data()), bytes.size()};  // the cartridge's own memory, not a copy
}

void addGameGenieCode(std::string_view code)
{
    std::array<uint32_t, 8> letters{};
    decodeGameGenie(code, letters);
}

void removeGameGenieCodes() { cheats = CheatTable{}; }

uint8_t peekMemory(uint32_t address)
{
    address &= 0xFFFF;
    if (address >= PrgRamStart && address < 0x8000)
        return prgRamRead(address);
    return cpuMemory[address < 0x2000 ? address & RamMask : address];
}

void chooseRegion(Region region) { setRegion(region); }

Region currentRegion() { return scheduler.region; }

std::optional<Region> headerRegion()
{
    if (!cartridge.nes2)
        return std::nullopt;
    return cartridge.timing == Timing::Pal ? Region::Pal : cartridge.timing == Timing::Dendy ? Region::Dendy : Region::Ntsc;
}

double framesPerSecond() { return layoutOf(scheduler.region).framesPerSecond; }
