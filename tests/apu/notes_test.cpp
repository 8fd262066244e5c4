// The test ROM plays a known note on each channel through the registers, as a game would; pitch
// and level are checked from the samples the mixer makes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

#include "apu/channels.h"
#include "bus/cpu_bus.h"
#include "cpu/interpreter.h"
#include "cpu/interrupts.h"
#include "support/cpu_harness.h"
#include "support/harness.h"

namespace {

struct Note {
    int32_t stepsPerWave;  // 0 for noise, whose steps are checked instead of a wave
    double period;         // CPU cycles per channel step
    int32_t level;         // peak-to-peak height in the mix
};

// The notes of tests/roms/apu_notes.s, in its order: square 1 (duty 2, volume 12), square 2
// (duty 3, halt: level 15), triangle, noise (volume 26, weighted 9).
constexpr std::array<Note, 4> Notes = {{{16, 254, 12}, {16, 380, 15}, {32, 200, 15}, {0, 4068, 9}}};

constexpr double MaxLateness = 6;  // a step waits for the next instruction boundary
constexpr double SampleGap = 47;   // 41 cycles and at most an instruction more

// A new sample in the ring, with the cycle count at which it appeared.
struct Sample {
    int8_t level;
    uint32_t cycle;
};

void checkNote(const Note& note, const std::vector<Sample>& samples)
{
    const auto [low, high] = std::minmax_element(samples.begin(), samples.end(),
                                                 [](const Sample& a, const Sample& b) { return a.level < b.level; });
    EXPECT_EQ(high->level - low->level, note.level);

    // Where the level rises through the middle (a wave) or changes at all (noise).
    const double middle = (low->level + high->level) / 2.0;
    std::vector<uint32_t> edges;
    for (size_t i = 1; i < samples.size(); ++i) {
        const int8_t before = samples[i - 1].level, after = samples[i].level;
        if (note.stepsPerWave > 0 ? (before < middle && after >= middle) : before != after)
            edges.push_back(samples[i].cycle);
    }
    ASSERT_GE(edges.size(), 10u);
    if (note.stepsPerWave > 0) {
        // The wave period, averaged over the note.
        const double wave = static_cast<double>(edges.back() - edges.front()) / static_cast<double>(edges.size() - 1);
        EXPECT_GE(wave, note.stepsPerWave * note.period - SampleGap / 4);
        EXPECT_LE(wave, note.stepsPerWave * (note.period + MaxLateness) + SampleGap / 4);
        return;
    }
    // Noise: each stretch of one level lasts a whole number of channel steps.
    for (size_t i = 1; i < edges.size(); ++i) {
        const auto stretch = static_cast<double>(edges[i] - edges[i - 1]);
        const double steps = std::max(1.0, std::round(stretch / note.period));
        EXPECT_NEAR(stretch, steps * note.period, steps * MaxLateness + 2 * SampleGap);
    }
}

TEST(ApuNotes, TestRomPlaysAKnownNoteOnEachChannel)
{
    ASSERT_TRUE(loadRomFile(builtRom("apu_notes")));
    cpuReset();
    apuRunning = true;

    const uint8_t& noteByte = cpuMemory[0x0200];  // 1-4: note playing; 5: all played
    std::array<std::vector<Sample>, 6> samples;   // by note byte
    uint32_t lastSample = apu.lastSampleCycle;
    while (noteByte != 5 && cpu.totalCycles < 4'000'000) {
        cpu.cycleCounter = 0;
        runCpuUntil(0);
        if (apu.lastSampleCycle != lastSample) {
            lastSample = apu.lastSampleCycle;
            samples[noteByte].push_back({static_cast<int8_t>(soundStream.heldSample), cpu.totalCycles});
        }
    }
    ASSERT_EQ(noteByte, 5);
    for (size_t n = 1; n <= Notes.size(); ++n) {
        SCOPED_TRACE(n);
        checkNote(Notes[n - 1], samples[n]);
    }
}

}  // namespace
