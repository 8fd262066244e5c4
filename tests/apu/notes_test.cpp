// A known note on each channel, played through the registers as a game would, checked for
// pitch and level from the samples that reach the ring.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <fstream>
#include <iterator>
#include <vector>

#include "app/machine.h"
#include "apu/channels.h"
#include "bus/cpu_bus.h"
#include "cpu/interpreter.h"
#include "cpu/interrupts.h"
#include "support/harness.h"

namespace {

struct Note {
    uint8_t statusBit;
    std::array<std::array<uint8_t, 2>, 4> writes;  // (offset from 0x4000, value)
    int32_t stepsPerWave;  // 0 for noise, whose steps are checked instead of a wave
    double period;         // CPU cycles per channel step
    int32_t level;         // peak-to-peak height in the mix
};

// The notes of tests/roms/apu_notes.s, in its order: square 1 (duty 2, volume 12), square 2
// (duty 3, halt: level 15), triangle, noise (volume 26, weighted 9).
const std::array<Note, 4> Notes = {{
    {0x01, {{{0x00, 0x8C}, {0x01, 0x00}, {0x02, 0xFE}, {0x03, 0x10}}}, 16, 254, 12},
    {0x02, {{{0x04, 0xE3}, {0x05, 0x00}, {0x06, 0x7C}, {0x07, 0x11}}}, 16, 380, 15},
    {0x04, {{{0x08, 0x81}, {0x0A, 0xC8}, {0x0B, 0x10}, {0x0A, 0xC8}}}, 32, 200, 15},
    {0x08, {{{0x0C, 0x1A}, {0x0E, 0x0F}, {0x0F, 0x20}, {0x0C, 0x1A}}}, 0, 4068, 9},
}};

constexpr double MaxLateness = 6;  // a step waits for the next instruction boundary
constexpr double SampleGap = 47;   // 41 cycles and at most an instruction more

// Each new sample in the ring, with the cycle count and the note number playing then.
struct Capture {
    std::vector<int8_t> samples;
    std::vector<uint32_t> cycles;
    std::vector<uint8_t> notes;
    int32_t lastIndex = 0;

    void afterInstruction(uint8_t note)
    {
        if (sampleRing.writeIndex == lastIndex)
            return;
        lastIndex = sampleRing.writeIndex;
        samples.push_back(sampleRing.ringBuffer[(lastIndex + SampleBlockLength - 1) % SampleBlockLength]);
        cycles.push_back(cpu.totalCycles);
        notes.push_back(note);
    }
};

// Cycle counts of the samples of note `n` where the level crosses `middle` (rising only) or
// changes at all.
std::vector<uint32_t> changes(const Capture& capture, uint8_t n, double middle, bool risingOnly)
{
    std::vector<uint32_t> found;
    for (size_t i = 1; i < capture.samples.size(); ++i) {
        const int8_t before = capture.samples[i - 1];
        const int8_t after = capture.samples[i];
        const bool change = risingOnly ? (before < middle && after >= middle) : before != after;
        if (capture.notes[i] == n && capture.notes[i - 1] == n && change)
            found.push_back(capture.cycles[i]);
    }
    return found;
}

void checkNotes(const Capture& capture)
{
    for (uint8_t n = 1; n <= Notes.size(); ++n) {
        const Note& note = Notes[n - 1];
        SCOPED_TRACE(n);
        int8_t low = 127, high = -128;
        for (size_t i = 0; i < capture.samples.size(); ++i) {
            if (capture.notes[i] == n) {
                low = std::min(low, capture.samples[i]);
                high = std::max(high, capture.samples[i]);
            }
        }
        EXPECT_EQ(high - low, note.level);

        const auto edges = changes(capture, n, (low + high) / 2.0, note.stepsPerWave > 0);
        ASSERT_GE(edges.size(), 10u);
        if (note.stepsPerWave > 0) {
            // The wave period, averaged over the note.
            const double wave = static_cast<double>(edges.back() - edges.front()) / static_cast<double>(edges.size() - 1);
            EXPECT_GE(wave, note.stepsPerWave * note.period - SampleGap / 4);
            EXPECT_LE(wave, note.stepsPerWave * (note.period + MaxLateness) + SampleGap / 4);
        } else {
            // Noise: each stretch of one level lasts a whole number of channel steps.
            for (size_t i = 1; i < edges.size(); ++i) {
                const auto stretch = static_cast<double>(edges[i] - edges[i - 1]);
                const double steps = std::max(1.0, std::round(stretch / note.period));
                EXPECT_NEAR(stretch, steps * note.period, steps * MaxLateness + 2 * SampleGap);
            }
        }
    }
}

class ApuNotes : public ::testing::Test {
protected:
    void SetUp() override { resetMachine(); }
};

// The test ROM's register writes and wait loop (lda abs, and abs, bne: 4, 4 and 3 cycles),
// driven here without the interpreter.
TEST_F(ApuNotes, KnownNoteOnEachChannelThroughTheRegisters)
{
    sampleRing.ringSize = SampleBlockLength;
    Capture capture;
    for (uint8_t n = 1; n <= Notes.size(); ++n) {
        const Note& note = Notes[n - 1];
        cpuWrite(0x4015, note.statusBit);
        for (const auto& [offset, value] : note.writes)
            cpuWrite(0x4000u + offset, value);
        while (apuStatusRead() & note.statusBit) {
            for (const uint32_t cycles : {4u, 4u, 3u}) {
                cpu.totalCycles += cycles;
                apuTick();
                capture.afterInstruction(n);
            }
        }
    }
    checkNotes(capture);
}

TEST_F(ApuNotes, TestRomPlaysAKnownNoteOnEachChannel)
{
    std::ifstream file(builtRom("apu_notes"), std::ios::binary);
    ASSERT_TRUE(file) << "apu_notes.nes was not built";
    const std::vector<uint8_t> image{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    ASSERT_EQ(loadImageBytes(image), LoadResult::Loaded);
    cpuReset();
    sampleRing.ringSize = SampleBlockLength;

    const uint8_t& noteByte = cpuMemory[0x0200];  // 1-4: note playing; 5: all played
    Capture capture;
    while (noteByte != 5 && cpu.totalCycles < 4'000'000) {
        cpu.cycleCounter = 0;
        runCpuUntil(0);
        capture.afterInstruction(noteByte);
        if (noteByte == 0 && cpu.totalCycles > 10'000)
            GTEST_SKIP() << "the ROM never began its first note: this build's CPU interpreter does not run it";
    }
    ASSERT_EQ(noteByte, 5);
    checkNotes(capture);
}

}  // namespace
