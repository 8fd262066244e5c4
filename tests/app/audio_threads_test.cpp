// The emulation and the device callback on two threads; this suite also runs under ThreadSanitizer.
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <thread>

#include "app/sound_fifo.h"

namespace {

// The producer writes a counting sequence faster than the consumer reads, so that overruns drop
// samples while the consumer copies. Each read must be a consecutive run of the sequence (a copy
// torn by a drop would break it), and a read may skip forward from the one before but never
// repeat its last sample.
TEST(AudioThreads, TheFifoKeepsOrderWhileOverrunsDropTheOldest)
{
    resetSoundFifo();
    constexpr uint32_t Total = 2'000'000;
    std::atomic<bool> done{false};
    uint64_t taken = 0, torn = 0, repeats = 0, skips = 0;
    std::thread device([&] {
        std::array<int16_t, 300> out;
        int32_t previous = -1;
        while (!done.load() || fifoFill() > 0) {
            const uint32_t count = readFifo(out.data(), out.size());
            for (uint32_t k = 0; k < count; ++k) {
                const int32_t step = (out[k] - previous) & 0x7FFF;
                if (k > 0)
                    torn += step != 1;
                else if (previous >= 0) {
                    repeats += step == 0;
                    skips += step != 1;
                }
                previous = out[k];
            }
            taken += count;
        }
    });
    std::array<int16_t, 735> frame;
    for (uint32_t n = 0; n < Total; n += frame.size()) {
        for (uint32_t k = 0; k < frame.size(); ++k)
            frame[k] = static_cast<int16_t>((n + k) & 0x7FFF);
        writeFifo(frame.data(), frame.size());
    }
    done = true;
    device.join();
    const uint64_t written = soundFifo.writePosition.load();
    EXPECT_EQ(taken + soundFifo.droppedSamples.load(), written) << "every sample taken or dropped, once";
    EXPECT_EQ(torn, 0u);
    EXPECT_EQ(repeats, 0u);
    EXPECT_LE(skips, soundFifo.overruns.load());
}

}  // namespace
