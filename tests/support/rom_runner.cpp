#include "support/rom_runner.h"

#include "app/scheduler.h"
#include "app/video.h"
#include "input/controller.h"

void runFrames(uint32_t count, uint8_t buttons)
{
    for (uint32_t i = 0; i < ButtonCount; ++i)
        buttonState[i] = (buttons >> i) & 1;
    for (uint32_t i = 0; i < count; ++i) {
        runFrame();
        ++scheduler.frameCounter;
    }
}

uint64_t frameHash()
{
    uint64_t hash = 0xCBF29CE484222325;
    for (const uint8_t byte : frameBuffer)
        hash = (hash ^ byte) * 0x100000001B3;
    return hash;
}
