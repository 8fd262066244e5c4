// Fuzz target: an iNES image from memory through the loader, then a few frames of play.
// The first bytes steer the run, the rest is the image:
//   byte 0: bits 0-1 frames to run minus 1, bit 2 scanline rendering, bit 3 sound off,
//           bit 4 the last frame is drawn (the others are run as skipped frames, which draw
//           nothing: drawing costs three times as much as running the CPU, so most runs skip it)
//   bytes 1-4: the buttons held in each frame (ButtonState order, bit 0 = A)
// Every record is reset afterwards, so each input starts from a fresh machine.
#include <cstddef>
#include <cstdint>
#include <span>
#include <sstream>

#include "console/console.h"
#include "console/machine.h"

namespace {

constexpr size_t SteeringBytes = 5;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < SteeringBytes || size > MaxImageBytes + SteeringBytes)
        return 0;
    const std::span<const uint8_t> input(data, size);
    const uint8_t steering = input[0];

    std::ostringstream console;
    if (insertCartridge(input.subspan(SteeringBytes), console) == LoadResult::Loaded) {
        const int32_t frames = 1 + (steering & 0x03);
        // Frames are counted from 1, so only a frame count that is a multiple of frameSkip draws.
        const FrameSettings settings{(steering & 0x10) ? frames : frames + 1, (steering & 0x04) != 0};
        setSoundEmulated((steering & 0x08) == 0);
        for (int32_t frame = 0; frame < frames; ++frame) {
            countFrame();
            ControllerInput buttons;
            for (uint32_t button = 0; button < ButtonCount; ++button)
                buttons.first[button] = (input[1 + frame] >> button) & 1;
            runConsoleFrame(buttons, settings);
        }
    }
    resetMachine();  // the records start at zero, so resetting after each input is enough
    return 0;
}
