#include "support/rom_runner.h"

#include "console/console.h"
#include "support/cpu_harness.h"

void runFrames(uint32_t count, uint8_t buttons, const FrameSettings& settings)
{
    ControllerInput input;
    for (uint32_t i = 0; i < ButtonCount; ++i)
        input.first[i] = (buttons >> i) & 1;
    for (uint32_t i = 0; i < count; ++i) {
        runConsoleFrame(input, settings);
        countFrame();
    }
}

uint64_t frameHash()
{
    uint64_t hash = 0xCBF29CE484222325;
    for (const uint8_t byte : picture())
        hash = (hash ^ byte) * 0x100000001B3;
    return hash;
}

std::optional<TestRomResult> runTestRom(const std::filesystem::path& rom, uint32_t frames,
                                        const FrameSettings& settings)
{
    if (!loadRomFile(rom))
        return std::nullopt;
    for (uint32_t n = 0; n < frames && !readTestRomResult(); ++n)
        runFrames(1, 0, settings);
    return readTestRomResult();
}
