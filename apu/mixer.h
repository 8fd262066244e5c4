// Frame sequencer, mixer and the sample ring handed to the audio device.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

constexpr int32_t SampleBlockLength = 2048;
// Weight of the noise channel in the mix.
constexpr double NoiseWeight = 0.35;

struct SampleRing {
    std::array<int8_t, 44101> ringBuffer;      // the block being filled
    std::array<int8_t, 44101> playbackBuffer;  // the last completed block
    int32_t writeIndex;
    std::atomic<int32_t> ringSize;  // 0 until the audio thread sets the block length
    // Held only while a completed block is copied into playbackBuffer or while the device
    // callback reads it, so neither side waits longer than one block copy.
    std::mutex playbackLock;
};

inline SampleRing sampleRing{};

// Set while the game is paused or fast-forwarded: the device is given silence.
inline std::atomic<uint32_t> soundMuted{0};

// Every mixed sample, kept for a recording (the -wav option) until the shell takes them after
// the frame. Off unless a recording runs; a frame makes about 730 samples.
struct SampleCapture {
    bool enabled;
    uint32_t count;
    std::array<int8_t, 8192> samples;
};

inline SampleCapture sampleCapture{};

// Counts the length counters down and runs the square sweeps; about 240 times a second.
void frameSequencerStep();

// Mixes the four channel levels into one signed 8-bit sample and appends it to the ring.
void mixSample();

// Appends a sample; the block's last sample hands the whole block over to playbackBuffer.
void pushSample(int8_t sample);

// Fills `len` bytes of a signed 16-bit little-endian mono device buffer from the last
// completed block: each sample becomes sample * 256. Before the first block it is silence.
void fillAudioStream(uint8_t* stream, int32_t len);

// Puts the ring back to its program-start state (no block, block length 0).
void resetSampleRing();
