// The sound stream of the emulation: 735 samples per frame (882 at 50 frames a second) from the
// mixer's samples.
#pragma once

#include <array>
#include <cstdint>

#include "apu/apu_state.h"

// The current frame's output, signed 16-bit (a mixed level step of 1 is 256). The shell takes it after
// each frame for the sound device and the WAV recording.
struct SoundFrame {
    uint32_t count;
    std::array<int16_t, MaxSamplesPerFrame> samples;
};

inline SoundFrame soundFrame{};

// Starts a frame of `cycles` CPU cycles that began at totalCycles - `overshoot` (the cycles the
// previous frame's last instruction ran past its end). Clears soundFrame.
void beginSoundFrame(uint32_t cycles, int32_t overshoot);

// Adds the held sample up to `cycle` and emits every output sample whose stretch ends by then;
// then holds `sample` (a mix in twentieths of a level step, 0 to MaxMixedSample).
void streamSample(int32_t sample, uint32_t cycle);

// Ends the frame: the output samples left are emitted, so soundFrame holds exactly
// apuTiming.samplesPerFrame.
void endSoundFrame();

// Puts the stream back to its program-start state.
void resetSoundStream();
