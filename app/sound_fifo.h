// The hand-over of the sound stream to the device. The emulation thread writes each frame's 735
// samples (882 at 50 frames a second), stretched or squeezed by at most 0.5% by the rate control, into a single-producer
// single-consumer FIFO; the device callback takes exactly what the device asks for, in order.
// Nothing here waits: both sides only read and move positions.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

// Samples the device is asked to take per callback (about 23 ms).
constexpr int32_t DeviceBufferSamples = 1024;
// The fill the rate control aims at, looked at just before a frame is written: a device buffer and
// half of one more. A callback takes a whole buffer at a moment of its own, so the half buffer is
// the margin for a frame that comes a few milliseconds late; the sound stays close to the picture.
constexpr int32_t FifoTarget = DeviceBufferSamples + DeviceBufferSamples / 2;
// The fill away from the target at which the rate control reaches its limit.
constexpr double RateControlSpan = 512;
constexpr double MaxRateAdjustment = 0.005;
// More than this after a write is an overrun (fast-forward, a stalled device): the oldest samples
// are dropped so that the target remains ahead of the new ones.
constexpr int32_t FifoLimit = 4096;
constexpr uint32_t FifoCapacity = 8192;  // a power of two, above FifoLimit and a frame more
// An underrun fades the last sample to silence over this many samples (3 ms), and playback
// fades back in over as many when the FIFO has filled again.
constexpr int32_t FadeSamples = 132;

struct SoundFifo {
    std::array<std::atomic<int16_t>, FifoCapacity> samples;
    std::atomic<uint64_t> writePosition;   // samples ever written; moved by the producer only
    std::atomic<uint64_t> readPosition;    // samples ever taken or dropped
    std::atomic<uint32_t> underruns;       // times the callback ran dry while playing
    std::atomic<uint32_t> overruns;        // times the producer had to drop old samples
    std::atomic<uint64_t> droppedSamples;  // samples dropped by overruns
    std::atomic<bool> deviceOpen;          // set once the device plays; until then nothing is written
};

inline SoundFifo soundFifo{};

// The callback's own state.
struct DeviceOutput {
    bool playing;      // false at the start and after an underrun, until the FIFO holds FifoTarget
    int32_t fadeIn;    // samples played since playback resumed, up to FadeSamples
    int16_t lastSample;
};

inline DeviceOutput deviceOutput{};

// The emulation thread's own state: the rate converter and what was measured.
struct RateControl {
    double averageFill;  // the fill before each write, smoothed over about half a second
    double ratio;        // device samples per stream sample last used
    double phase;        // position of the next output between the previous and the next stream sample, 0-1
    int16_t previous;    // the last stream sample, the start of the next interpolation
    bool started;
    uint64_t framesWritten;
    double fillSum;      // fills after each write, for the latency figure
    uint32_t maxFill;
};

inline RateControl rateControl{};

// Device samples per stream sample for a smoothed fill: 1 at the target, more when the FIFO runs
// low, fewer when it runs high, never more than MaxRateAdjustment away from 1.
double resampleRatio(double fill);

// Samples in the FIFO now (the callback may take some at any moment).
uint32_t fifoFill();

// Producer: writes `count` samples as they are, dropping the oldest ones on an overrun.
void writeFifo(const int16_t* samples, uint32_t count);

// Consumer: takes up to `count` samples in order; returns how many there were.
uint32_t readFifo(int16_t* out, uint32_t count);

// Set while the game is paused or fast-forwarded: the frame loop then gives the device nothing, so
// the sound fades out as the FIFO runs dry, and starts again with a fade-in.
inline bool soundMuted = false;

// Producer: resamples one frame of the stream by the ratio for the current fill and writes it.
void feedSoundDevice(const int16_t* samples, uint32_t count);

// Consumer: fills `count` device samples. Plays the FIFO in order; when it runs dry, fades the
// last sample out and waits with silence until FifoTarget samples are there again.
void takeDeviceSamples(int16_t* out, uint32_t count);

// Consumer: fills `len` bytes of a signed 16-bit little-endian mono device buffer.
void fillAudioStream(uint8_t* stream, int32_t len);

// One line about the run's sound: underruns, overruns, the rate at which the device took samples
// (`deviceRate`, 0 when unknown) and how far the sound trailed the picture.
std::string soundReport(double deviceRate);

// Empties the FIFO and clears the counters and both sides' state (nothing may use it meanwhile).
void resetSoundFifo();
