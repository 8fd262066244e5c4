// Frame sequencer and mixer.
#pragma once

#include <cstdint>

// Weight of the noise channel in the mix, in twentieths: 0.35.
constexpr int32_t NoiseWeightTwentieths = 7;

// Whether the sound is emulated: set once at start-up by the front end (off for a silent run).
// While it is off apuTick does nothing; register writes still update the channels.
inline bool apuRunning = false;

// Counts the length counters down and runs the square sweeps; about 240 times a second.
void frameSequencerStep();

// Mixes the four channel levels into one signed 8-bit sample and hands it to the sound stream.
void mixSample();

// Hands a mixed sample to the sound stream at the current cycle count.
void pushSample(int8_t sample);
