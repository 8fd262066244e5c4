// The sound stream (735 samples a frame) and its hand-over to the device: the FIFO, underruns,
// overruns and the rate control.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "app/machine.h"
#include "apu/sound_fifo.h"
#include "apu/sound_stream.h"
#include "cpu/cpu_state.h"

namespace {

// A frame of `cycles` cycles with a sample mixed every `gap` cycles: level 10 in the first half,
// -20 after. Each output is the average over its own 1/735 of the frame.
TEST(SoundStream, EveryFrameGives735SamplesAveragedOverTheirStretch)
{
    resetMachine();
    for (const uint32_t cycles : {29982u, 30222u}) {
        for (int frame = 0; frame < 3; ++frame) {
            beginSoundFrame(cycles, 0);
            const uint32_t start = cpu.totalCycles;
            for (uint32_t at = 41; at < cycles + 41; at += 41)
                streamSample(at < cycles / 2 ? 10 : -20, start + at);
            cpu.totalCycles = start + cycles;
            endSoundFrame();
            ASSERT_EQ(soundFrame.count, 735u) << cycles;
            for (uint32_t k = 2; k < 733; ++k) {
                // Held levels change at the mixed samples: 10 is held up to the first sample at or
                // past the middle, which sets -20.
                const double from = k * cycles / 735.0, to = (k + 1) * cycles / 735.0;
                const double change = std::ceil(cycles / 2.0 / 41) * 41;
                const double tens = std::clamp((change - from) / (to - from), 0.0, 1.0);
                EXPECT_NEAR(soundFrame.samples[k], 256 * (10 * tens - 20 * (1 - tens)), 1) << cycles << " " << k;
            }
        }
    }
}

TEST(SoundFifo, PlaysInOrderThenFadesOutOnAnUnderrunAndWaitsForTheTarget)
{
    resetSoundFifo();
    std::vector<int16_t> written(3000);
    for (size_t k = 0; k < written.size(); ++k)
        written[k] = static_cast<int16_t>(1000 + k);
    writeFifo(written.data(), 700);
    std::array<int16_t, 1000> out;
    takeDeviceSamples(out.data(), 100);
    EXPECT_TRUE(std::all_of(out.begin(), out.begin() + 100, [](int16_t s) { return s == 0; }))
        << "silence until the FIFO holds its target";
    writeFifo(written.data() + 700, 2300);

    // Faded in over FadeSamples, then every sample in order, in pieces of any size.
    std::vector<int16_t> played;
    for (const uint32_t piece : {1u, 131u, 500u, 999u, 369u}) {
        takeDeviceSamples(out.data(), piece);
        played.insert(played.end(), out.begin(), out.begin() + piece);
    }
    ASSERT_EQ(played.size(), 2000u);
    for (size_t k = 0; k < played.size(); ++k)
        ASSERT_EQ(played[k], k < FadeSamples ? written[k] * static_cast<int32_t>(k) / FadeSamples : written[k]) << k;
    EXPECT_EQ(soundFifo.underruns, 0u);

    // 1000 samples left; 1000 + FadeSamples + 100 asked for: the rest, a fade to 0, silence.
    std::vector<int16_t> last(1000 + FadeSamples + 100);
    takeDeviceSamples(last.data(), static_cast<uint32_t>(last.size()));
    EXPECT_TRUE(std::equal(last.begin(), last.begin() + 1000, written.begin() + 2000));
    EXPECT_TRUE(std::is_sorted(last.begin() + 1000, last.end(), std::greater<>()));
    EXPECT_LT(last[1000], written.back());
    EXPECT_EQ(last[1000 + FadeSamples - 1], 0);
    EXPECT_EQ(soundFifo.underruns, 1u);
    writeFifo(written.data(), 500);
    takeDeviceSamples(out.data(), 1000);
    EXPECT_EQ(out[999], 0) << "below the target again: silence, not another underrun";
    EXPECT_EQ(soundFifo.underruns, 1u);
}

TEST(SoundFifo, AnOverrunDropsTheOldestSamples)
{
    resetSoundFifo();
    std::vector<int16_t> written(FifoLimit + 700);
    for (size_t k = 0; k < written.size(); ++k)
        written[k] = static_cast<int16_t>(k);
    writeFifo(written.data(), FifoLimit);
    EXPECT_EQ(soundFifo.overruns, 0u);
    writeFifo(written.data() + FifoLimit, 700);
    EXPECT_EQ(soundFifo.overruns, 1u);
    EXPECT_EQ(soundFifo.droppedSamples, FifoLimit - FifoTarget + 0u);
    std::vector<int16_t> kept(FifoTarget + 700);
    ASSERT_EQ(readFifo(kept.data(), FifoTarget + 800), FifoTarget + 700u);
    EXPECT_TRUE(std::equal(kept.begin(), kept.end(), written.end() - FifoTarget - 700)) << "the newest remain";
}

TEST(RateControl, StaysWithinHalfAPercent)
{
    EXPECT_DOUBLE_EQ(resampleRatio(FifoTarget), 1.0);
    EXPECT_DOUBLE_EQ(resampleRatio(0), 1.005);
    EXPECT_DOUBLE_EQ(resampleRatio(FifoTarget + RateControlSpan), 0.995);
    EXPECT_DOUBLE_EQ(resampleRatio(1e9), 0.995);
    EXPECT_GT(resampleRatio(FifoTarget - 100), 1.0);
    EXPECT_LT(resampleRatio(FifoTarget + 100), 1.0);
}

// A device that takes 1024 samples at a time at `deviceRate` samples a second, and the emulation
// writing one frame every 1/60 s, for two minutes. Returns the ratios used in the second minute
// and counts the underruns and overruns of that minute.
struct Simulation {
    double lowestRatio = 2, highestRatio = 0, meanFill = 0;
    uint32_t underruns = 0, overruns = 0;
};

Simulation simulate(double deviceRate)
{
    resetSoundFifo();
    soundFifo.deviceOpen = true;
    std::array<int16_t, SamplesPerFrame> frame;
    for (size_t k = 0; k < frame.size(); ++k)
        frame[k] = static_cast<int16_t>(k);
    std::array<int16_t, DeviceBufferSamples> device;
    Simulation result;
    double nextCallback = 0;
    uint32_t fills = 0;
    for (int n = 0; n < 7200; ++n) {
        if (n == 3600) {
            result.underruns = soundFifo.underruns;
            result.overruns = soundFifo.overruns;
        }
        for (; nextCallback < n / 60.0; nextCallback += DeviceBufferSamples / deviceRate)
            takeDeviceSamples(device.data(), DeviceBufferSamples);
        feedSoundDevice(frame.data(), frame.size());
        if (n >= 3600) {
            result.lowestRatio = std::min(result.lowestRatio, rateControl.ratio);
            result.highestRatio = std::max(result.highestRatio, rateControl.ratio);
            result.meanFill += fifoFill();
            ++fills;
        }
    }
    result.underruns = soundFifo.underruns - result.underruns;
    result.overruns = soundFifo.overruns - result.overruns;
    result.meanFill /= fills;
    return result;
}

TEST(RateControl, KeepsTheFifoNearItsTargetForADeviceOffByUpToAHalfPercent)
{
    for (const double offset : {0.0, 0.004, -0.004}) {
        const Simulation run = simulate(44100 * (1 + offset));
        EXPECT_EQ(run.underruns + run.overruns, 0u) << offset;
        EXPECT_NEAR(run.meanFill, FifoTarget + SamplesPerFrame, RateControlSpan + 100) << offset;
        EXPECT_NEAR(run.lowestRatio, 1 + offset, 0.001) << offset;
        EXPECT_NEAR(run.highestRatio, 1 + offset, 0.001) << offset;
    }
    // A device 1% off cannot be followed within 0.5%: the ratio goes to its limit and no further,
    // and the difference shows as counted underruns or overruns.
    const Simulation fast = simulate(44100 * 1.01), slow = simulate(44100 * 0.99);
    EXPECT_DOUBLE_EQ(fast.lowestRatio, 1.005);
    EXPECT_DOUBLE_EQ(fast.highestRatio, 1.005);
    EXPECT_DOUBLE_EQ(slow.lowestRatio, 0.995);
    EXPECT_LE(slow.highestRatio, 1.005);
    EXPECT_GT(fast.underruns, 0u);
    EXPECT_GT(slow.overruns, 0u);
}

}  // namespace
