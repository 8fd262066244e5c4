// The emulation and the device callback on two threads; this suite also runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "app/machine.h"
#include "apu/channels.h"

namespace {

TEST(AudioThreads, CallbackNeverSeesAHalfCopiedBlock)
{
    resetMachine();
    std::atomic<bool> stop{false};
    std::atomic<int32_t> tornBuffers{0};
    std::atomic<int32_t> calls{0};
    std::thread device([&] {
        sampleRing.ringSize.store(SampleBlockLength);  // as the audio thread does at start-up
        std::array<uint8_t, 2 * SampleBlockLength> stream{};
        while (!stop.load()) {
            fillAudioStream(stream.data(), static_cast<int32_t>(stream.size()));
            for (int32_t k = 0; k < SampleBlockLength; ++k) {
                if (stream[2 * k] != 0 || stream[2 * k + 1] != stream[1]) {
                    tornBuffers.fetch_add(1);
                    break;
                }
            }
            calls.fetch_add(1);
        }
    });

    // The emulation runs from before the block length is set. Every block is one value, so a
    // device buffer that mixes two blocks shows it.
    int32_t blocks = 0;
    int32_t lastIndex = 0;
    while (blocks < 3000 || calls.load() < 10) {
        apu.square1.output = static_cast<int8_t>(blocks % 200 - 100);
        cpu.totalCycles += 41;
        apuTick();
        if (sampleRing.writeIndex == 0 && lastIndex != 0)
            ++blocks;
        lastIndex = sampleRing.writeIndex;
    }
    stop = true;
    device.join();
    EXPECT_EQ(tornBuffers.load(), 0);
}

}  // namespace
