// Frame sequencer, mixer and the sample ring handed to the audio device.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>

constexpr int32_t SampleBlockLength = 2048;

struct SampleRing {
    std::array<int8_t, 44101> ringBuffer;      // the block being filled
    std::array<int8_t, 44101> playbackBuffer;  // the last completed block
    int32_t writeIndex;
    std::atomic<int32_t> ringSize;  // 0 until the audio thread sets the block length
};

inline SampleRing sampleRing{};
