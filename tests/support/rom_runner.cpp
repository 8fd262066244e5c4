#include "support/rom_runner.h"

#include "app/scheduler.h"
#include "app/video.h"
#include "input/controller.h"
#include "support/cpu_harness.h"

void runFrames(uint32_t count, uint8_t buttons)
{
    for (uint32_t i = 0; i < ButtonCount; ++i)
        buttonState[i] = (buttons >> i) & 1;
    for (uint32_t i = 0; i < count; ++i) {
        runFrame();
        ++scheduler.frameCounter;
    }
}

bool protocolFinished()
{
    return peek(0x6001) == 0xDE && peek(0x6002) == 0xB0 && peek(0x6003) == 0x61 && peek(0x6000) < 0x80;
}

std::string peekText(uint32_t address)
{
    std::string text;
    for (; address < 0x8000 && peek(address) != 0; ++address)
        text += static_cast<char>(peek(address));
    return text;
}

std::string protocolReport() { return "status " + std::to_string(peek(0x6000)) + ": " + peekText(0x6004); }

uint64_t frameHash()
{
    uint64_t hash = 0xCBF29CE484222325;
    for (const uint8_t byte : frameBuffer)
        hash = (hash ^ byte) * 0x100000001B3;
    return hash;
}
