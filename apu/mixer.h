// The mixer: the five channel levels into one sample of the sound stream.
#pragma once

// Whether the sound is emulated: set once at start-up by the front end (off for a silent run).
// While it is off apuTick does nothing; register writes still update the channels.
inline bool apuRunning = false;

// Mixes the channels' levels, in twentieths of a level step (squares and triangle 20 a level,
// noise 7, the sample channel 9), and hands the sum to the sound stream at the current cycle.
void mixSample();
