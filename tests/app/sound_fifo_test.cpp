// The hand-over of the sound stream to the device: the FIFO, underruns, overruns, rate control; the
// emulation and the device callback on two threads (AudioThreads also runs under ThreadSanitizer).
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <thread>
#include <vector>

#include "app/sound_fifo.h"

namespace {

std::vector<int16_t> counting(size_t count)
{
    std::vector<int16_t> samples(count);
    for (size_t k = 0; k < count; ++k)
        samples[k] = static_cast<int16_t>(1000 + k);
    return samples;
}

TEST(SoundFifo, PlaysInOrderThenFadesOutOnAnUnderrunAndWaitsForTheTarget)
{
    resetSoundFifo();
    const std::vector<int16_t> written = counting(3000);
    writeFifo(written.data(), 700);
    std::vector<int16_t> out(1000 + FadeSamples + 100);
    takeDeviceSamples(out.data(), 100);
    EXPECT_EQ(out[99], 0) << "silence until the FIFO holds its target";
    writeFifo(written.data() + 700, 2300);

    // Faded in, then every sample in order whatever the piece sizes; at the end the rest, a fade
    // to silence and silence.
    std::vector<int16_t> played;
    for (const uint32_t piece : {1u, 131u, 868u, 1000u, 1000u + FadeSamples + 100}) {
        takeDeviceSamples(out.data(), piece);
        played.insert(played.end(), out.begin(), out.begin() + piece);
    }
    // The fade-in: a gain that starts near silence and rises, then every sample as written.
    double gain = 0;
    for (size_t k = 1; k < FadeSamples; ++k) {
        const double now = static_cast<double>(played[k]) / written[k];
        ASSERT_TRUE(now >= gain && now < 1) << k;
        gain = now;
    }
    EXPECT_LT(static_cast<double>(played[1]) / written[1], 0.05);
    EXPECT_GT(gain, 0.95);
    for (size_t k = FadeSamples; k < written.size(); ++k)
        ASSERT_EQ(played[k], written[k]) << k;
    EXPECT_TRUE(std::is_sorted(played.begin() + 3000, played.end(), std::greater<>()));
    EXPECT_LT(played[3000], written.back());
    EXPECT_EQ(played[3000 + FadeSamples - 1], 0);
    EXPECT_EQ(soundFifo.underruns, 1u);
    writeFifo(written.data(), 500);
    takeDeviceSamples(out.data(), 1000);
    EXPECT_EQ(out[999], 0) << "below the target again: silence, not another underrun";
    EXPECT_EQ(soundFifo.underruns, 1u);
}

TEST(SoundFifo, AnOverrunDropsTheOldestSamples)
{
    resetSoundFifo();
    const std::vector<int16_t> written = counting(FifoLimit + 700);
    writeFifo(written.data(), FifoLimit);
    EXPECT_EQ(soundFifo.overruns, 0u);
    writeFifo(written.data() + FifoLimit, 700);
    EXPECT_EQ(soundFifo.overruns, 1u);
    EXPECT_EQ(soundFifo.droppedSamples, FifoLimit - FifoTarget + 0u);
    std::vector<int16_t> kept(FifoTarget + 800);
    ASSERT_EQ(readFifo(kept.data(), FifoTarget + 800), FifoTarget + 700u);
    EXPECT_TRUE(std::equal(kept.begin(), kept.begin() + FifoTarget + 700, written.end() - FifoTarget - 700));
}

// A device taking 1024 samples at a time at `rate` per second, and a frame written every 1/60 s,
// for two minutes. The second minute's ratios, counters and mean fill.
struct Simulation {
    double lowestRatio = 2, highestRatio = 0, meanFill = 0;
    uint32_t glitches = 0;  // underruns and overruns
};

Simulation simulate(double rate)
{
    resetSoundFifo();
    const std::vector<int16_t> frame = counting(735);
    std::array<int16_t, DeviceBufferSamples> device;
    Simulation result;
    double nextCallback = 0;
    for (int n = 0; n < 7200; ++n) {
        if (n == 3600)
            result.glitches = 0 - soundFifo.underruns - soundFifo.overruns;
        for (; nextCallback < n / 60.0; nextCallback += DeviceBufferSamples / rate)
            takeDeviceSamples(device.data(), DeviceBufferSamples);
        feedSoundDevice(frame.data(), 735);
        if (n >= 3600) {
            result.lowestRatio = std::min(result.lowestRatio, rateControl.ratio);
            result.highestRatio = std::max(result.highestRatio, rateControl.ratio);
            result.meanFill += fifoFill() / 3600.0;
        }
    }
    result.glitches += soundFifo.underruns + soundFifo.overruns;
    return result;
}

TEST(RateControl, FollowsADeviceWithinHalfAPercentAndNoFurther)
{
    EXPECT_DOUBLE_EQ(resampleRatio(FifoTarget), 1.0);
    for (const double offset : {0.0, 0.004, -0.004}) {
        const Simulation run = simulate(44100 * (1 + offset));
        EXPECT_EQ(run.glitches, 0u) << offset;
        EXPECT_NEAR(run.meanFill, FifoTarget + 735, RateControlSpan + 100) << offset;
        EXPECT_NEAR(run.lowestRatio, 1 + offset, 0.001) << offset;
        EXPECT_NEAR(run.highestRatio, 1 + offset, 0.001) << offset;
    }
    // 1% off: the ratio reaches its limit and no further; the rest shows as counted glitches.
    const Simulation fast = simulate(44100 * 1.01), slow = simulate(44100 * 0.99);
    EXPECT_DOUBLE_EQ(fast.highestRatio, 1.005);
    EXPECT_DOUBLE_EQ(slow.lowestRatio, 0.995);
    EXPECT_GT(fast.glitches, 0u);
    EXPECT_GT(slow.glitches, 0u);
}

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
